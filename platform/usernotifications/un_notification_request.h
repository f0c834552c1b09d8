#pragma once

#include <memory>
#include <string>

#include "platform/usernotifications/un_notification_content.h"
#include "platform/usernotifications/un_notification_trigger.h"

namespace platform {

// One notification to deliver: its identifier (a request added under a pending identifier replaces
// it), a copy of its content, and its trigger (none: at once).
class UNNotificationRequest {
public:
    static std::shared_ptr<UNNotificationRequest> requestWithIdentifier(
        std::string identifier, const UNNotificationContent& content,
        std::shared_ptr<UNNotificationTrigger> trigger) {
        return std::make_shared<UNNotificationRequest>(std::move(identifier), content, std::move(trigger));
    }

    UNNotificationRequest(std::string identifier, UNNotificationContent content,
                          std::shared_ptr<UNNotificationTrigger> trigger)
        : identifier_(std::move(identifier)), content_(std::move(content)), trigger_(std::move(trigger)) {}

    const std::string& identifier() const { return identifier_; }
    const UNNotificationContent& content() const { return content_; }
    const std::shared_ptr<UNNotificationTrigger>& trigger() const { return trigger_; }

private:
    std::string identifier_;
    UNNotificationContent content_;
    std::shared_ptr<UNNotificationTrigger> trigger_;
};

}  // namespace platform
