#include "analytics/storage/apm_persisted_config.h"

#include <stdlib.h>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_config_store_support.h"
#include "analytics/storage/apm_persistent_dictionary.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/dispatch/dispatch_queue.h"

namespace analytics {

using platform::Value;

const std::string& APMPersistedConfig::kMeasurementEnabledStateKey =
    *new std::string("/vuziri/measurement/measurement_enabled_state");

namespace {

constexpr double kSynchronizeDelay = 1;
constexpr std::uint32_t kMillisecondsPerDay = 86400000;

constexpr const char kLastDeleteStale[] = "/vuziri/measurement/last_delete_stale";
constexpr const char kSearchAdCampaign[] = "/vuziri/measurement/is_search_ad_campaign";
constexpr const char kSearchAdLastAttempt[] = "/vuziri/measurement/search_ad_last_attempt_timestamp";
constexpr const char kSearchAdRetries[] = "/vuziri/measurement/search_ad_number_of_retries";
constexpr const char kAppInstanceID[] = "/vuziri/measurement/app_instance_id";
constexpr const char kVMPAppID[] = "/vuziri/measurement/vmp_app_id";
constexpr const char kRaVadAppID[] = "/vuziri/measurement/ravad_app_id";
constexpr const char kHashedIDFA[] = "/vuziri/measurement/hashed_idfa";
constexpr const char kDiversionKey[] = "/vuziri/measurement/diversion_key";
constexpr const char kLastModifiedSince[] = "/vuziri/measurement/last_modified_since_key";
constexpr const char kConfigETag[] = "/vuziri/measurement/config_etag";
constexpr const char kLastBackoff[] = "/vuziri/measurement/last_backoff";
constexpr const char kLastSuccessfulUpload[] = "/vuziri/measurement/last_successful_upload";
constexpr const char kLastFailedUpload[] = "/vuziri/measurement/last_failed_upload";
constexpr const char kAppVersion[] = "/vuziri/measurement/app_version";
constexpr const char kOSVersion[] = "/vuziri/measurement/os_version";
constexpr const char kMidnightOffset[] = "/vuziri/measurement/midnight_offset";
constexpr const char kLastMonitorDataSampled[] = "/vuziri/measurement/last_monitor_data_sampled_timestamp";
constexpr const char kFirstOpenTimestamp[] = "/vuziri/measurement/first_open_timestamp_ms";
constexpr const char kLoadTimestamp[] = "/vuziri/measurement/load_timestamp";
constexpr const char kDeepLinkRetrievalComplete[] = "/vuziri/measurement/deep_link_retrieval_complete";
constexpr const char kDeepLinkRetryCount[] = "/vuziri/measurement/deep_link_retry_count";
constexpr const char kAllowPersonalizedAds[] = "/vuziri/measurement/allow_personalized_ads";
constexpr const char kFeatureRollouts[] = "/vuziri/measurement/dazaraze_feature_rollouts";
constexpr const char kSetLastAdvertisingIDReset[] = "/vuziri/measurement/set_last_advertising_id_reset";
constexpr const char kUnmatchedFirstOpen[] = "/vuziri/measurement/unmatched_first_open";
constexpr const char kLastEngagementEnd[] = "/vuziri/measurement/last_engagement_end";
constexpr const char kSessionNumber[] = "/vuziri/measurement/session_number";
constexpr const char kDefaultEventParameters[] = "/vuziri/measurement/default_event_parameters";

void log(std::int64_t level, std::int64_t code, const std::string& message) {
    APMMonitor::sharedInstance()->logWithLevel(level, code, message);
}

std::optional<Value> optionalString(const std::optional<std::string>& text) {
    return text ? std::optional<Value>(Value(*text)) : std::nullopt;
}

bool isNumber(const Value& value) {
    return value.boolValue() || value.numberValue();
}

// The links a caller left out: no configuration loaded, the switch off.
APMPersistedConfig::Links completed(APMPersistedConfig::Links links) {
    if (!links.limits) links.limits = &APMStorageLimits::defaults;
    if (!links.persistentConfigInApplicationSupportEnabled)
        links.persistentConfigInApplicationSupportEnabled = [] { return false; };
    if (!links.setPersistentConfigInApplicationSupportEnabled)
        links.setPersistentConfigInApplicationSupportEnabled = [](bool) {};
    return links;
}

}  // namespace

std::shared_ptr<APMPersistedConfig> APMPersistedConfig::initWithSuiteName(const std::string& name,
                                                                          Links links) {
    if (name.empty()) return nullptr;
    std::shared_ptr<APMPersistedConfig> config(new APMPersistedConfig(name, completed(std::move(links))));
    config->chooseStore();
    return config;
}

APMPersistedConfig::APMPersistedConfig(std::string name, Links links)
    : name_(std::move(name)),
      links_(std::move(links)),
      serialQueue_(platform::DispatchQueue::createSerial("APMPersistedConfig")) {}

APMPersistedConfig::~APMPersistedConfig() {
    cancelScheduledSynchronize();
}

void APMPersistedConfig::chooseStore() {
    // The files move where the switch says before the store opens them, so the values come along.
    if (links_.persistentConfigInApplicationSupportEnabled()) {
        APMMoveSuitePlistToMeasurementDirectory(name_);
        userDefaults_ = APMPersistentDictionary::initWithFileName(name_);
    } else {
        APMMoveSuitePlistBackToPreferences(name_);
        userDefaults_ = std::make_shared<APMUserDefaults>(name_);
    }
}

void APMPersistedConfig::sync(const std::function<void(APMConfigStore&)>& block) {
    if (!userDefaults_) return;
    serialQueue_->sync([&] { block(*userDefaults_); });
}

bool APMPersistedConfig::boolForKey(const std::string& key) {
    bool value = false;
    sync([&](APMConfigStore& store) { value = store.boolForKey(key); });
    return value;
}

std::int64_t APMPersistedConfig::int64ForKey(const std::string& key) {
    std::int64_t value = 0;
    sync([&](APMConfigStore& store) { value = store.integerForKey(key); });
    return value;
}

std::int64_t APMPersistedConfig::int64ForKey(const std::string& key, APMConfigStore& userDefault) {
    std::int64_t value = 0;
    serialQueue_->sync([&] { value = userDefault.integerForKey(key); });
    return value;
}

double APMPersistedConfig::doubleForKey(const std::string& key) {
    double value = 0;
    sync([&](APMConfigStore& store) { value = store.doubleForKey(key); });
    return value;
}

std::optional<std::string> APMPersistedConfig::stringForKey(const std::string& key) {
    std::optional<std::string> value;
    sync([&](APMConfigStore& store) { value = store.stringForKey(key); });
    return value;
}

std::optional<Value::Dictionary> APMPersistedConfig::dictionaryForKey(const std::string& key) {
    std::optional<Value::Dictionary> value;
    sync([&](APMConfigStore& store) { value = store.dictionaryForKey(key); });
    return value;
}

std::optional<Value> APMPersistedConfig::objectForKey(const std::string& key) {
    std::optional<Value> value;
    sync([&](APMConfigStore& store) { value = store.objectForKey(key); });
    return value;
}

void APMPersistedConfig::setBool(bool value, const std::string& key) {
    sync([&](APMConfigStore& store) {
        store.setBool(value, key);
        scheduleSynchronizeToDisk();
    });
}

void APMPersistedConfig::setInt64(std::int64_t value, const std::string& key) {
    sync([&](APMConfigStore& store) {
        store.setObject(Value(value), key);
        scheduleSynchronizeToDisk();
    });
}

void APMPersistedConfig::setDouble(double value, const std::string& key) {
    sync([&](APMConfigStore& store) {
        store.setDouble(value, key);
        scheduleSynchronizeToDisk();
    });
}

void APMPersistedConfig::setString(const std::optional<std::string>& value, const std::string& key) {
    sync([&](APMConfigStore& store) {
        store.setObject(optionalString(value), key);
        scheduleSynchronizeToDisk();
    });
}

void APMPersistedConfig::setDictionary(const std::optional<Value::Dictionary>& value,
                                       const std::string& key) {
    if (value && !APMIsConfigValue(Value(*value))) {
        log(APMLogLevel::MonitoredError, 27002, "Unsupported value passed in dictionary");
        return;
    }
    sync([&](APMConfigStore& store) {
        store.setObject(value ? std::optional<Value>(Value(*value)) : std::nullopt, key);
        scheduleSynchronizeToDisk();
    });
}

void APMPersistedConfig::setObjectWithoutSave(const std::optional<Value>& value, const std::string& key) {
    sync([&](APMConfigStore& store) { store.setObject(value, key); });
}

double APMPersistedConfig::lastDeleteStaleBundlesTimestamp() {
    return doubleForKey(kLastDeleteStale);
}
void APMPersistedConfig::setLastDeleteStaleBundlesTimestamp(double value) {
    setDouble(value, kLastDeleteStale);
}

std::optional<Value> APMPersistedConfig::searchAdCampaignValue() {
    return userDefaults_ ? userDefaults_->objectForKey(kSearchAdCampaign) : std::nullopt;
}

void APMPersistedConfig::setSearchAdCampaignValue(const std::optional<Value>& value) {
    if (userDefaults_ && value && isNumber(*value)) userDefaults_->setObject(value, kSearchAdCampaign);
}

double APMPersistedConfig::lastSearchAdLookUpTimestamp() {
    return doubleForKey(kSearchAdLastAttempt);
}
void APMPersistedConfig::setLastSearchAdLookUpTimestamp(double value) {
    setDouble(value, kSearchAdLastAttempt);
}
std::int64_t APMPersistedConfig::searchAdRetryCount() {
    return int64ForKey(kSearchAdRetries);
}
void APMPersistedConfig::setSearchAdRetryCount(std::int64_t value) {
    setInt64(value, kSearchAdRetries);
}
std::optional<std::string> APMPersistedConfig::appInstanceID() {
    return stringForKey(kAppInstanceID);
}
void APMPersistedConfig::setAppInstanceID(const std::optional<std::string>& value) {
    setString(value, kAppInstanceID);
}
std::optional<std::string> APMPersistedConfig::appIDFromVMP() {
    return stringForKey(kVMPAppID);
}
void APMPersistedConfig::setAppIDFromVMP(const std::optional<std::string>& value) {
    setString(value, kVMPAppID);
}
std::optional<std::string> APMPersistedConfig::appIDFromRaVad() {
    return stringForKey(kRaVadAppID);
}
void APMPersistedConfig::setAppIDFromRaVad(const std::optional<std::string>& value) {
    setString(value, kRaVadAppID);
}
std::optional<std::string> APMPersistedConfig::hashedResettableDeviceID() {
    return stringForKey(kHashedIDFA);
}
void APMPersistedConfig::setHashedResettableDeviceID(const std::optional<std::string>& value) {
    setString(value, kHashedIDFA);
}
std::optional<std::string> APMPersistedConfig::diversionKey() {
    return stringForKey(kDiversionKey);
}
void APMPersistedConfig::setDiversionKey(const std::optional<std::string>& value) {
    setString(value, kDiversionKey);
}

std::optional<std::string> APMPersistedConfig::configServerLastModifiedString() {
    const auto value = objectForKey(kLastModifiedSince);
    return value && value->stringValue() ? std::optional<std::string>(*value->stringValue()) : std::nullopt;
}

void APMPersistedConfig::setConfigServerLastModifiedString(const std::optional<std::string>& value) {
    setString(value, kLastModifiedSince);
}

std::optional<std::string> APMPersistedConfig::configServerETag() {
    return stringForKey(kConfigETag);
}
void APMPersistedConfig::setConfigServerETag(const std::optional<std::string>& value) {
    setString(value, kConfigETag);
}

std::int64_t APMPersistedConfig::measurementEnabledState() {
    return int64ForKey(kMeasurementEnabledStateKey, *APMUserDefaults::standardUserDefaults());
}

void APMPersistedConfig::setMeasurementEnabledState(std::int64_t value) {
    serialQueue_->sync([&] {
        auto standard = APMUserDefaults::standardUserDefaults();
        standard->setObject(Value(value), kMeasurementEnabledStateKey);
        standard->synchronize();
    });
}

double APMPersistedConfig::lastBackoffTimestamp() {
    return doubleForKey(kLastBackoff);
}
void APMPersistedConfig::setLastBackoffTimestamp(double value) {
    setDouble(value, kLastBackoff);
}
double APMPersistedConfig::lastSuccessfulUploadTimestamp() {
    return doubleForKey(kLastSuccessfulUpload);
}
void APMPersistedConfig::setLastSuccessfulUploadTimestamp(double value) {
    setDouble(value, kLastSuccessfulUpload);
}
double APMPersistedConfig::lastFailedUploadTimestamp() {
    return doubleForKey(kLastFailedUpload);
}
void APMPersistedConfig::setLastFailedUploadTimestamp(double value) {
    setDouble(value, kLastFailedUpload);
}
std::optional<std::string> APMPersistedConfig::appVersion() {
    return stringForKey(kAppVersion);
}
void APMPersistedConfig::setAppVersion(const std::optional<std::string>& value) {
    setString(value, kAppVersion);
}
std::optional<std::string> APMPersistedConfig::osVersion() {
    return stringForKey(kOSVersion);
}
void APMPersistedConfig::setOSVersion(const std::optional<std::string>& value) {
    setString(value, kOSVersion);
}

double APMPersistedConfig::midnightOffset() {
    // Read, drawn and stored in one block, so readers on two threads cannot each draw their own.
    double offset = 0;
    sync([&](APMConfigStore& store) {
        const auto stored = store.objectForKey(kMidnightOffset);
        if (stored && stored->numberValue()) {
            offset = *stored->numberValue();
            return;
        }
        offset = ::arc4random_uniform(kMillisecondsPerDay) / 1000.0;
        store.setDouble(offset, kMidnightOffset);
        scheduleSynchronizeToDisk();
    });
    return offset;
}

double APMPersistedConfig::lastMonitorDataSampledTimestamp() {
    return doubleForKey(kLastMonitorDataSampled);
}
void APMPersistedConfig::setLastMonitorDataSampledTimestamp(double value) {
    setDouble(value, kLastMonitorDataSampled);
}
std::int64_t APMPersistedConfig::firstOpenTimestampMilliseconds() {
    return int64ForKey(kFirstOpenTimestamp);
}
void APMPersistedConfig::setFirstOpenTimestampMilliseconds(std::int64_t value) {
    setInt64(value, kFirstOpenTimestamp);
}
std::optional<Value> APMPersistedConfig::loadTimestampValue() {
    return objectForKey(kLoadTimestamp);
}
void APMPersistedConfig::setLoadTimestampValue(const std::optional<Value>& value) {
    setObjectWithoutSave(value, kLoadTimestamp);
}
std::optional<Value> APMPersistedConfig::deferredDeepLinkRetrievalComplete() {
    return objectForKey(kDeepLinkRetrievalComplete);
}
void APMPersistedConfig::setDeferredDeepLinkRetrievalComplete(const std::optional<Value>& value) {
    setObjectWithoutSave(value, kDeepLinkRetrievalComplete);
}
std::int64_t APMPersistedConfig::deferredDeepLinkRetryCount() {
    return int64ForKey(kDeepLinkRetryCount);
}
void APMPersistedConfig::setDeferredDeepLinkRetryCount(std::int64_t value) {
    setInt64(value, kDeepLinkRetryCount);
}
std::optional<Value> APMPersistedConfig::allowPersonalizedAds() {
    return objectForKey(kAllowPersonalizedAds);
}
void APMPersistedConfig::setAllowPersonalizedAds(const std::optional<Value>& value) {
    setObjectWithoutSave(value, kAllowPersonalizedAds);
}
std::optional<std::string> APMPersistedConfig::dazarazeFeatureRollouts() {
    return stringForKey(kFeatureRollouts);
}
void APMPersistedConfig::setDazarazeFeatureRollouts(const std::optional<std::string>& value) {
    setString(value, kFeatureRollouts);
}
bool APMPersistedConfig::shouldSetLastAdvertisingIDResetUserProperty() {
    return int64ForKey(kSetLastAdvertisingIDReset) != 0;
}
void APMPersistedConfig::setShouldSetLastAdvertisingIDResetUserProperty(bool value) {
    setInt64(value ? 1 : 0, kSetLastAdvertisingIDReset);
}
bool APMPersistedConfig::unmatchedFirstOpenWithoutIDFA() {
    return int64ForKey(kUnmatchedFirstOpen) != 0;
}
void APMPersistedConfig::setUnmatchedFirstOpenWithoutIDFA(bool value) {
    setInt64(value ? 1 : 0, kUnmatchedFirstOpen);
}
double APMPersistedConfig::lastSessionActivityClockTime() {
    return doubleForKey(kLastEngagementEnd);
}
void APMPersistedConfig::setLastSessionActivityClockTime(double value) {
    setDouble(value, kLastEngagementEnd);
}
std::int64_t APMPersistedConfig::sessionNumber() {
    return int64ForKey(kSessionNumber);
}
void APMPersistedConfig::setSessionNumber(std::int64_t value) {
    setInt64(value, kSessionNumber);
}
std::optional<Value::Dictionary> APMPersistedConfig::defaultEventParameters() {
    return dictionaryForKey(kDefaultEventParameters);
}
void APMPersistedConfig::setDefaultEventParameters(const std::optional<Value::Dictionary>& value) {
    setDictionary(value, kDefaultEventParameters);
}

void APMPersistedConfig::clearValues() {
    sync([](APMConfigStore& store) { store.clearAllData(); });
}

void APMPersistedConfig::synchronizeToDisk() {
    if (userDefaults_) userDefaults_->synchronize();
}

void APMPersistedConfig::cancelScheduledSynchronize() {
    ++synchronizeGeneration_;
}

void APMPersistedConfig::scheduleSynchronizeToDisk() {
    // A burst of writes ends in one save, a second after the last of them.
    const std::uint64_t generation = ++synchronizeGeneration_;
    serialQueue_->asyncAfter(kSynchronizeDelay, [weakSelf = weak_from_this(), generation] {
        auto self = weakSelf.lock();
        if (self && self->synchronizeGeneration_ == generation) self->synchronizeToDisk();
    });
    updateConfigStoreMigrationFlagIfNeeded();
}

void APMPersistedConfig::updateConfigStoreMigrationFlagIfNeeded() {
    if (!shouldCheckConfigStoreMigrationFlag_) return;
    const auto config = links_.limits();
    if (!config || config->isDefaultInstance()) return;
    // The store location chosen at the next start follows the first real configuration seen.
    links_.setPersistentConfigInApplicationSupportEnabled(
        config->persistentConfigInApplicationSupportEnabled());
    shouldCheckConfigStoreMigrationFlag_ = false;
}

}  // namespace analytics
