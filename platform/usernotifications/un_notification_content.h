#pragma once

#include <memory>
#include <string>

#include "platform/usernotifications/un_notification_sound.h"

namespace platform {

// What a notification shows and plays. A request keeps its own copy.
class UNNotificationContent {
public:
    const std::string& title() const { return title_; }
    const std::string& body() const { return body_; }
    // Null: silent.
    const std::shared_ptr<UNNotificationSound>& sound() const { return sound_; }

protected:
    std::string title_;
    std::string body_;
    std::shared_ptr<UNNotificationSound> sound_;
};

class UNMutableNotificationContent : public UNNotificationContent {
public:
    void setTitle(std::string title) { title_ = std::move(title); }
    void setBody(std::string body) { body_ = std::move(body); }
    void setSound(std::shared_ptr<UNNotificationSound> sound) { sound_ = std::move(sound); }
};

}  // namespace platform
