#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analytics/experiments/apme_experiment_observer_delegate.h"
#include "analytics/experiments/apme_sdk_property_provider_delegate.h"
#include "analytics/storage/apm_remote_config_settings_cache.h"
#include "platform/foundation/mutex.h"

namespace analytics {

class APMEClient;
class APMEManager;
struct APMRemoteConfigSetting;

// The measurement configuration's tuning settings. Each answers its default when the received text is
// missing, not a plain decimal number (read the same in every locale) or outside its bounds; values are
// never clamped. Time settings arrive in milliseconds and are answered in seconds. Four switches
// follow the experiment flags of the SDK "app_measurement" when a snapshot sets them.
class APMRemoteConfig : public APMEExperimentObserverDelegate,
                        public APMESDKPropertyProviderDelegate,
                        public std::enable_shared_from_this<APMRemoteConfig> {
public:
    // A setting's name and its value text as received; nullopt for a setting without a value.
    using SettingText = std::pair<std::string, std::optional<std::string>>;

    static constexpr const char* kSDKName = "app_measurement";

    // The shared instance without an app: every setting answers its default.
    static std::shared_ptr<APMRemoteConfig> defaultInstance();
    // nullptr (logged) without an app ID. With an experiment manager the instance registers
    // "app_measurement" and activates its latest snapshot.
    static std::shared_ptr<APMRemoteConfig> initWithAppID(
        const std::string& appID, const std::shared_ptr<APMEManager>& experimentManager);

    bool isDefaultInstance() const { return isDefaultInstance_; }
    const std::string& appID() const { return appID_; }

    // Replaces every setting text at once; a later setting of the same name wins.
    void parseSettings(const std::vector<SettingText>& settings);
    // Forgets the settings and the experiment state.
    void reset();

    // A snapshot is waiting; it takes effect at activateNewSnapshot.
    void clientDidReceiveNewSnapshot(const std::shared_ptr<APMEClient>& client) override;
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
    double databaseDeleteStaleBundlesInterval();
    double maxQueueTime();
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
    std::int32_t maxPublicEventParams();
    std::int32_t maxEventsStored();
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
    bool persistentConfigInApplicationSupportEnabled();

private:
    using Setting = APMRemoteConfigSetting;

    APMRemoteConfig(std::string appID, std::shared_ptr<APMEManager> experimentManager);
    void registerWithExperimentManager();

    double seconds(const Setting& setting);
    std::int32_t int32(const Setting& setting);
    std::int64_t int64(const Setting& setting);
    // Answered true only for 1, or for anything but 0 when `nonZero`.
    bool isSwitchOn(const Setting& setting, bool nonZero = false);
    // The experiment flag's boolean value when the active snapshot has one, else the setting.
    bool experimentFlagOrSwitch(const char* flagName, const Setting& setting);

    const std::string appID_;
    const bool isDefaultInstance_;
    APMRemoteConfigSettingsCache settings_;
    const std::shared_ptr<APMEManager> experimentManager_;
    std::shared_ptr<APMEClient> experimentClient_;  // set once while the instance is made
    platform::Mutex snapshotMutex_;
    bool hasNewSnapshot_ GUARDED_BY(snapshotMutex_) = false;
};

}  // namespace analytics
