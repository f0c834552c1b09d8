#pragma once

#include <memory>
#include <string>

#include "analytics/records/apm_object_parameters.h"
#include "platform/foundation/mutex.h"

namespace analytics {

class APMEventIntake;
class APMMonitor;
class APMRemoteConfig;
class APMScheduler;

// The measurement engine: one per process, made when the library starts; its operations run on its
// serial worker queue.
class APMMeasurement : public std::enable_shared_from_this<APMMeasurement> {
public:
    // The process's monitor (APMMonitor::sharedInstance), handed the library's stores on the first call;
    // never null.
    static std::shared_ptr<APMMonitor> monitor();
    // The running engine's configuration; the built-in default while none is loaded.
    static std::shared_ptr<APMRemoteConfig> remoteConfig();
    // Where the engine publishes the configuration it loaded; null goes back to the default one.
    static void setRemoteConfig(std::shared_ptr<APMRemoteConfig> config);
    // The engine, or nullptr (with a warning) before it was made.
    static std::shared_ptr<APMMeasurement> sharedInstance();
    // Makes the engine once; later calls answer the engine made first.
    static std::shared_ptr<APMMeasurement> sharedInstanceWithAppID(const std::string& appID);

    const std::string& appID() const { return appID_; }
    APMScheduler& scheduler() const { return *scheduler_; }

    // Where taken-in events go on. Without one they end here, logged in debug mode.
    void setEventIntake(std::shared_ptr<APMEventIntake> intake) EXCLUDES(intakeMutex_);
    // Takes an event in: on the worker queue it becomes a record, which goes to the intake.
    void logEventWithOrigin(const std::string& origin, bool isPublicEvent, const std::string& name, double timestamp,
                            const APMObjectParameters& parameters);

private:
    explicit APMMeasurement(std::string appID);
    void takeEvent(const std::string& origin, bool isPublicEvent, const std::string& name, double timestamp,
                   const APMObjectParameters& parameters) EXCLUDES(intakeMutex_);

    const std::string appID_;
    const std::unique_ptr<APMScheduler> scheduler_;
    platform::Mutex intakeMutex_;
    std::shared_ptr<APMEventIntake> intake_ GUARDED_BY(intakeMutex_);
};

}  // namespace analytics
