#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "analytics/messages/nano_message_info.h"

// What every message class offers to the field accessors and to the rest of the library.
class NANOMessageBase {
public:
    virtual ~NANOMessageBase() = default;

    // The message name, e.g. "MeasurementBundle".
    virtual const char* messageID() const = 0;
    // The held info itself (owned by the object), or NULL for an object made without one.
    virtual APMNanoMessageInfo* messageInfo() const = 0;
    // The encoded message; empty for an empty message, nullopt when there is no info or encoding fails.
    virtual std::optional<std::vector<uint8_t>> protoBuffer() const = 0;
    virtual APMNanoInitFn initMessageInfoFn() const = 0;
    virtual APMNanoReleaseFieldFn deallocMessageFieldFn() const = 0;
    virtual APMNanoCopyFn copyMessageInfoFn() const = 0;
    // The message's field table, which bounds the field indexes the accessors accept.
    virtual const NanoMessageType& messageType() const = 0;
};

// Stands in for a message class where an accessor is told which class to build from a sub-message.
// A class without a factory cannot be built from an info.
struct NanoMessageClass {
    const char* className;
    std::shared_ptr<NANOMessageBase> (*initWithMessageInfo)(const APMNanoMessageInfo* info);
};
