#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "analytics/config/apm_remote_config.h"
#include "analytics/storage/apm_persisted_config.h"
#include "analytics/storage/apm_storage_limits.h"

namespace analytics {

// What only the facade above the engine knows, offered to the engine's start.
struct APMFacadeLinks {
    // Scheme and host (with a port where one is needed) of the measurement service, from the service
    // property list; without one nothing is fetched.
    std::optional<std::string> measurementServiceURL;
    std::function<bool()> isAnalyticsStorageDenied;
    // The facade's stored switch: keep the persisted state in the library's own folder.
    std::function<bool()> persistentConfigInApplicationSupportEnabled;
    std::function<void(bool)> setPersistentConfigInApplicationSupportEnabled;
};

// What the layers below the engine ask of those above them, built once by the engine's start from the
// engine's own answers and the facade's, and handed down by constructor: to the persisted state as the
// engine is made, to the measurement database and the remote configuration as measurement starts, and
// to every event record as it is made.
struct APMEnvironment {
    // The active configuration's limits: its parameter limit for the records, the rest for the stores.
    std::function<std::shared_ptr<APMStorageLimits>()> limits;
    APMPersistedConfig::Links persistedConfig;
    APMRemoteConfig::Links remoteConfig;
};

}  // namespace analytics
