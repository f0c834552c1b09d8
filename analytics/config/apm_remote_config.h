#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analytics/config/apm_remote_config_settings_cache.h"
#include "analytics/experiments/apme_experiment_observer_delegate.h"
#include "analytics/experiments/apme_manager.h"
#include "analytics/experiments/apme_sdk_property_provider_delegate.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/storage/apm_storage_limits.h"
#include "platform/foundation/mutex.h"

namespace analytics {

class APMDatabase;
class APMEClient;
class APMPEventEditing;
struct APMRemoteConfigSetting;

// What the configuration asks of the layers above it, handed down by the engine's start. Missing links
// answer: origin "", measurement off, no app version, storage allowed, no service.
struct APMRemoteConfigLinks {
    // The library's origin; a configuration for origin "am" must name the same RaVad app.
    std::function<std::string()> origin{};
    std::function<bool()> isMeasurementEnabled{};
    std::function<std::optional<std::string>()> appVersion{};
    std::function<bool()> isAnalyticsStorageDenied{};
    // Scheme and host (with a port where one is needed) of the measurement service, from the
    // service property list; without one no endpoint is known.
    std::function<std::optional<std::string>()> measurementServiceURL{};
};

// The measurement configuration the service sends: kept in the measurement database, it answers the
// engine's questions about tuning settings, per-event switches, data controls, endpoints and its own
// age, and builds the event-editing interpreter from the program it carries. It registers with the
// experiment client as the SDK "app_measurement", whose flags can override four switches.
//
// Settings answer their default when the received text is missing, not a plain decimal number (read the
// same in every locale) or outside its bounds; values are never clamped. Time settings arrive in
// milliseconds and are answered in seconds.
//
// Updates and parses run on the engine's worker queue; every answer may be read from any queue.
class APMRemoteConfig : public APMStorageLimits,
                        public APMEExperimentObserverDelegate,
                        public APMESDKPropertyProviderDelegate,
                        public std::enable_shared_from_this<APMRemoteConfig> {
public:
    // A setting's name and its value text as received; nullopt for a setting without a value.
    using SettingText = std::pair<std::string, std::optional<std::string>>;

    using Links = APMRemoteConfigLinks;

    static constexpr const char* kSDKName = "app_measurement";

    // The shared instance without an app or links: every setting answers its default.
    static std::shared_ptr<APMRemoteConfig> defaultInstance();
    // nullptr (logged) without an app ID or a database.
    static std::shared_ptr<APMRemoteConfig> initWithAppID(
        const std::string& appID, const std::shared_ptr<APMDatabase>& database,
        const std::shared_ptr<APMEManager>& experimentManager, Links links = {});
    // Registers with the experiment manager and activates its latest snapshot, then takes the given
    // configuration, or else the stored one. Without a database and an app ID it is a default instance.
    static std::shared_ptr<APMRemoteConfig> initWithAppID(
        const std::string& appID, const std::shared_ptr<APMDatabase>& database,
        const std::shared_ptr<APMPBMeasurementConfig>& measurementConfig,
        const std::shared_ptr<APMEManager>& experimentManager, Links links = {});

    bool isDefaultInstance() const override { return isDefaultInstance_; }
    const std::string& appID() const { return appID_; }

    // Checks a downloaded configuration is this app's, stores it and makes it the active one.
    bool updateMeasurementConfig(const std::shared_ptr<APMPBMeasurementConfig>& config);
    // The stored configuration; nullptr when there is none or it cannot be read (logged).
    std::shared_ptr<APMPBMeasurementConfig> measurementConfigFromDatabase();
    void parseRemoteConfigFromMeasurementConfig(const APMPBMeasurementConfig& config);
    // Replaces every setting text at once; a later setting of the same name wins.
    void parseSettings(const std::vector<SettingText>& settings);
    // Back to no configuration: settings, event switches and data controls forgotten, the experiment
    // state reset. The interpreter stays.
    void reset();

    // Per event, under the internal name for the public names the library has its own events for.
    std::shared_ptr<APMPBEventConfig> eventConfigWithName(const std::string& name);
    // Its own switch when set to true, else the global switch of public or internal names.
    bool isEventBlocklisted(const std::string& name);
    bool isEventCustomConversion(const std::string& name);
    bool eventHasSamplingRate(const std::string& name);
    // From 2 to 65535 as configured, else 1.
    std::int32_t samplingRateForEvent(const std::string& name);

    // -1 without a configuration or without a version in it.
    std::int64_t version() const;
    bool isExpired();
    double lastRemoteConfigUpdateTimestamp();
    std::vector<std::string> dataControls() const;
    // "/a" on the service's host, behind the configuration's upload subdomain when it has a valid one;
    // nothing without a service.
    std::optional<std::string> uploadURL() const;
    // "/config/app/<app ID>?" and the query; nothing (logged) without an app instance ID or platform,
    // except that with analytics storage denied the app instance ID is sent empty.
    std::optional<std::string> remoteConfigURLWithAppInstanceID(
        const std::optional<std::string>& appInstanceID, const std::optional<std::string>& platform,
        std::int64_t SDKVersion, std::int64_t runtimeVersion) const;
    std::vector<std::int32_t> experimentIDs() const;
    std::shared_ptr<APMPEventEditing> eventEditing() const;

    // A snapshot is waiting; it takes effect at activateNewSnapshot.
    void clientDidReceiveNewSnapshot(const std::shared_ptr<APMEClient>& client) override;
    // Whether measurement is enabled.
    bool shouldFetchExperimentsForClient(const std::shared_ptr<APMEClient>& client) override;
    bool activateNewSnapshot();

    // The lookup: the cached number, else the text parsed, converted by `block`, checked against the
    // inclusive bounds (the minimum first) and cached; the default for a missing or refused value.
    std::optional<double> numberFromCacheWithKey(const std::string& key, double defaultValue,
                                                 std::optional<double> maxValue,
                                                 std::optional<double> minValue,
                                                 double (*block)(double) = nullptr);
    // Milliseconds received, seconds answered.
    double timeIntervalInSecondsFromCacheWithKey(const std::string& key, double defaultValue, double maxValue,
                                                 double minValue);
    std::int32_t intValueFromCacheWithKey(const std::string& key, std::int32_t defaultValue,
                                          std::int32_t maxValue, std::int32_t minValue);
    std::int64_t int64ValueFromCacheWithKey(const std::string& key, std::int64_t defaultValue,
                                            std::int64_t maxValue, std::int64_t minValue);
    // A plain decimal number, independent of the user's locale; nullopt for any other text.
    static std::optional<double> numberFromString(const std::string& text);

    double uploadingBackoffInterval();
    std::int32_t maxAudienceCount();
    std::int32_t maxFiltersPerAudience();
    std::int32_t maxFilterResultCount();
    std::int32_t maxParametersPerFilter();
    double databaseDeleteStaleBundlesInterval() override;
    double maxQueueTime() override;
    double adIDCacheTime();
    bool gateIDFAOnATTMASEnabled();
    double monitoringSamplePeriod();
    bool isNetworkBackgroundSessionEnabled();
    double networkTimeout();
    double sessionDefaultMinimumInterval();
    double sessionDefaultTimeoutInterval();
    double sessionEventUserEngagementInterval();
    bool efficientEngagementReportingEnabled();
    bool redundantEngagementRemovalEnabled();
    bool configurableLimitsEnabled();
    std::int32_t maxConversionsPerDay();
    std::int32_t maxEventsPerDay();
    std::int32_t maxPublicEventsPerDay();
    std::int32_t maxErrorEventsPerDay();
    std::int32_t maxTrackedCurrencies();
    std::int32_t maxPublicUserProperties();
    std::int32_t maxEventNameCardinality();
    std::int32_t maxPublicEventParams() override;
    std::int32_t maxEventsStored() override;
    double uploadingInterval();
    double uploadingInitialDelayInterval();
    std::int64_t uploadMaxBundlesLimit();
    std::int64_t uploadMaxEventsPerBundle();
    std::int64_t uploadMaxSizeLimitBytes();
    std::int32_t uploadingRetryCount();
    double uploadingRetryInterval();
    std::int32_t maxBundlesCreatedPerIteration();
    std::int32_t maxRealtimeEventCountPerDay();
    double uploadingDebugModeInterval();
    double uploadingRealTimeInterval();
    bool blocklistInternal();
    bool blocklistPublic();
    bool isEventSamplingEnabled();
    std::int32_t analyticsAccountTimeZoneOffsetMinutes();
    bool checksumEnabled();
    bool appBackgroundedEventEnabled();
    bool appInBackgroundParameterEnabled();
    bool lastAdvertisingIDResetFeatureEnabled();
    bool eesFeatureEnabled();
    bool isDeferredDeepLinkEnabled();
    std::int32_t maxDeferredDeepLinkRetryCount();
    double attributionCacheTTLInterval();
    double remoteConfigCacheTimeInterval();
    bool isConsentSettingsEnabled();
    bool isConsentSettings3PEnabled();
    bool persistentConfigInApplicationSupportEnabled() override;

private:
    using Setting = APMRemoteConfigSetting;

    APMRemoteConfig(std::string appID, std::shared_ptr<APMDatabase> database,
                    std::shared_ptr<APMEManager> experimentManager, Links links);
    void registerWithExperimentManager();
    static APMEManager::Flags defaultExperimentFlags();
    // The interpreter over the first program; nullptr (logged) when it fails to load.
    std::shared_ptr<APMPEventEditing> loadEventEditing(
        const std::vector<std::shared_ptr<APMPBProgram>>& programs);

    double seconds(const Setting& setting);
    std::int32_t int32(const Setting& setting);
    std::int64_t int64(const Setting& setting);
    // Answered true only for 1, or for anything but 0 when `nonZero`.
    bool isSwitchOn(const Setting& setting, bool nonZero = false);
    // The experiment flag's boolean value when the active snapshot has one, else the setting.
    bool experimentFlagOrSwitch(const char* flagName, const Setting& setting);

    const std::string appID_;
    const bool isDefaultInstance_;
    const Links links_;
    const std::weak_ptr<APMDatabase> database_;
    // Shared with the interpreter's "internal.remoteConfig" module, which reads it as it is now.
    const std::shared_ptr<APMRemoteConfigSettingsCache> settings_;
    const std::shared_ptr<APMEManager> experimentManager_;
    std::shared_ptr<APMEClient> experimentClient_;  // set once while the instance is made
    platform::Mutex snapshotMutex_;
    bool hasNewSnapshot_ GUARDED_BY(snapshotMutex_) = false;
    mutable platform::Mutex configMutex_;
    std::shared_ptr<APMPBMeasurementConfig> remoteConfigProto_ GUARDED_BY(configMutex_);
    std::map<std::string, std::shared_ptr<APMPBEventConfig>> eventConfigByName_ GUARDED_BY(configMutex_);
    std::vector<std::string> dataControls_ GUARDED_BY(configMutex_);
    std::shared_ptr<APMPEventEditing> eventEditing_ GUARDED_BY(configMutex_);
};

}  // namespace analytics
