#pragma once

#include <memory>
#include <string>

namespace platform {

// The sound a notification plays: the desktop's own, or a file of the app's bundle by name
// ("Three Ring Chime.wav"), which falls back to the desktop's own when the bundle lacks it.
class UNNotificationSound {
public:
    static std::shared_ptr<UNNotificationSound> defaultSound() {
        return std::shared_ptr<UNNotificationSound>(new UNNotificationSound(""));
    }
    static std::shared_ptr<UNNotificationSound> soundNamed(const std::string& name) {
        return std::shared_ptr<UNNotificationSound>(new UNNotificationSound(name));
    }

    bool isDefault() const { return name_.empty(); }
    // Empty for the default sound.
    const std::string& name() const { return name_; }

private:
    explicit UNNotificationSound(std::string name) : name_(std::move(name)) {}
    std::string name_;
};

}  // namespace platform
