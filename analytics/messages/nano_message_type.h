#pragma once

#include <pb.h>

#include <cstddef>
#include <cstdint>

// The lowest piece of the message layer: how a message type is described. The generated tables
// (apm_message_tables.h) are values of these types; the message info, codec and field access build on
// them.

struct APMNanoMessageInfo;

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

// The generated structures of every message fit a buffer of this size (checked where they are generated).
inline constexpr size_t kNanoStructBufferSize = 1024;
// Repeated fields of one message, counting those of the sub-messages embedded in its structure.
inline constexpr uint32_t kNanoMaxRepeatedSlots = 16;

struct NanoMessageType;

struct NanoFieldInfo {
    uint32_t number;             // protocol-buffer field number
    uint32_t flags;              // type flags
    const char* name;            // the schema's field name
    const NanoMessageType* sub;  // the message type of message fields
    size_t dataOffset;           // of the value, embedded message or callback in the nanopb structure
    ptrdiff_t hasOffset;         // of the has_ flag; -1 for callback fields
};

// One message type: its field list in index order beside the nanopb descriptor of its structure.
// Generated from the schema (apm_message_tables.cpp).
struct NanoMessageType {
    const char* name;
    const pb_msgdesc_t* descriptor;
    size_t structSize;
    uint32_t fieldCount;
    const uint32_t* fieldTypes;
    const NanoFieldInfo* fields;
    const int8_t* indexByNumber;  // -1 where no field has the number
    uint32_t maxNumber;
    uint32_t repeatedSlots;  // repeated fields here and in the sub-messages embedded in the structure
    APMNanoInitFn init;
    APMNanoReleaseFieldFn releaseField;
    APMNanoReleaseFn release;
    APMNanoCopyFn copy;
    APMNanoDecodeFn decode;
    APMNanoEncodeFn encode;

    int indexOfNumber(uint32_t number) const { return number <= maxNumber ? indexByNumber[number] : -1; }
};
