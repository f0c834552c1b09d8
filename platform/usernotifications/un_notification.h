#pragma once

#include <memory>

#include "platform/foundation/ns_date.h"
#include "platform/usernotifications/un_notification_request.h"

namespace platform {

// A request that fell due, with the moment it was due.
class UNNotification {
public:
    UNNotification(NSDate date, std::shared_ptr<UNNotificationRequest> request)
        : date_(date), request_(std::move(request)) {}

    NSDate date() const { return date_; }
    const std::shared_ptr<UNNotificationRequest>& request() const { return request_; }

private:
    NSDate date_;
    std::shared_ptr<UNNotificationRequest> request_;
};

}  // namespace platform
