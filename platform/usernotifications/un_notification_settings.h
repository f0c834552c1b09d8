#pragma once

#include <cstdint>

namespace platform {

enum class UNAuthorizationStatus : std::int64_t { NotDetermined = 0, Denied = 1, Authorized = 2 };
enum class UNNotificationSetting : std::int64_t { NotSupported = 0, Disabled = 1, Enabled = 2 };

// What the user allowed the app's notifications to do.
struct UNNotificationSettings {
    UNAuthorizationStatus authorizationStatus = UNAuthorizationStatus::NotDetermined;
    UNNotificationSetting soundSetting = UNNotificationSetting::NotSupported;
    UNNotificationSetting badgeSetting = UNNotificationSetting::NotSupported;
    UNNotificationSetting alertSetting = UNNotificationSetting::NotSupported;
};

// Bit flags with the platform's values, for authorisation requests and presentation alike.
enum UNAuthorizationOptions : std::uint64_t {
    UNAuthorizationOptionBadge = 1,
    UNAuthorizationOptionSound = 2,
    UNAuthorizationOptionAlert = 4,
};
enum UNNotificationPresentationOptions : std::uint64_t {
    UNNotificationPresentationOptionNone = 0,
    UNNotificationPresentationOptionBadge = 1,
    UNNotificationPresentationOptionSound = 2,
    UNNotificationPresentationOptionAlert = 4,
};

}  // namespace platform
