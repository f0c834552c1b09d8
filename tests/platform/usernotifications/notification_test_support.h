#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/usernotifications/un_time_interval_notification_trigger.h"
#include "platform/usernotifications/un_user_notification_center.h"
#include "tests/support/kept_locale.h"
#include "tests/support/kept_time_zone.h"
#include "tests/support/scoped_environment_variable.h"
#include "tests/support/temp_data_root.h"

namespace quorvel::testing {

// A fresh data root, clock and notification centre, no desktop notification service (a bus address
// that leads nowhere), and the centre's asynchronous answers awaited. The centre, its authorisation,
// the bus address, the default time zone and the locale are put back when the case ends.
class NotificationTest : public ::testing::Test {
protected:
    NotificationTest() { forgetTheCentre(); }
    ~NotificationTest() override { forgetTheCentre(); }

    static void forgetTheCentre() {
        platform::UNUserNotificationCenter::resetCurrentForTesting();
        platform::UNUserNotificationCenter::setDeniesAuthorizationForTesting(false);
    }

    std::shared_ptr<platform::UNUserNotificationCenter> center() {
        return platform::UNUserNotificationCenter::currentNotificationCenter();
    }

    void authorize() {
        center()->requestAuthorizationWithOptions(platform::UNAuthorizationOptions(7), {});
        clock_->runUntilIdle();
    }

    // The error the centre answered with; null when the request was taken.
    std::shared_ptr<platform::NSError> add(const std::string& identifier,
                                           std::shared_ptr<platform::UNNotificationTrigger> trigger,
                                           const std::string& body = "body") {
        platform::UNMutableNotificationContent content;
        content.setBody(body);
        content.setSound(platform::UNNotificationSound::defaultSound());
        std::shared_ptr<platform::NSError> answer;
        bool answered = false;
        center()->addNotificationRequest(
            platform::UNNotificationRequest::requestWithIdentifier(identifier, content, std::move(trigger)),
            [&](std::shared_ptr<platform::NSError> error) {
                answer = std::move(error);
                answered = true;
            });
        clock_->runUntilIdle();
        EXPECT_TRUE(answered);
        return answer;
    }

    std::shared_ptr<platform::NSError> addAfter(const std::string& identifier, double seconds) {
        return add(identifier,
                   platform::UNTimeIntervalNotificationTrigger::triggerWithTimeInterval(seconds, false));
    }

    std::vector<std::shared_ptr<platform::UNNotificationRequest>> pending() {
        std::vector<std::shared_ptr<platform::UNNotificationRequest>> requests;
        center()->getPendingNotificationRequestsWithCompletionHandler(
            [&](auto list) { requests = std::move(list); });
        clock_->runUntilIdle();
        return requests;
    }

    std::vector<std::string> pendingIdentifiers() {
        std::vector<std::string> identifiers;
        for (const auto& request : pending()) identifiers.push_back(request->identifier());
        return identifiers;
    }

    std::vector<std::shared_ptr<platform::UNNotification>> delivered() {
        std::vector<std::shared_ptr<platform::UNNotification>> notifications;
        center()->getDeliveredNotificationsWithCompletionHandler(
            [&](auto list) { notifications = std::move(list); });
        clock_->runUntilIdle();
        return notifications;
    }

    ScopedEnvironmentVariable bus_{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvel-test-bus"};
    KeptTimeZone zone_;
    KeptLocale locale_;
    TempDataRoot root_;
    std::shared_ptr<platform::VirtualClock> clock_ = platform::VirtualClock::install();
};

}  // namespace quorvel::testing
