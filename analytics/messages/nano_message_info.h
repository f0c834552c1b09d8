#pragma once

#include <cstddef>
#include <cstdint>

// The in-memory form of a protocol-buffer message: one cell per field, NULL when the field is not set.
// Cells are heap allocations owned by the info (see nano_message_info.cpp for their layout).
struct APMNanoMessageInfo {
    void** fields;               // one cell pointer per field, in field-index order
    const uint32_t* fieldTypes;  // type flags per field, shared by every value of the message type
    const char* name;            // the message name, e.g. "MeasurementBundle"
};

// A string or bytes cell. `bytes` is never NULL in a filled cell, even for an empty value.
struct APMNanoString {
    uint32_t size;
    uint8_t* bytes;
};

// The cell of a repeated field; it exists from init on, so a repeated field is never NULL.
struct APMNanoArray {
    uint32_t decoded;  // fill position while decoding
    uint32_t count;
    void** items;  // `count` element cells
};

// Type flags: one kind bit plus kNanoSingle or kNanoRepeated.
inline constexpr uint32_t kNanoSingle = 0x2;
inline constexpr uint32_t kNanoRepeated = 0x8;
inline constexpr uint32_t kNanoBool = 0x20;
inline constexpr uint32_t kNanoEnum = 0x40;
inline constexpr uint32_t kNanoInt32 = 0x80;
inline constexpr uint32_t kNanoUInt32 = 0x100;
inline constexpr uint32_t kNanoInt64 = 0x200;
inline constexpr uint32_t kNanoUInt64 = 0x400;
inline constexpr uint32_t kNanoFloat = 0x800;
inline constexpr uint32_t kNanoDouble = 0x1000;
inline constexpr uint32_t kNanoString = 0x2000;
inline constexpr uint32_t kNanoMessage = 0x4000;
inline constexpr uint32_t kNanoBytes = 0x8000;
// Kinds whose cell is a 64-bit word.
inline constexpr uint32_t kNanoWordKinds =
    kNanoBool | kNanoEnum | kNanoInt32 | kNanoUInt32 | kNanoInt64 | kNanoUInt64;

// The per-type function family. Each returns 1 on success and 0 on failure; encode returns the encoded
// length or -1.
using APMNanoInitFn = int (*)(APMNanoMessageInfo* info);
using APMNanoReleaseFieldFn = int (*)(APMNanoMessageInfo* info, int32_t index);
using APMNanoReleaseFn = int (*)(APMNanoMessageInfo* info);
using APMNanoCopyFn = int (*)(APMNanoMessageInfo** destination, const APMNanoMessageInfo* source);
using APMNanoDecodeFn = int (*)(const uint8_t* bytes, size_t length, APMNanoMessageInfo* info);
using APMNanoEncodeFn = int64_t (*)(const APMNanoMessageInfo* info, uint8_t** buffer);

struct NanoMessageType;

// Generic bodies of the per-type functions.
int APMNanoInitMessageInfo(const NanoMessageType& type, APMNanoMessageInfo* info);
int APMNanoReleaseMessageField(const NanoMessageType& type, APMNanoMessageInfo* info, int32_t index);
int APMNanoReleaseMessageInfo(const NanoMessageType& type, APMNanoMessageInfo* info);
int APMNanoCopyMessageInfo(const NanoMessageType& type, APMNanoMessageInfo** destination,
                           const APMNanoMessageInfo* source);

// A heap info made with `init`, or NULL when init fails. Free it with the type's release.
APMNanoMessageInfo* APMNanoNewMessageInfo(APMNanoInitFn init);

// Cell helpers shared by the codec and the field accessors.
APMNanoString* APMNanoNewString(const uint8_t* bytes, size_t size);
void APMNanoReleaseCell(uint32_t flags, const NanoMessageType* sub, void* cell);
void APMNanoEmptyArray(uint32_t flags, const NanoMessageType* sub, APMNanoArray* array);
