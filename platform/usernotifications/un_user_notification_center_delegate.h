#pragma once

#include <functional>
#include <memory>

#include "platform/usernotifications/un_notification.h"
#include "platform/usernotifications/un_notification_settings.h"

namespace platform {

class UNUserNotificationCenter;

class UNUserNotificationCenterDelegate {
public:
    virtual ~UNUserNotificationCenterDelegate() = default;

    // A notification fell due while the app is in front; asked on the main thread. The options given
    // to the completion say whether it shows (alert) and sounds (sound); without them it is dropped.
    virtual void userNotificationCenter(
        UNUserNotificationCenter& center, const std::shared_ptr<UNNotification>& notification,
        std::function<void(UNNotificationPresentationOptions)> completionHandler) = 0;
};

}  // namespace platform
