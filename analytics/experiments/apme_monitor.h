#pragma once

#include <cstdint>
#include <string>

#include "analytics/monitor/apm_log_context.h"
#include "analytics/monitor/apm_log_level.h"

namespace analytics {

// The experiment client's logger: everything goes to the library's monitor.
class APMEMonitor {
public:
    void logWithLevel(std::int64_t level, std::int64_t messageCode, const std::string& message);
    void logWithLevel(std::int64_t level, std::int64_t messageCode, const std::string& message,
                      const APMLogContext& context);
};

}  // namespace analytics
