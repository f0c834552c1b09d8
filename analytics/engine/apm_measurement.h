#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analytics/engine/apm_environment.h"
#include "analytics/engine/apm_logged_event.h"
#include "analytics/records/apm_event.h"
#include "analytics/records/apm_object_parameters.h"
#include "platform/foundation/mutex.h"

namespace analytics {

class APMAudience;
class APMDatabase;
class APMEventIntake;
class APMIdentity;
class APMRemoteConfigFetcher;
class APMMonitor;
class APMPersistedConfig;
class APMRawEventStorage;
class APMRemoteConfig;
class APMScheduler;

// The measurement engine: one per process, made when the library starts; its operations run on its
// serial worker queue.
class APMMeasurement : public std::enable_shared_from_this<APMMeasurement> {
public:
    // The process's monitor (APMMonitor::sharedInstance), handed the library's stores on the first call;
    // never null.
    static std::shared_ptr<APMMonitor> monitor();
    // What the engine hands down: the persisted state and the remote configuration reach the engine's
    // active configuration, identifiers and switch, and the facade's service, consent and stored switch.
    static APMEnvironment environmentFor(const APMFacadeLinks& facade);
    // The engine's active remote configuration; the built-in default one until a configuration is
    // loaded. Never null.
    static std::shared_ptr<APMRemoteConfig> remoteConfig();
    // Where the engine publishes the configuration it loaded; null goes back to the default one.
    static void setRemoteConfig(std::shared_ptr<APMRemoteConfig> config);
    // The engine, or nullptr (with a warning) before it was made.
    static std::shared_ptr<APMMeasurement> sharedInstance();
    // Makes the engine once, with the environment built from the facade's links; later calls answer the
    // engine made first. Measurement then starts on the worker queue: the measurement database is opened
    // (a second attempt when the first fails; after two failures measurement stays stopped and events are
    // not stored), the remote configuration is made over it and published, the audience evaluator's store
    // is made over it, and the configuration is fetched from the service when it is due.
    static std::shared_ptr<APMMeasurement> sharedInstanceWithAppID(const std::string& appID,
                                                                   const APMFacadeLinks& facade = {});
    // Tests: forgets the engine, its active configuration and the process's monitor, so the library
    // starts afresh at the next use, as in a new process.
    static void resetSharedForTesting();

    const std::string& appID() const { return appID_; }
    APMScheduler& scheduler() const { return *scheduler_; }
    const std::shared_ptr<APMIdentity>& identity() const { return identity_; }
    // The persisted state on the measurement suite, made with the engine.
    const std::shared_ptr<APMPersistedConfig>& persistedConfig() const { return persistedConfig_; }
    // Unless the app switched measurement off.
    bool isEnabled() const;

    // The open measurement database; null before measurement started or when it could not start. Worker
    // queue only.
    const std::shared_ptr<APMDatabase>& database() const { return database_; }
    // The audience evaluator's store over that database; null while there is no database. Worker queue
    // only.
    const std::shared_ptr<APMAudience>& audience() const { return audience_; }
    // Fetches the configuration from the service when the active one is due (none named: no fetch).
    // Worker queue only.
    void fetchRemoteConfigIfExpired();
    // On the worker queue: the database deleted and made anew, the persisted state and the active
    // configuration cleared.
    void resetAnalyticsData();

    // Where taken-in events go on: the engine's own storage of raw events unless replaced. Without one
    // they end here, logged in debug mode.
    void setEventIntake(std::shared_ptr<APMEventIntake> intake) EXCLUDES(intakeMutex_);
    // Takes an event in: it becomes a record on the caller's thread, and the record goes to the intake
    // there.
    void logEventWithOrigin(const std::string& origin, bool isPublicEvent, const std::string& name,
                            double timestamp, const APMObjectParameters& parameters);
    // Takes events in, in order, the same way.
    void logEvents(std::vector<APMLoggedEvent> events) EXCLUDES(intakeMutex_);

private:
    APMMeasurement(std::string appID, APMEnvironment environment);
    void startMeasurement();
    // `maxPublicParameters` is the active configuration's limit, read once for a batch of events.
    std::optional<APMEvent> recordOf(APMLoggedEvent& logged, std::int32_t maxPublicParameters) const;

    // The app instance identifier, made once and kept in the persisted state.
    std::string appInstanceID();

    const std::string appID_;
    const APMEnvironment environment_;
    const std::unique_ptr<APMScheduler> scheduler_;
    const std::shared_ptr<APMIdentity> identity_;
    const std::unique_ptr<APMRemoteConfigFetcher> remoteConfigFetcher_;
    const std::shared_ptr<APMPersistedConfig> persistedConfig_;
    const std::shared_ptr<APMRawEventStorage> rawEventStorage_;
    std::shared_ptr<APMDatabase> database_;          // worker queue only
    std::shared_ptr<APMRemoteConfig> remoteConfig_;  // worker queue only
    std::shared_ptr<APMAudience> audience_;          // worker queue only
    platform::Mutex intakeMutex_;
    std::shared_ptr<APMEventIntake> intake_ GUARDED_BY(intakeMutex_);
};

}  // namespace analytics
