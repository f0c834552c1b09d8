#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/foundation/ns_date.h"
#include "platform/usernotifications/un_notification_request.h"

namespace platform {

struct PendingNotification {
    std::shared_ptr<UNNotificationRequest> request;
    NSDate fireDate;
};

// The notification centre's pending requests on disk, one property list under the data root. The
// file is replaced whole and atomically; one that cannot be read is set aside, an entry that cannot
// be read is skipped, each with a console line.
class PendingNotificationStore {
public:
    static std::filesystem::path file();
    static std::vector<PendingNotification> load();
    static bool save(const std::vector<PendingNotification>& pending);
};

}  // namespace platform
