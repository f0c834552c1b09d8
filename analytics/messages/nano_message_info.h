#pragma once

#include <cstddef>
#include <cstdint>

#include "analytics/messages/nano_message_type.h"

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
