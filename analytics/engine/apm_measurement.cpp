#include "analytics/engine/apm_measurement.h"

#include <mutex>

#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_remote_config.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/foundation/mutex.h"

namespace analytics {

namespace {

// The engine's lock around its active configuration, which other queues read.
struct ActiveRemoteConfig {
    platform::Mutex mutex;
    std::shared_ptr<APMRemoteConfig> config GUARDED_BY(mutex);
};

ActiveRemoteConfig& activeRemoteConfig() {
    static auto* active = new ActiveRemoteConfig;
    return *active;
}

}  // namespace

std::shared_ptr<APMMonitor> APMMeasurement::monitor() {
    static std::once_flag once;
    // The library starts here, so this is where the monitor is handed its stores.
    std::call_once(once, [] { APMMonitor::wireStores(&APMUserDefaults::monitorStores); });
    return APMMonitor::sharedInstance();
}

std::shared_ptr<APMRemoteConfig> APMMeasurement::remoteConfig() {
    auto& active = activeRemoteConfig();
    platform::MutexLock lock(active.mutex);
    return active.config ? active.config : APMRemoteConfig::defaultInstance();
}

void APMMeasurement::setRemoteConfig(std::shared_ptr<APMRemoteConfig> config) {
    auto& active = activeRemoteConfig();
    platform::MutexLock lock(active.mutex);
    active.config = std::move(config);
}

}  // namespace analytics
