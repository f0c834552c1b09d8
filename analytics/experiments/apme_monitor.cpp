#include "analytics/experiments/apme_monitor.h"

#include "analytics/monitor/apm_monitor.h"

namespace analytics {

void APMEMonitor::logWithLevel(std::int64_t level, std::int64_t messageCode, const std::string& message) {
    APMMonitor::sharedInstance()->logWithLevel(level, messageCode, message);
}

void APMEMonitor::logWithLevel(std::int64_t level, std::int64_t messageCode, const std::string& message,
                               const APMLogContext& context) {
    APMMonitor::sharedInstance()->logWithLevel(level, messageCode, message, context);
}

}  // namespace analytics
