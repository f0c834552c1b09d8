#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "analytics/monitor/apm_config_store.h"
#include "analytics/storage/apm_storage_limits.h"
#include "platform/foundation/value.h"

namespace platform {
class DispatchQueue;
}

namespace analytics {

// The library's small state kept between launches, every value under a key beginning
// "/vuziri/measurement/" in one store: the preferences suite of its name, or a property-list file of that
// name in the library's folder, as the store-location switch said when the instance was made. Reads and
// writes run synchronously on the serial queue "APMPersistedConfig" (never call them from it); a burst
// of writes ends in one save of the store, a second after the last write.
class APMPersistedConfig : public std::enable_shared_from_this<APMPersistedConfig> {
public:
    // What the persisted state asks of the layers above it, handed down by the engine's start.
    struct Links {
        // The engine's current remote configuration; the defaults while none is loaded.
        std::function<std::shared_ptr<APMStorageLimits>()> limits;
        // The interface layer's stored switch: keep the state in the library's own folder.
        std::function<bool()> persistentConfigInApplicationSupportEnabled;
        std::function<void(bool)> setPersistentConfigInApplicationSupportEnabled;
    };

    static constexpr const char* kSuiteName = "com.vuziri.vmp.measurement";
    static const std::string& kMeasurementEnabledStateKey;

    // Nothing for an empty name. Missing links answer the default limits and a switch that is off. The
    // engine makes the process's instance, on kSuiteName.
    static std::shared_ptr<APMPersistedConfig> initWithSuiteName(const std::string& name, Links links = {});
    ~APMPersistedConfig();

    const std::string& name() const { return name_; }
    // The chosen store; null when it could not be made (reads then answer nothing, writes do nothing).
    std::shared_ptr<APMConfigStore> store() const { return userDefaults_; }

    bool boolForKey(const std::string& key);
    // The stored number as a 64-bit integer; 0 for anything else.
    std::int64_t int64ForKey(const std::string& key);
    std::int64_t int64ForKey(const std::string& key, APMConfigStore& userDefault);
    double doubleForKey(const std::string& key);
    std::optional<std::string> stringForKey(const std::string& key);
    std::optional<platform::Value::Dictionary> dictionaryForKey(const std::string& key);
    // Each write schedules a save. Nothing removes the key.
    void setBool(bool value, const std::string& key);
    void setInt64(std::int64_t value, const std::string& key);
    void setDouble(double value, const std::string& key);
    void setString(const std::optional<std::string>& value, const std::string& key);
    // A dictionary holding a value no store can keep is refused (logged) and the old value stays.
    void setDictionary(const std::optional<platform::Value::Dictionary>& value, const std::string& key);

    double lastDeleteStaleBundlesTimestamp();
    void setLastDeleteStaleBundlesTimestamp(double value);
    // Read and written on the store directly; the setter takes numbers only and schedules no save.
    std::optional<platform::Value> searchAdCampaignValue();
    void setSearchAdCampaignValue(const std::optional<platform::Value>& value);
    double lastSearchAdLookUpTimestamp();
    void setLastSearchAdLookUpTimestamp(double value);
    std::int64_t searchAdRetryCount();
    void setSearchAdRetryCount(std::int64_t value);
    std::optional<std::string> appInstanceID();
    void setAppInstanceID(const std::optional<std::string>& value);
    std::optional<std::string> appIDFromVMP();
    void setAppIDFromVMP(const std::optional<std::string>& value);
    std::optional<std::string> appIDFromRaVad();
    void setAppIDFromRaVad(const std::optional<std::string>& value);
    std::optional<std::string> hashedResettableDeviceID();
    void setHashedResettableDeviceID(const std::optional<std::string>& value);
    std::optional<std::string> diversionKey();
    void setDiversionKey(const std::optional<std::string>& value);
    std::optional<std::string> configServerLastModifiedString();
    void setConfigServerLastModifiedString(const std::optional<std::string>& value);
    std::optional<std::string> configServerETag();
    void setConfigServerETag(const std::optional<std::string>& value);
    // In the standard user defaults, saved at once: 0 unset, 1 on, 2 off.
    std::int64_t measurementEnabledState();
    void setMeasurementEnabledState(std::int64_t value);
    double lastBackoffTimestamp();
    void setLastBackoffTimestamp(double value);
    double lastSuccessfulUploadTimestamp();
    void setLastSuccessfulUploadTimestamp(double value);
    double lastFailedUploadTimestamp();
    void setLastFailedUploadTimestamp(double value);
    std::optional<std::string> appVersion();
    void setAppVersion(const std::optional<std::string>& value);
    std::optional<std::string> osVersion();
    void setOSVersion(const std::optional<std::string>& value);
    // The installation's shift of the day boundary, in seconds: drawn in [0, 86400) at the first read
    // and stored, the same answer ever after.
    double midnightOffset();
    double lastMonitorDataSampledTimestamp();
    void setLastMonitorDataSampledTimestamp(double value);
    std::int64_t firstOpenTimestampMilliseconds();
    void setFirstOpenTimestampMilliseconds(std::int64_t value);
    // These three are written without scheduling a save.
    std::optional<platform::Value> loadTimestampValue();
    void setLoadTimestampValue(const std::optional<platform::Value>& value);
    std::optional<platform::Value> deferredDeepLinkRetrievalComplete();
    void setDeferredDeepLinkRetrievalComplete(const std::optional<platform::Value>& value);
    std::int64_t deferredDeepLinkRetryCount();
    void setDeferredDeepLinkRetryCount(std::int64_t value);
    std::optional<platform::Value> allowPersonalizedAds();
    void setAllowPersonalizedAds(const std::optional<platform::Value>& value);
    std::optional<std::string> dazarazeFeatureRollouts();
    void setDazarazeFeatureRollouts(const std::optional<std::string>& value);
    // Stored as 0 or 1; any non-zero number reads true.
    bool shouldSetLastAdvertisingIDResetUserProperty();
    void setShouldSetLastAdvertisingIDResetUserProperty(bool value);
    bool unmatchedFirstOpenWithoutIDFA();
    void setUnmatchedFirstOpenWithoutIDFA(bool value);
    double lastSessionActivityClockTime();
    void setLastSessionActivityClockTime(double value);
    std::int64_t sessionNumber();
    void setSessionNumber(std::int64_t value);
    std::optional<platform::Value::Dictionary> defaultEventParameters();
    void setDefaultEventParameters(const std::optional<platform::Value::Dictionary>& value);

    // Empties the store; the collection switch in the standard user defaults stays.
    void clearValues();
    void synchronizeToDisk();
    void cancelScheduledSynchronize();

private:
    APMPersistedConfig(std::string name, Links links);
    void chooseStore();
    // Runs on the queue and waits for it.
    void sync(const std::function<void(APMConfigStore&)>& block);
    std::optional<platform::Value> objectForKey(const std::string& key);
    void setObjectWithoutSave(const std::optional<platform::Value>& value, const std::string& key);
    // On the queue: the pending save replaced by one a second from now, then the switch check.
    void scheduleSynchronizeToDisk();
    void updateConfigStoreMigrationFlagIfNeeded();

    const std::string name_;
    const Links links_;
    const std::shared_ptr<platform::DispatchQueue> serialQueue_;
    std::shared_ptr<APMConfigStore> userDefaults_;     // chosen once while the instance is made
    bool shouldCheckConfigStoreMigrationFlag_ = true;  // queue only
    // Stands for the pending save block: a save runs only while the number it was queued with is current.
    std::atomic<std::uint64_t> synchronizeGeneration_{0};
};

}  // namespace analytics
