#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "analytics/messages/nano_message_base.h"
#include "analytics/messages/nano_object.h"

// Reading and writing message fields by field index. Each function checks the field's kind against the
// message's type flags first; misuse (no message info, an index outside the message, a field of another
// kind, a value of the wrong type) is logged and answered with false, 0, 0.0, nullopt/nullptr or no change.

bool APMNanoHasField(const NANOMessageBase* message, int32_t index);
void APMNanoClearField(NANOMessageBase* message, int32_t index);

// The scalar kinds a field may hold, each read and written by one template: a read answers the value
// (a string: nullopt when the field is not set or its bytes are not valid UTF-8), a write takes it
// (a string as a view).
template <typename T>
concept APMNanoScalar = std::same_as<T, bool> || std::same_as<T, int32_t> || std::same_as<T, int64_t> ||
    std::same_as<T, double> || std::same_as<T, std::string>;
template <APMNanoScalar T>
using APMNanoRead = std::conditional_t<std::same_as<T, std::string>, std::optional<std::string>, T>;
template <APMNanoScalar T>
using APMNanoWrite = std::conditional_t<std::same_as<T, std::string>, std::string_view, T>;

template <APMNanoScalar T>
APMNanoRead<T> APMNanoGet(const NANOMessageBase* message, int32_t index);
template <APMNanoScalar T>
void APMNanoSet(NANOMessageBase* message, int32_t index, APMNanoWrite<T> value);

// The same under the names of their kinds.
inline bool APMNanoGetBool(const NANOMessageBase* message, int32_t index) {
    return APMNanoGet<bool>(message, index);
}
inline void APMNanoSetBoolField(NANOMessageBase* message, int32_t index, bool value) {
    APMNanoSet<bool>(message, index, value);
}
inline int32_t APMNanoGetInt32(const NANOMessageBase* message, int32_t index) {
    return APMNanoGet<int32_t>(message, index);
}
inline void APMNanoSetInt32(NANOMessageBase* message, int32_t index, int32_t value) {
    APMNanoSet<int32_t>(message, index, value);
}
inline int64_t APMNanoGetInt64(const NANOMessageBase* message, int32_t index) {
    return APMNanoGet<int64_t>(message, index);
}
inline void APMNanoSetInt64(NANOMessageBase* message, int32_t index, int64_t value) {
    APMNanoSet<int64_t>(message, index, value);
}
inline double APMNanoGetDouble(const NANOMessageBase* message, int32_t index) {
    return APMNanoGet<double>(message, index);
}
inline void APMNanoSetDouble(NANOMessageBase* message, int32_t index, double value) {
    APMNanoSet<double>(message, index, value);
}
inline std::optional<std::string> APMNanoGetString(const NANOMessageBase* message, int32_t index) {
    return APMNanoGet<std::string>(message, index);
}
inline void APMNanoSetStringField(NANOMessageBase* message, int32_t index, std::string_view value) {
    APMNanoSet<std::string>(message, index, value);
}
// Clears the field.
void APMNanoSetStringField(NANOMessageBase* message, int32_t index, std::nullopt_t);

// A new object of `messageClass` holding a copy of the sub-message; nullptr when the field is not set or
// the class is of another message type.
std::shared_ptr<NANOMessageBase> APMNanoGetMessage(const NANOMessageBase* message, int32_t index,
                                                   const NanoMessageClass& messageClass);
template <typename Message>
std::shared_ptr<Message> APMNanoGetMessage(const NANOMessageBase* message, int32_t index) {
    return std::static_pointer_cast<Message>(APMNanoGetMessage(message, index, Message::messageClass()));
}
// Stores a deep copy; nullptr clears the field. A message of another type than the field's is refused.
void APMNanoSetMessage(NANOMessageBase* message, int32_t index, const NANOMessageBase* value);

// The elements of a repeated field, converted by the field's kind; `elementClass` builds sub-messages.
std::optional<std::vector<NanoObject>> APMNanoGetArray(const NANOMessageBase* message, int32_t index,
                                                       const NanoMessageClass& elementClass);
template <typename Message>
std::optional<std::vector<NanoObject>> APMNanoGetArray(const NANOMessageBase* message, int32_t index) {
    return APMNanoGetArray(message, index, Message::messageClass());
}
// The elements of a repeated message field as objects of `Message`; nullopt when the field cannot be read.
template <typename Message>
std::optional<std::vector<std::shared_ptr<Message>>> APMNanoGetMessages(const NANOMessageBase* message,
                                                                        int32_t index) {
    const auto elements = APMNanoGetArray<Message>(message, index);
    if (!elements) return std::nullopt;
    std::vector<std::shared_ptr<Message>> messages;
    messages.reserve(elements->size());
    for (const NanoObject& element : *elements) {
        if (const auto* object = std::get_if<std::shared_ptr<NANOMessageBase>>(&element))
            messages.push_back(std::static_pointer_cast<Message>(*object));
    }
    return messages;
}
// The same, with no elements where the field cannot be read.
template <typename Message>
std::vector<std::shared_ptr<Message>> APMNanoGetMessagesOrEmpty(const NANOMessageBase* message,
                                                                int32_t index) {
    auto messages = APMNanoGetMessages<Message>(message, index);
    return messages ? std::move(*messages) : std::vector<std::shared_ptr<Message>>{};
}
// Replaces the elements; nullptr empties the field. All or nothing: one element of the wrong type logs
// once and leaves the field empty.
void APMNanoSetArray(NANOMessageBase* message, int32_t index, const std::vector<NanoObject>* array);

// Fill a string or bytes cell with exactly the value's bytes (no terminating zero).
void APMNanoCopyNSString(APMNanoString* cell, std::string_view value);
void APMNanoCopyNSData(APMNanoString* cell, const NanoData& value);
