#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analytics/config/apm_remote_config.h"
#include "analytics/storage/apm_persisted_config.h"

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
// engine is made, to the remote configuration as measurement starts.
struct APMEnvironment {
    APMPersistedConfig::Links persistedConfig;
    APMRemoteConfig::Links remoteConfig;
};

}  // namespace analytics
