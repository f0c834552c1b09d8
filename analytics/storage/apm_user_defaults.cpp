#include "analytics/storage/apm_user_defaults.h"

#include <cstdio>
#include <filesystem>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_exclude_path_from_backup.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/vuziriutilities/vul_logger.h"

namespace analytics {

using platform::Value;

namespace {

constexpr const char kLoggerService[] = "<RovUriduzuvare>";

std::string messageCode(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "I-ACS%06d", code);
    return text;
}

// The logger reads its message as a format; escaping keeps a "%" in a key or value as written.
std::string asFormat(const std::string& text) {
    std::string format;
    for (char c : text) {
        format += c;
        if (c == '%') format += '%';
    }
    return format;
}

void logWarning(int code, const std::string& text) {
    platform::VULLogWarning(kLoggerService, false, messageCode(code), asFormat(text));
}

void logError(int code, const std::string& text) {
    platform::VULLogError(kLoggerService, false, messageCode(code), asFormat(text));
}

// Property lists hold no null, at the top or inside a collection.
bool isPropertyListValue(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Null:
            return false;
        case Value::Kind::Array:
            for (const auto& element : *value.arrayValue()) {
                if (!isPropertyListValue(element)) return false;
            }
            return true;
        case Value::Kind::Dictionary:
            for (const auto& [key, element] : *value.dictionaryValue()) {
                if (!isPropertyListValue(element)) return false;
            }
            return true;
        default:
            return true;
    }
}

std::string describe(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Null:
            return "<null>";
        case Value::Kind::String:
            return *value.stringValue();
        case Value::Kind::Bool:
            return *value.boolValue() ? "1" : "0";
        case Value::Kind::Int:
            return std::to_string(*value.intValue());
        case Value::Kind::UInt:
            return std::to_string(*value.uintValue());
        case Value::Kind::Double:
            return std::to_string(*value.doubleValue());
        case Value::Kind::Array: {
            std::string text = "(";
            for (const auto& element : *value.arrayValue())
                text += (text.size() > 1 ? ", " : "") + describe(element);
            return text + ")";
        }
        case Value::Kind::Dictionary: {
            std::string text = "{";
            for (const auto& [key, element] : *value.dictionaryValue()) {
                text += (text.size() > 1 ? "; " : "") + key + " = " + describe(element);
            }
            return text + "}";
        }
        default:
            return value.dataValue() ? "<data>" : "<date>";
    }
}

// A number's value, booleans included; nullopt for anything else.
std::optional<double> numberOf(const std::optional<Value>& value) {
    if (!value) return std::nullopt;
    if (auto flag = value->boolValue()) return *flag ? 1.0 : 0.0;
    return value->numberValue();
}

}  // namespace

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
        logWarning(41001, "Cannot get object for invalid user default key.");
        return std::nullopt;
    }
    return preferencesDomain()->objectForKey(key);
}

std::optional<Value::Array> APMUserDefaults::arrayForKey(const std::string& key) {
    auto value = objectForKey(key);
    if (!value || !value->arrayValue()) return std::nullopt;
    return *value->arrayValue();
}

std::optional<Value::Dictionary> APMUserDefaults::dictionaryForKey(const std::string& key) {
    auto value = objectForKey(key);
    if (!value || !value->dictionaryValue()) return std::nullopt;
    return *value->dictionaryValue();
}

std::optional<std::string> APMUserDefaults::stringForKey(const std::string& key) {
    auto value = objectForKey(key);
    if (!value || !value->stringValue()) return std::nullopt;
    return *value->stringValue();
}

std::int64_t APMUserDefaults::integerForKey(const std::string& key) {
    const auto value = objectForKey(key);
    if (value) {
        if (auto integer = value->intValue()) return *integer;
    }
    const auto number = numberOf(value);
    if (!number || *number != *number) return 0;
    // Saturate what a 64-bit integer cannot hold.
    if (*number >= 9223372036854775807.0) return INT64_MAX;
    if (*number <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<std::int64_t>(*number);
}

float APMUserDefaults::floatForKey(const std::string& key) {
    return static_cast<float>(doubleForKey(key));
}

double APMUserDefaults::doubleForKey(const std::string& key) {
    return numberOf(objectForKey(key)).value_or(0.0);
}

bool APMUserDefaults::boolForKey(const std::string& key) {
    const auto number = numberOf(objectForKey(key));
    return number && *number != 0;
}

void APMUserDefaults::setObject(const std::optional<Value>& value, const std::string& key) {
    if (key.empty()) {
        logWarning(41002, "Cannot set object for invalid user default key.");
        return;
    }
    if (!value) {
        preferencesDomain()->removeObjectForKey(key);
        return;
    }
    if (!isPropertyListValue(*value)) {
        logWarning(
            41003,
            "Cannot set invalid object to user defaults. Must be a string or number or an array. Value " +
                describe(*value));
        return;
    }
    preferencesDomain()->setObject(*value, key);
}

void APMUserDefaults::setFloat(float value, const std::string& key) {
    setObject(Value(static_cast<double>(value)), key);
}

void APMUserDefaults::setDouble(double value, const std::string& key) {
    setObject(Value(value), key);
}

void APMUserDefaults::setInteger(std::int64_t value, const std::string& key) {
    setObject(Value(value), key);
}

void APMUserDefaults::setBool(bool value, const std::string& key) {
    setObject(Value(value), key);
}

void APMUserDefaults::removeObjectForKey(const std::string& key) {
    setObject(std::nullopt, key);
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
        logError(41004, "Cannot synchronize user defaults to disk");
    }
    const std::string path = suiteName_.empty() ? "" : APMPreferencesPlistPath(suiteName_);
    platform::MutexLock lock(mutex_);
    std::error_code ignored;
    if (isPreferenceFileExcluded_ || path.empty() || !std::filesystem::exists(path, ignored)) return;
    std::shared_ptr<platform::NSError> error;
    if (APMExcludePathFromBackup(path, &error)) {
        isPreferenceFileExcluded_ = true;
    } else {
        logWarning(41000, "Failed to exclude preferences file from backup. Error code " +
                              (error ? error->description() : std::string("(null)")));
    }
}

}  // namespace analytics
