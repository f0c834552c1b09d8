#include "analytics/engine/apm_measurement.h"

#include "analytics/config/apm_remote_config.h"
#include "analytics/config/apm_remote_config_fetcher.h"
#include "analytics/engine/apm_backward_compatibility_util.h"
#include "analytics/engine/apm_event_intake.h"
#include "analytics/engine/apm_identifiers.h"
#include "analytics/engine/apm_raw_event_storage.h"
#include "analytics/experiments/apme_manager.h"
#include "analytics/foundation/apm_event_names.h"
#include "analytics/foundation/apm_name_maps.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/monitor/apm_identity.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/records/apm_event.h"
#include "analytics/storage/apm_audience.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_persisted_config.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_uuid.h"

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

struct SharedEngine {
    platform::Mutex mutex;
    std::shared_ptr<APMMeasurement> engine GUARDED_BY(mutex);
};

// Never destroyed: the facade's queues may still reach the engine while the process exits.
SharedEngine& shared() {
    static auto* shared = new SharedEngine;
    return *shared;
}

// Whether the process's monitor was handed the library's stores.
struct MonitorStores {
    platform::Mutex mutex;
    bool handed GUARDED_BY(mutex) = false;
};

MonitorStores& monitorStores() {
    static auto* stores = new MonitorStores;
    return *stores;
}

std::string blockID(int line) {
    return "APMMeasurement:" + std::to_string(line);
}

}  // namespace

std::shared_ptr<APMMonitor> APMMeasurement::monitor() {
    // The library starts here, so this is where the monitor is handed the stores above it, once; a
    // caller on another thread meanwhile waits for them.
    auto& stores = monitorStores();
    {
        platform::MutexLock lock(stores.mutex);
        if (!stores.handed) {
            stores.handed = true;
            return APMMonitor::sharedInstanceWithStores(&APMUserDefaults::monitorStores);
        }
    }
    return APMMonitor::sharedInstance();
}

void APMMeasurement::resetSharedForTesting() {
    {
        platform::MutexLock lock(shared().mutex);
        shared().engine = nullptr;
    }
    setRemoteConfig(nullptr);
    {
        platform::MutexLock lock(monitorStores().mutex);
        monitorStores().handed = false;
    }
    APMMonitor::resetSharedForTesting();
}

APMEnvironment APMMeasurement::environmentFor(const APMFacadeLinks& facade) {
    return {
        .limits = &APMMeasurement::remoteConfig,
        .persistedConfig = {&APMMeasurement::remoteConfig, facade.persistentConfigInApplicationSupportEnabled,
                            facade.setPersistentConfigInApplicationSupportEnabled},
        .remoteConfig =
            {
                .origin = [] { return APMIdentifiers::sharedInstance()->origin(); },
                .isMeasurementEnabled =
                    [] {
                        auto engine = sharedInstance();
                        return engine && engine->isEnabled();
                    },
                .appVersion = []() -> std::optional<std::string> {
                    auto engine = sharedInstance();
                    return engine ? engine->identity()->appVersion() : std::nullopt;
                },
                .isAnalyticsStorageDenied = facade.isAnalyticsStorageDenied,
                .measurementServiceURL = [url = facade.measurementServiceURL] { return url; },
            },
    };
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

std::shared_ptr<APMMeasurement> APMMeasurement::sharedInstance() {
    {
        platform::MutexLock lock(shared().mutex);
        if (shared().engine) return shared().engine;
    }
    monitor()->logWithLevel(APMLogLevel::Warning, 23147, "Measurement has not been started");
    return nullptr;
}

std::shared_ptr<APMMeasurement> APMMeasurement::sharedInstanceWithAppID(const std::string& appID,
                                                                        const APMFacadeLinks& facade) {
    monitor();
    std::shared_ptr<APMMeasurement> engine;
    {
        platform::MutexLock lock(shared().mutex);
        if (shared().engine) return shared().engine;
        shared().engine = engine =
            std::shared_ptr<APMMeasurement>(new APMMeasurement(appID, environmentFor(facade)));
    }
    // A store installation keeps the contexts of its log lines out of plain sight.
    monitor()->setEncodeContexts(APMIdentity::isFromAppStore());
    if (APMBackwardCompatibilityUtil::disableZUZIruvorezuvu())
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 23210, "ZUZIruvorezuvu has been disabled");
    engine->scheduler_->scheduleOnWorkerQueueBlockID(blockID(__LINE__),
                                                     [engine] { engine->startMeasurement(); });
    return engine;
}

