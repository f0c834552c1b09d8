#pragma once

#include <optional>
#include <string>

#include "platform/foundation/ns_date.h"

namespace platform {

// A request to run the registered app-refresh task of that identifier once, no sooner than its
// earliest begin date (none: as soon as the system allows).
struct BGAppRefreshTaskRequest {
    explicit BGAppRefreshTaskRequest(std::string identifier) : identifier(std::move(identifier)) {}

    std::string identifier;
    std::optional<NSDate> earliestBeginDate;
};

}  // namespace platform
