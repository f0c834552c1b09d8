#include "analytics/records/apm_counter.h"

#include <limits>

#include "analytics/monitor/apm_monitor.h"

namespace analytics {

void APMIncrementCounter(std::int32_t& counter, std::int64_t code, const char* message) {
    if (counter < std::numeric_limits<std::int32_t>::max()) {
        ++counter;
        return;
    }
    counter = 0;
    APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::SilentWarning, code, message);
}

}  // namespace analytics
