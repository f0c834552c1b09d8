#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_typed_config_store.h"
#include "platform/foundation/mutex.h"

namespace platform {
class NSUserDefaults;
}

namespace analytics {

// The library's store over one preferences domain: the application's own (empty suite name) or a named
// suite. Only property-list values are stored; bad keys and values are dropped with a console warning.
// A suite's preferences file is excluded from backup at the first save after which that succeeds.
class APMUserDefaults final : public APMTypedConfigStore {
public:
    explicit APMUserDefaults(std::string suiteName = "");

    // Whether the stores use the preferences functions (the default) or user-defaults objects: the
    // information property list's "UseCFPreferencesLibrary" when it is a number; read once.
    static bool userPreferenceEnabled();
    // The application's own domain, made once, already counted as excluded from backup.
    static std::shared_ptr<APMUserDefaults> standardUserDefaults();
    // The stores the monitor is handed when the library starts: the application's own domain and the
    // monitor's suite.
    static APMMonitor::Stores monitorStores();

    const std::string& suiteName() const { return suiteName_; }
    bool useCFPreferencesLibrary() const;
    void setUseCFPreferencesLibrary(bool use);
    bool isPreferenceFileExcluded() const;
    void setIsPreferenceFileExcluded(bool excluded);

    std::optional<platform::Value> objectForKey(const std::string& key) override;
    void setObject(const std::optional<platform::Value>& value, const std::string& key) override;
    void clearAllData() override;
    void synchronize() override;

private:
    // The domain the preferences functions address: the suite, or the current application.
    std::shared_ptr<platform::NSUserDefaults> preferencesDomain() const;
    void makeUserDefaultsObject();

    const std::string suiteName_;
    mutable platform::Mutex mutex_;
    // Only while user-defaults objects are in use.
    std::shared_ptr<platform::NSUserDefaults> userDefaults_ GUARDED_BY(mutex_);
    std::atomic<bool> useCFPreferencesLibrary_;
    bool isPreferenceFileExcluded_ GUARDED_BY(mutex_) = false;
};

}  // namespace analytics
