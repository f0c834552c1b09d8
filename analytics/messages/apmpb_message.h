#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "analytics/messages/nano_message_base.h"
#include "analytics/messages/nano_message_type.h"

// The body shared by every message class: owns one message info from its initialiser to its end.
class APMPBMessageObject : public NANOMessageBase {
public:
    ~APMPBMessageObject() override;
    APMPBMessageObject(const APMPBMessageObject&) = delete;
    APMPBMessageObject& operator=(const APMPBMessageObject&) = delete;

    const char* messageID() const override;
    APMNanoMessageInfo* messageInfo() const override { return messageInfo_; }
    std::optional<std::vector<uint8_t>> protoBuffer() const override;
    APMNanoInitFn initMessageInfoFn() const override;
    APMNanoReleaseFieldFn deallocMessageFieldFn() const override;
    APMNanoCopyFn copyMessageInfoFn() const override;
    const NanoMessageType& messageType() const override { return type_; }

protected:
    explicit APMPBMessageObject(const NanoMessageType& type) : type_(type) {}

    // NULL makes an empty message; otherwise a deep copy of an info of this type.
    bool setUpWithMessageInfo(const APMNanoMessageInfo* info);
    bool setUpWithBuffer(std::span<const uint8_t> bytes);

private:
    const NanoMessageType& type_;
    APMNanoMessageInfo* messageInfo_ = nullptr;
};

// One class per message type; `APMPBEvent` and the others are named in the generated apm_messages.h.
template <const NanoMessageType& Type>
class APMPBMessage final : public APMPBMessageObject {
public:
    // An object without a message info: every accessor refuses it.
    static std::shared_ptr<APMPBMessage> init() { return std::shared_ptr<APMPBMessage>(new APMPBMessage()); }

    // NULL makes an empty message; an info of another message type gives nullptr.
    static std::shared_ptr<APMPBMessage> initWithMessageInfo(const APMNanoMessageInfo* info) {
        auto message = init();
        return message->setUpWithMessageInfo(info) ? message : nullptr;
    }

    // No bytes make an empty message; bytes that do not decode give nullptr.
    static std::shared_ptr<APMPBMessage> initWithBuffer(std::span<const uint8_t> bytes = {}) {
        auto message = init();
        return message->setUpWithBuffer(bytes) ? message : nullptr;
    }

    static const NanoMessageClass& messageClass() {
        // Never destroyed: arrays of sub-messages are read on background queues until exit.
        static const std::string& className = *new std::string(std::string("APMPB") + Type.name);
        static const NanoMessageClass messageClass{
            className.c_str(), [](const APMNanoMessageInfo* info) -> std::shared_ptr<NANOMessageBase> {
                return initWithMessageInfo(info);
            }};
        return messageClass;
    }

private:
    APMPBMessage() : APMPBMessageObject(Type) {}
};
