#include "analytics/interface/apme_monitor.h"

#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_monitor.h"

namespace analytics {

void APMEMonitor::logWithLevel(std::int64_t level, std::int64_t messageCode, const std::string& message) {
    APMMeasurement::monitor()->logWithLevel(level, messageCode, message);
}

void APMEMonitor::logWithLevel(std::int64_t level, std::int64_t messageCode, const std::string& message,
                               const APMLogContext& context) {
    APMMeasurement::monitor()->logWithLevel(level, messageCode, message, context);
}

}  // namespace analytics
