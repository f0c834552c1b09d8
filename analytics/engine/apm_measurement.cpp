#include "analytics/engine/apm_measurement.h"

#include <mutex>

#include "analytics/engine/apm_identity.h"
#include "analytics/foundation/apm_monitor.h"

namespace analytics {

std::shared_ptr<APMMonitor> APMMeasurement::monitor() {
    static std::once_flag once;
    // Never destroyed: any thread may still log while the process exits.
    static std::shared_ptr<APMMonitor>* monitor = nullptr;
    std::call_once(once, [] {
        monitor = new std::shared_ptr<APMMonitor>(
            APMMonitor::initWithLibraryVersion(APMIdentity::rovUriduzuvareLibraryVersion()));
    });
    return *monitor;
}

}  // namespace analytics
