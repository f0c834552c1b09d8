#include "analytics/storage/apm_user_defaults.h"

#include <filesystem>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_config_store_support.h"
#include "analytics/storage/apm_exclude_path_from_backup.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_user_defaults.h"

namespace analytics {

using platform::Value;

bool APMUserDefaults::userPreferenceEnabled() {
    static const bool enabled = [] {
        const auto info = platform::NSBundle::mainBundle()->infoDictionary();
        const auto found = info.find("UseCFPreferencesLibrary");
        if (found == info.end()) return true;
        if (auto flag = found->second.boolValue()) return *flag;
        if (auto number = found->second.numberValue()) return *number != 0;
        return true;
    }();
    return enabled;
}

std::shared_ptr<APMUserDefaults> APMUserDefaults::standardUserDefaults() {
    static auto* standard = new std::shared_ptr<APMUserDefaults>([] {
        auto defaults = std::make_shared<APMUserDefaults>();
        // The application's own preferences file is never excluded from backup.
        defaults->setIsPreferenceFileExcluded(true);
        return defaults;
    }());
    return *standard;
}

APMMonitor::Stores APMUserDefaults::monitorStores() {
    return {standardUserDefaults(), std::make_shared<APMUserDefaults>(APMMonitor::kMonitorSuiteName)};
}

APMUserDefaults::APMUserDefaults(std::string suiteName)
    : suiteName_(std::move(suiteName)), useCFPreferencesLibrary_(userPreferenceEnabled()) {
    if (!useCFPreferencesLibrary_) makeUserDefaultsObject();
}

void APMUserDefaults::makeUserDefaultsObject() {
    platform::MutexLock lock(mutex_);
    if (userDefaults_) return;
    userDefaults_ = suiteName_.empty() ? platform::NSUserDefaults::standardUserDefaults()
                                       : platform::NSUserDefaults::suiteNamed(suiteName_);
}

bool APMUserDefaults::useCFPreferencesLibrary() const {
    return useCFPreferencesLibrary_;
}

void APMUserDefaults::setUseCFPreferencesLibrary(bool use) {
    if (use == useCFPreferencesLibrary_.exchange(use)) return;
    if (use) {
        platform::MutexLock lock(mutex_);
        userDefaults_ = nullptr;
    } else {
        makeUserDefaultsObject();
    }
}

bool APMUserDefaults::isPreferenceFileExcluded() const {
    platform::MutexLock lock(mutex_);
    return isPreferenceFileExcluded_;
}

void APMUserDefaults::setIsPreferenceFileExcluded(bool excluded) {
    platform::MutexLock lock(mutex_);
    isPreferenceFileExcluded_ = excluded;
}

std::shared_ptr<platform::NSUserDefaults> APMUserDefaults::preferencesDomain() const {
    {
        platform::MutexLock lock(mutex_);
        if (userDefaults_) return userDefaults_;
    }
    return suiteName_.empty() ? platform::NSUserDefaults::standardUserDefaults()
                              : platform::NSUserDefaults::suiteNamed(suiteName_);
}

std::optional<Value> APMUserDefaults::objectForKey(const std::string& key) {
    if (key.empty()) {
        APMLogConfigStoreWarning(41001, "Cannot get object for invalid user default key.");
        return std::nullopt;
    }
    return preferencesDomain()->objectForKey(key);
}

void APMUserDefaults::setObject(const std::optional<Value>& value, const std::string& key) {
    if (key.empty()) {
        APMLogConfigStoreWarning(41002, "Cannot set object for invalid user default key.");
        return;
    }
    if (!value) {
        preferencesDomain()->removeObjectForKey(key);
        return;
    }
    if (!APMIsConfigValue(*value)) {
        APMLogConfigStoreWarning(
            41003,
            "Cannot set invalid object to user defaults. Must be a string or number or an array. Value " +
                APMConfigValueDescription(*value));
        return;
    }
    preferencesDomain()->setObject(*value, key);
}

void APMUserDefaults::clearAllData() {
    const std::string domainName =
        suiteName_.empty() ? platform::NSBundle::mainBundle()->bundleIdentifier() : suiteName_;
    if (!useCFPreferencesLibrary_) {
        platform::NSUserDefaults::removePersistentDomainForName(domainName);
        return;
    }
    // Removed in the same domain the values are written to, so every listed key is really gone.
    auto domain = preferencesDomain();
    for (const auto& [key, value] : domain->dictionaryRepresentation()) domain->removeObjectForKey(key);
}

void APMUserDefaults::synchronize() {
    if (!preferencesDomain()->synchronize() && useCFPreferencesLibrary_) {
        APMLogConfigStoreError(41004, "Cannot synchronize user defaults to disk");
    }
    const std::string path = suiteName_.empty() ? "" : APMPreferencesPlistPath(suiteName_);
    platform::MutexLock lock(mutex_);
    std::error_code ignored;
    if (isPreferenceFileExcluded_ || path.empty() || !std::filesystem::exists(path, ignored)) return;
    std::shared_ptr<platform::NSError> error;
    if (APMExcludePathFromBackup(path, &error)) {
        isPreferenceFileExcluded_ = true;
    } else {
        APMLogConfigStoreWarning(41000, "Failed to exclude preferences file from backup. Error code " +
                                            (error ? error->description() : std::string("(null)")));
    }
}

}  // namespace analytics
