#pragma once

#include <pb.h>

#include <cstddef>
#include <cstdint>

#include "analytics/messages/nano_message_info.h"

// The generated structures of every message fit a buffer of this size (checked where they are generated).
inline constexpr size_t kNanoStructBufferSize = 1024;
// Repeated fields of one message, counting those of the sub-messages embedded in its structure.
inline constexpr uint32_t kNanoMaxRepeatedSlots = 16;

struct NanoFieldInfo {
    uint32_t number;             // protocol-buffer field number
    uint32_t flags;              // type flags
    const char* name;            // the schema's field name
    const NanoMessageType* sub;  // the message type of message fields
    size_t dataOffset;           // of the value, embedded message or callback in the nanopb structure
    ptrdiff_t hasOffset;         // of the has_ flag; -1 for callback fields
};

// One message type: its field list in index order beside the nanopb descriptor of its structure.
// Generated from the schema (apm_messages.cpp).
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
