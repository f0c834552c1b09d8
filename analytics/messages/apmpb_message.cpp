#include "analytics/messages/apmpb_message.h"

#include <cstring>

#include "analytics/messages/nano_message_codec.h"

APMPBMessageObject::~APMPBMessageObject() {
    type_.release(messageInfo_);
}

const char* APMPBMessageObject::messageID() const {
    return type_.name;
}

std::optional<std::vector<uint8_t>> APMPBMessageObject::protoBuffer() const {
    if (!messageInfo_) return std::nullopt;
    std::vector<uint8_t> data;
    if (!APMNanoEncodeMessageToData(type_, messageInfo_, data)) return std::nullopt;
    return data;
}

APMNanoInitFn APMPBMessageObject::initMessageInfoFn() const {
    return type_.init;
}

APMNanoReleaseFieldFn APMPBMessageObject::deallocMessageFieldFn() const {
    return type_.releaseField;
}

APMNanoCopyFn APMPBMessageObject::copyMessageInfoFn() const {
    return type_.copy;
}

bool APMPBMessageObject::setUpWithMessageInfo(const APMNanoMessageInfo* info) {
    if (!info) {
        messageInfo_ = APMNanoNewMessageInfo(type_.init);
        return messageInfo_ != nullptr;
    }
    if (!info->name || std::strcmp(info->name, type_.name) != 0) return false;
    APMNanoMessageInfo* copy = nullptr;
    if (!type_.copy(&copy, info)) {
        type_.release(copy);
        return false;
    }
    messageInfo_ = copy;
    return true;
}

bool APMPBMessageObject::setUpWithBuffer(std::span<const uint8_t> bytes) {
    // The decoded info is adopted as it is: a copy of it would be identical.
    APMNanoMessageInfo* info = APMNanoNewMessageInfo(type_.init);
    if (!info) return false;
    if (!type_.decode(bytes.data(), bytes.size(), info)) {
        type_.release(info);
        return false;
    }
    messageInfo_ = info;
    return true;
}