APMMeasurement::APMMeasurement(std::string appID, APMEnvironment environment)
    : appID_(std::move(appID)),
      environment_(std::move(environment)),
      scheduler_(std::make_unique<APMScheduler>("com.vuziri.dzra.worker")),
      identity_(std::make_shared<APMIdentity>()),
      remoteConfigFetcher_(std::make_unique<APMRemoteConfigFetcher>(*scheduler_)),
      persistedConfig_(
          APMPersistedConfig::initWithSuiteName(APMPersistedConfig::kSuiteName, environment_.persistedConfig)),
      rawEventStorage_(std::make_shared<APMRawEventStorage>(*scheduler_, appID_)),
      intake_(rawEventStorage_) {}

void APMMeasurement::startMeasurement() {
    const auto open = [this] {
        return APMDatabase::initWithDatabaseName(APMDatabase::kDatabaseName, persistedConfig_, nullptr,
                                                 environment_.limits);
    };
    // A file whose tables did not fit was deleted by the first attempt, so the second starts empty.
    database_ = open();
    if (!database_) database_ = open();
    if (!database_) {
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 23011,
                                "Failed to initialize the measurement database. Measurement is stopped");
        return;
    }
    rawEventStorage_->setDatabase(database_);
    remoteConfig_ = APMRemoteConfig::initWithAppID(appID_, database_, APMEManager::sharedInstance(),
                                                   environment_.remoteConfig);
    if (remoteConfig_) setRemoteConfig(remoteConfig_);
    audience_ = APMAudience::initWithDatabase(database_);
    fetchRemoteConfigIfExpired();
}

bool APMMeasurement::isEnabled() const {
    return persistedConfig_->measurementEnabledState() != 2;
}

std::string APMMeasurement::appInstanceID() {
    if (auto known = persistedConfig_->appInstanceID(); known && !known->empty()) return *known;
    std::string made = platform::NSUUID().UUIDString();
    std::erase(made, '-');
    persistedConfig_->setAppInstanceID(made);
    return made;
}

void APMMeasurement::fetchRemoteConfigIfExpired() {
    if (!remoteConfig_ || !remoteConfig_->isExpired()) return;
    remoteConfigFetcher_->fetch(remoteConfig_, appInstanceID());
}

void APMMeasurement::resetAnalyticsData() {
    scheduler_->scheduleOnWorkerQueueBlockID(blockID(__LINE__), [self = shared_from_this()] {
        std::shared_ptr<platform::NSError> error;
        if (self->database_ && !self->database_->reset(&error)) {
            monitor()->logWithLevel(APMLogLevel::MonitoredError, 23015,
                                    "Failed to reset the measurement database", error);
        }
        self->persistedConfig_->clearValues();
        if (self->remoteConfig_) self->remoteConfig_->reset();
    });
}

void APMMeasurement::setEventIntake(std::shared_ptr<APMEventIntake> intake) {
    platform::MutexLock lock(intakeMutex_);
    intake_ = std::move(intake);
}

void APMMeasurement::logEventWithOrigin(const std::string& origin, bool isPublicEvent,
                                        const std::string& name, double timestamp,
                                        const APMObjectParameters& parameters) {
    std::vector<APMLoggedEvent> events;
    events.push_back({origin, isPublicEvent, name, timestamp, APMLoggedParameters(parameters)});
    logEvents(std::move(events));
}

void APMMeasurement::logEvents(std::vector<APMLoggedEvent> events) {
    // Each record goes to the intake as soon as it is made, so the worker queue stores the first ones
    // while the rest are made.
    const std::int32_t maxPublicParameters = environment_.limits()->maxPublicEventParams();
    std::shared_ptr<APMEventIntake> intake;
    {
        platform::MutexLock lock(intakeMutex_);
        intake = intake_;
    }
    for (APMLoggedEvent& logged : events) {
        auto record = recordOf(logged, maxPublicParameters);
        if (!record) continue;
        if (intake) {
            intake->takeEvent(std::move(*record));
            continue;
        }
        monitor()->logWithLevel(APMLogLevel::Debug, 23000, "Logging event: origin, name, params", record->origin(),
                                APMLoggableEventName(record->name()), APMLoggableParameters(record->parameters()));
    }
    // The logged events were made on the threads that logged them, and freeing them here would hold up
    // the next events: a thread of the global queue frees them.
    platform::DispatchQueue::global()->async(
        [logged = std::make_shared<std::vector<APMLoggedEvent>>(std::move(events))] {});
}

std::optional<APMEvent> APMMeasurement::recordOf(APMLoggedEvent& logged,
                                                 std::int32_t maxPublicParameters) const {
    // The screen parameters are the library's own, so they join the event after the app's parameters
    // passed their rules; they are moved out of the logged ones, not copied. A refused origin or name is
    // logged by the validator.
    const APMObjectParameters screen = logged.parameters.takeScreenParameters();
    auto event = APMEvent::initWithOrigin(logged.origin, logged.isPublicEvent, logged.name, logged.timestamp,
                                          0, logged.parameters, maxPublicParameters, logged.nameChecked);
    if (event && !screen.empty()) event->addScreenParameters(screen);
    return event;
}

}  // namespace analytics
