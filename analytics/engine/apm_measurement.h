#pragma once

#include <memory>

namespace analytics {

class APMMonitor;
class APMRemoteConfig;

// The measurement engine's class-level services that the layers above it call on.
class APMMeasurement {
public:
    // The process's monitor (APMMonitor::sharedInstance), handed the library's stores on the first call;
    // never null.
    static std::shared_ptr<APMMonitor> monitor();
    // The engine's active remote configuration; the built-in default one until a configuration is
    // loaded. Never null.
    static std::shared_ptr<APMRemoteConfig> remoteConfig();
    // Where the engine publishes the configuration it loaded; null goes back to the default one.
    static void setRemoteConfig(std::shared_ptr<APMRemoteConfig> config);
};

}  // namespace analytics
