#include "analytics/config/apm_remote_config.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analytics/experiments/apme_client.h"
#include "analytics/experiments/apme_manager.h"
#include "analytics/foundation/apm_numeric_util.h"
#include "analytics/foundation/apm_string_additions.h"
#include "analytics/messages/nano_number.h"
#include "analytics/monitor/apm_monitor.h"

namespace analytics {

// A setting's name and its bounds; time settings in seconds.
struct APMRemoteConfigSetting {
    const char* name;
    double defaultValue;
    double minimum;
    double maximum;
};

namespace {

using Setting = APMRemoteConfigSetting;

constexpr Setting kUploadBackoffPeriod{"measurement.upload.backoff_period", 43200, 3600, 604800};
constexpr Setting kAudienceMaxCount{"measurement.audience.max_count", 50, 0, 500};
constexpr Setting kFiltersPerAudience{"measurement.audience.filter_max_count_per_audience", 10, 0, 100};
constexpr Setting kFilterResultMaxCount{"measurement.audience.filter_result_max_count", 200, 0, 2000};
constexpr Setting kParametersPerFilter{"measurement.audience.parameter_max_count_filter", 25, 0, 250};
constexpr Setting kStaleDataDeletionInterval{"measurement.upload.stale_data_deletion_interval",
                                             APMStorageLimits::kDefaultStaleDataDeletionInterval, 3600, 604800};
constexpr Setting kMaxQueueTime{"measurement.upload.max_queue_time", APMStorageLimits::kDefaultMaxQueueTime,
                                604800, 7862400};
constexpr Setting kAdIDCacheTime{"measurement.ad_id_cache_time", 1, 0, 86400};
constexpr Setting kATTMASGate{"measurement.attmas_gate", 0, 0, 1};
constexpr Setting kMonitoringSamplePeriod{"measurement.monitoring.sample_period_millis", 86400, 0, 604800};
constexpr Setting kNetworkBackgroundSession{"measurement.network.background_session_enabled", 0, 0, 1};
constexpr Setting kNetworkTimeout{"measurement.network.network_timeout", 60, 30, 3600};
constexpr Setting kSessionMinimumInterval{"measurement.session.default_minimum_interval", 10, 0, 86400};
constexpr Setting kSessionTimeoutInterval{"measurement.session.default_timeout_interval", 1800, 0, 86400};
constexpr Setting kSessionEngagementInterval{"measurement.session.event_user_engagement_interval", 3600, 0,
                                             86400};
constexpr Setting kEfficientEngagementReporting{
    "measurement.collection.efficient_engagement_reporting_enabled", 0, 0, 1};
constexpr Setting kRedundantEngagementRemoval{"measurement.collection.redundant_engagement_removal_enabled",
                                              0, 0, 1};
constexpr Setting kConfigurableLimits{"measurement.upload.configurable_limits_enabled", 1, 0, 1};
constexpr Setting kMaxConversionsPerDay{"measurement.upload.max_conversions_per_day", 10000, 0, 1000000};
constexpr Setting kMaxEventsPerDay{"measurement.upload.max_events_per_day", 100000, 0, 1000000};
constexpr Setting kMaxPublicEventsPerDay{"measurement.upload.max_public_events_per_day", 50000, 0, 1000000};
constexpr Setting kMaxErrorEventsPerDay{"measurement.upload.max_error_events_per_day", 1000, 0, 1000000};
constexpr Setting kMaxTrackedCurrencies{"measurement.lifetimevalue.max_currency_tracked", 4, 1, 100};
constexpr Setting kMaxPublicUserProperties{"measurement.upload.max_public_user_properties", 25, 25, 100};
constexpr Setting kMaxEventNameCardinality{"measurement.upload.max_event_name_cardinality", 500, 500, 2000};
constexpr Setting kMaxPublicEventParams{"measurement.upload.max_public_event_params", 25, 25, 100};
constexpr Setting kMaxStoredEvents{"measurement.store.max_stored_events_per_app",
                                   APMStorageLimits::kDefaultMaxEventsStored, 0, 1000000};
constexpr Setting kUploadInterval{"measurement.upload.interval", 3600, 15, 86400};
constexpr Setting kInitialUploadDelay{"measurement.upload.initial_upload_delay_time", 15, 1, 86400};
constexpr Setting kMaxBundles{"measurement.upload.max_bundles", 100, 1, 10000};
constexpr Setting kMaxEventsPerBundle{"measurement.upload.max_events_per_bundle", 1000, 1, 1000000};
constexpr Setting kMaxBatchSize{"measurement.upload.max_batch_size", 65536, 0, 10485760};
constexpr Setting kRetryCount{"measurement.upload.retry_count", 6, 1, 24};
constexpr Setting kRetryTime{"measurement.upload.retry_time", 1800, 60, 86400};
constexpr Setting kBundlesPerIteration{"measurement.upload.max_bundles_created_per_iteration", 100, 1, 10000};
constexpr Setting kMaxRealtimeEventsPerDay{"measurement.upload.max_realtime_events_per_day", 10, 0, 10};
constexpr Setting kDebugUploadInterval{"measurement.upload.debug_upload_interval", 1, 1, 15};
constexpr Setting kRealtimeUploadInterval{"measurement.upload.realtime_upload_interval", 10, 10, 15};
constexpr Setting kBlocklistInternal{"measurement.upload.blacklist_internal", 0, 0, 1};
constexpr Setting kBlocklistPublic{"measurement.upload.blacklist_public", 0, 0, 1};
constexpr Setting kEventSampling{"measurement.event_sampling_enabled", 0, 0, 1};
constexpr Setting kTimeZoneOffsetMinutes{"measurement.account.time_zone_offset_minutes", 0, -900, 900};
constexpr Setting kChecksum{"measurement.quality.checksum", 0, 0, 1};
constexpr Setting kAppBackgroundedTracking{"measurement.lifecycle.app_backgrounded_tracking", 1, 0, 1};
constexpr Setting kAppInBackgroundParameter{"measurement.lifecycle.app_in_background_parameter", 1, 0, 1};
constexpr Setting kLastAdvertisingIDReset{"measurement.last_advertising_id_reset_feature_enabled", 1, 0, 1};
constexpr Setting kEESFeature{"measurement.ees_feature_enabled", 1, 0, 1};
constexpr Setting kDeferredDeepLink{"measurement.ddl.enabled", 1, 0, 1};
constexpr Setting kDeferredDeepLinkRetryCount{"measurement.ddl.retry_count", 5, 0, 10};
constexpr Setting kAttributionCacheTTL{"measurement.attribution.cache.ttl", 604800, 86400, 2592000};
constexpr Setting kConfigCacheTime{"measurement.config.cache_time", 3600, 60, 86400};
constexpr Setting kConsentSettings{"measurement.api.consent_settings", 1, 0, 1};
constexpr Setting kConsentSettings3P{"measurement.api.consent_settings_3p", 1, 0, 1};
constexpr Setting kPersistentConfigInApplicationSupport{
    "measurement.persistent_config_in_application_support_enabled", 0, 0, 1};

// The experiment flags that override switches, registered with the value 0.
constexpr const char* kEfficientEngagementFlag = "efficient_engagement_reporting_enabled";
constexpr const char* kRedundantEngagementFlag = "redundant_engagement_removal_enabled";
constexpr const char* kNetworkBackgroundSessionFlag = "network_background_session_enabled";
constexpr const char* kPersistentConfigFlag = "persistent_config_in_application_support_enabled";

std::shared_ptr<APMMonitor> monitor() {
    return APMMonitor::sharedInstance();
}

// Whole milliseconds; beyond the 64-bit range the count saturates.
double millisecondsToSeconds(double milliseconds) {
    return static_cast<double>(NanoNumber::withDouble(milliseconds).longLongValue()) / 1000.0;
}

std::optional<bool> flagBoolValue(const NanoObject& value) {
    if (const auto* number = std::get_if<NanoNumber>(&value)) return number->boolValue();
    if (const auto* text = std::get_if<std::string>(&value)) return apm_boolValue(*text);
    return std::nullopt;
}

}  // namespace

APMEManager::Flags APMRemoteConfig::defaultExperimentFlags() {
    return {
        {kEfficientEngagementFlag, NanoNumber::withInt(0)},
        {kRedundantEngagementFlag, NanoNumber::withInt(0)},
        {kNetworkBackgroundSessionFlag, NanoNumber::withInt(0)},
        {kPersistentConfigFlag, NanoNumber::withInt(0)},
    };
}

std::optional<double> APMRemoteConfig::numberFromString(const std::string& text) {
    if (!APMIsDecimalNumberString(text)) return std::nullopt;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (*begin == '+') ++begin;
    double number = 0;
    const auto [stop, error] = std::from_chars(begin, end, number);
    if (error != std::errc() || stop != end || !std::isfinite(number)) return std::nullopt;
    return number;
}

std::optional<double> APMRemoteConfig::numberFromCacheWithKey(const std::string& key, double defaultValue,
                                                              std::optional<double> maxValue,
                                                              std::optional<double> minValue,
                                                              double (*block)(double)) {
    if (key.empty()) {
        monitor()->logWithLevel(APMLogLevel::Debug, 29020, "Cannot get setting with empty key from cache");
        return std::nullopt;
    }
    const auto lookup = settings_->entryForKey(key);
    double answer = defaultValue;
    if (lookup.entry) {
        if (const double* number = std::get_if<double>(&*lookup.entry)) return *number;
        auto parsed = numberFromString(std::get<std::string>(*lookup.entry));
        if (parsed && block) parsed = block(*parsed);
        const bool refused =
            !parsed || (minValue && *parsed < *minValue) || (maxValue && *parsed > *maxValue);
        if (!refused) answer = *parsed;
    }
    settings_->storeNumber(key, answer, lookup.generation);
    return answer;
}

double APMRemoteConfig::timeIntervalInSecondsFromCacheWithKey(const std::string& key, double defaultValue,
                                                              double maxValue, double minValue) {
    return numberFromCacheWithKey(key, defaultValue, maxValue, minValue, millisecondsToSeconds).value_or(0);
}

std::int32_t APMRemoteConfig::intValueFromCacheWithKey(const std::string& key, std::int32_t defaultValue,
                                                       std::int32_t maxValue, std::int32_t minValue) {
    // The fraction is dropped. A number cached by a lookup without these bounds may not fit: it saturates.
    const double number = numberFromCacheWithKey(key, defaultValue, maxValue, minValue).value_or(0);
    return static_cast<std::int32_t>(std::clamp<double>(number, INT32_MIN, INT32_MAX));
}

std::int64_t APMRemoteConfig::int64ValueFromCacheWithKey(const std::string& key, std::int64_t defaultValue,
                                                         std::int64_t maxValue, std::int64_t minValue) {
    const double number = numberFromCacheWithKey(key, static_cast<double>(defaultValue),
                                                 static_cast<double>(maxValue), static_cast<double>(minValue))
                              .value_or(0);
    return NanoNumber::withDouble(number).longLongValue();
}

double APMRemoteConfig::seconds(const Setting& setting) {
    return timeIntervalInSecondsFromCacheWithKey(setting.name, setting.defaultValue, setting.maximum,
                                                 setting.minimum);
}

std::int32_t APMRemoteConfig::int32(const Setting& setting) {
    return intValueFromCacheWithKey(setting.name, static_cast<std::int32_t>(setting.defaultValue),
                                    static_cast<std::int32_t>(setting.maximum),
                                    static_cast<std::int32_t>(setting.minimum));
}

std::int64_t APMRemoteConfig::int64(const Setting& setting) {
    return int64ValueFromCacheWithKey(setting.name, static_cast<std::int64_t>(setting.defaultValue),
                                      static_cast<std::int64_t>(setting.maximum),
                                      static_cast<std::int64_t>(setting.minimum));
}

bool APMRemoteConfig::isSwitchOn(const Setting& setting, bool nonZero) {
    const std::int32_t value = int32(setting);
    return nonZero ? value != 0 : value == 1;
}

bool APMRemoteConfig::experimentFlagOrSwitch(const char* flagName, const Setting& setting) {
    if (experimentClient_) {
        if (auto flag = flagBoolValue(experimentClient_->objectForKeyedSubscript(std::string(flagName))))
            return *flag;
    }
    return isSwitchOn(setting);
}

double APMRemoteConfig::uploadingBackoffInterval() {
    return seconds(kUploadBackoffPeriod);
}
std::int32_t APMRemoteConfig::maxAudienceCount() {
    return int32(kAudienceMaxCount);
}
std::int32_t APMRemoteConfig::maxFiltersPerAudience() {
    return int32(kFiltersPerAudience);
}
std::int32_t APMRemoteConfig::maxFilterResultCount() {
    return int32(kFilterResultMaxCount);
}
std::int32_t APMRemoteConfig::maxParametersPerFilter() {
    return int32(kParametersPerFilter);
}
double APMRemoteConfig::databaseDeleteStaleBundlesInterval() {
    return seconds(kStaleDataDeletionInterval);
}
double APMRemoteConfig::maxQueueTime() {
    return seconds(kMaxQueueTime);
}
double APMRemoteConfig::adIDCacheTime() {
    return seconds(kAdIDCacheTime);
}
bool APMRemoteConfig::gateIDFAOnATTMASEnabled() {
    return isSwitchOn(kATTMASGate, true);
}
double APMRemoteConfig::monitoringSamplePeriod() {
    return seconds(kMonitoringSamplePeriod);
}
bool APMRemoteConfig::isNetworkBackgroundSessionEnabled() {
    return experimentFlagOrSwitch(kNetworkBackgroundSessionFlag, kNetworkBackgroundSession);
}
double APMRemoteConfig::networkTimeout() {
    return seconds(kNetworkTimeout);
}
double APMRemoteConfig::sessionDefaultMinimumInterval() {
    return seconds(kSessionMinimumInterval);
}
double APMRemoteConfig::sessionDefaultTimeoutInterval() {
    return seconds(kSessionTimeoutInterval);
}
double APMRemoteConfig::sessionEventUserEngagementInterval() {
    return seconds(kSessionEngagementInterval);
}
bool APMRemoteConfig::efficientEngagementReportingEnabled() {
    return experimentFlagOrSwitch(kEfficientEngagementFlag, kEfficientEngagementReporting);
}
bool APMRemoteConfig::redundantEngagementRemovalEnabled() {
    return experimentFlagOrSwitch(kRedundantEngagementFlag, kRedundantEngagementRemoval);
}
bool APMRemoteConfig::configurableLimitsEnabled() {
    return isSwitchOn(kConfigurableLimits);
}
std::int32_t APMRemoteConfig::maxConversionsPerDay() {
    return int32(kMaxConversionsPerDay);
}
std::int32_t APMRemoteConfig::maxEventsPerDay() {
    return int32(kMaxEventsPerDay);
}
std::int32_t APMRemoteConfig::maxPublicEventsPerDay() {
    return int32(kMaxPublicEventsPerDay);
}
std::int32_t APMRemoteConfig::maxErrorEventsPerDay() {
    return int32(kMaxErrorEventsPerDay);
}
std::int32_t APMRemoteConfig::maxTrackedCurrencies() {
    return int32(kMaxTrackedCurrencies);
}
std::int32_t APMRemoteConfig::maxPublicUserProperties() {
    return configurableLimitsEnabled() ? int32(kMaxPublicUserProperties) : 25;
}
std::int32_t APMRemoteConfig::maxEventNameCardinality() {
    return configurableLimitsEnabled() ? int32(kMaxEventNameCardinality) : 500;
}
std::int32_t APMRemoteConfig::maxPublicEventParams() {
    return configurableLimitsEnabled() ? int32(kMaxPublicEventParams) : 25;
}
std::int32_t APMRemoteConfig::maxEventsStored() {
    return int32(kMaxStoredEvents);
}
double APMRemoteConfig::uploadingInterval() {
    return seconds(kUploadInterval);
}
double APMRemoteConfig::uploadingInitialDelayInterval() {
    return seconds(kInitialUploadDelay);
}
std::int64_t APMRemoteConfig::uploadMaxBundlesLimit() {
    return int64(kMaxBundles);
}
std::int64_t APMRemoteConfig::uploadMaxEventsPerBundle() {
    return int64(kMaxEventsPerBundle);
}
std::int64_t APMRemoteConfig::uploadMaxSizeLimitBytes() {
    return int64(kMaxBatchSize);
}
std::int32_t APMRemoteConfig::uploadingRetryCount() {
    return int32(kRetryCount);
}
double APMRemoteConfig::uploadingRetryInterval() {
    return seconds(kRetryTime);
}
std::int32_t APMRemoteConfig::maxBundlesCreatedPerIteration() {
    // Looked up like a time setting, so the received value is divided by 1000 before the bounds.
    return static_cast<std::int32_t>(seconds(kBundlesPerIteration));
}
std::int32_t APMRemoteConfig::maxRealtimeEventCountPerDay() {
    return int32(kMaxRealtimeEventsPerDay);
}
double APMRemoteConfig::uploadingDebugModeInterval() {
    return seconds(kDebugUploadInterval);
}
double APMRemoteConfig::uploadingRealTimeInterval() {
    return seconds(kRealtimeUploadInterval);
}
bool APMRemoteConfig::blocklistInternal() {
    return isSwitchOn(kBlocklistInternal);
}
bool APMRemoteConfig::blocklistPublic() {
    return isSwitchOn(kBlocklistPublic);
}
bool APMRemoteConfig::isEventSamplingEnabled() {
    return isSwitchOn(kEventSampling);
}
std::int32_t APMRemoteConfig::analyticsAccountTimeZoneOffsetMinutes() {
    return int32(kTimeZoneOffsetMinutes);
}
bool APMRemoteConfig::checksumEnabled() {
    return isSwitchOn(kChecksum);
}
bool APMRemoteConfig::appBackgroundedEventEnabled() {
    return isSwitchOn(kAppBackgroundedTracking);
}
bool APMRemoteConfig::appInBackgroundParameterEnabled() {
    return isSwitchOn(kAppInBackgroundParameter);
}
bool APMRemoteConfig::lastAdvertisingIDResetFeatureEnabled() {
    return isSwitchOn(kLastAdvertisingIDReset);
}
bool APMRemoteConfig::eesFeatureEnabled() {
    return isSwitchOn(kEESFeature);
}
bool APMRemoteConfig::isDeferredDeepLinkEnabled() {
    return isSwitchOn(kDeferredDeepLink, true);
}
std::int32_t APMRemoteConfig::maxDeferredDeepLinkRetryCount() {
    return int32(kDeferredDeepLinkRetryCount);
}
double APMRemoteConfig::attributionCacheTTLInterval() {
    return seconds(kAttributionCacheTTL);
}
double APMRemoteConfig::remoteConfigCacheTimeInterval() {
    return seconds(kConfigCacheTime);
}
bool APMRemoteConfig::isConsentSettingsEnabled() {
    return isSwitchOn(kConsentSettings);
}
bool APMRemoteConfig::isConsentSettings3PEnabled() {
    return isSwitchOn(kConsentSettings3P);
}
bool APMRemoteConfig::persistentConfigInApplicationSupportEnabled() {
    return experimentFlagOrSwitch(kPersistentConfigFlag, kPersistentConfigInApplicationSupport);
}

}  // namespace analytics
