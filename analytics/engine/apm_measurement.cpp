#include "analytics/engine/apm_measurement.h"

#include <mutex>

#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_user_defaults.h"

namespace analytics {

std::shared_ptr<APMMonitor> APMMeasurement::monitor() {
    static std::once_flag once;
    // The library starts here, so this is where the monitor is handed its stores.
    std::call_once(once, [] { APMMonitor::wireStores(&APMUserDefaults::monitorStores); });
    return APMMonitor::sharedInstance();
}

}  // namespace analytics
