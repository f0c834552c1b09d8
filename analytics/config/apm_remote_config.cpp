#include "analytics/config/apm_remote_config.h"

#include <cmath>
#include <regex>

#include "analytics/experiments/apme_client.h"
#include "analytics/foundation/apm_dictionary_additions.h"
#include "analytics/foundation/apm_event_names.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/interpreter/apmp_event_editing.h"
#include "analytics/interpreter/apmp_key_value_store.h"
#include "analytics/interpreter/apmp_message_logger.h"
#include "analytics/interpreter/apmp_object_provider.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/monitor/apm_identity.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_database.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_date.h"

namespace analytics {

namespace {

using Config = apmpb_fields::MeasurementConfig;
using EventConfig = apmpb_fields::EventConfig;
using Value = platform::Value;

std::shared_ptr<APMMonitor> monitor() {
    return APMMonitor::sharedInstance();
}

template <typename T, typename Answer>
T ask(const std::function<Answer()>& link, T fallback) {
    return link ? T(link()) : fallback;
}

// One or more DNS labels: anything else in the configuration could point uploads at another host.
bool isHostLabelSequence(const std::string& text) {
    static const std::regex labels("[A-Za-z0-9-]{1,63}(\\.[A-Za-z0-9-]{1,63})*");
    return std::regex_match(text, labels);
}

// "scheme://host" split at its "://"; nullopt for anything else.
std::optional<std::pair<std::string, std::string>> schemeAndHost(const std::optional<std::string>& url) {
    if (!url) return std::nullopt;
    const auto separator = url->find("://");
    if (separator == std::string::npos || separator == 0 || separator + 3 >= url->size()) return std::nullopt;
    return std::make_pair(url->substr(0, separator), url->substr(separator + 3));
}

Value::Dictionary appMetadata(const std::function<std::optional<std::string>()>& appVersion) {
    Value::Dictionary metadata{
        {"platform", Value("ios")},
        {"package_name", Value(platform::NSBundle::mainBundle()->bundleIdentifier())},
        {"vmp_version", Value(APMIdentity::rovUriduzuvareLibraryVersion())},
    };
    if (auto version = ask<std::optional<std::string>>(appVersion, std::nullopt))
        metadata.emplace("app_version", Value(*version));
    return metadata;
}

}  // namespace

std::shared_ptr<APMRemoteConfig> APMRemoteConfig::defaultInstance() {
    static auto* instance =
        new std::shared_ptr<APMRemoteConfig>(initWithAppID("", nullptr, nullptr, nullptr));
    return *instance;
}

std::shared_ptr<APMRemoteConfig> APMRemoteConfig::initWithAppID(
    const std::string& appID, const std::shared_ptr<APMDatabase>& database,
    const std::shared_ptr<APMEManager>& experimentManager, Links links) {
    if (appID.empty()) {
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 29000,
                                "Cannot init remote configuration without valid Vuziri App ID");
        return nullptr;
    }
    if (!database) {
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 29001,
                                "Cannot init remote configuration without valid database");
        return nullptr;
    }
    return initWithAppID(appID, database, nullptr, experimentManager, std::move(links));
}

std::shared_ptr<APMRemoteConfig> APMRemoteConfig::initWithAppID(
    const std::string& appID, const std::shared_ptr<APMDatabase>& database,
    const std::shared_ptr<APMPBMeasurementConfig>& measurementConfig,
    const std::shared_ptr<APMEManager>& experimentManager, Links links) {
    std::shared_ptr<APMRemoteConfig> config(
        new APMRemoteConfig(appID, database, experimentManager, std::move(links)));
    config->registerWithExperimentManager();
    if (config->isDefaultInstance_) return config;
    if (measurementConfig) {
        config->updateMeasurementConfig(measurementConfig);
    } else if (auto stored = config->measurementConfigFromDatabase()) {
        {
            platform::MutexLock lock(config->configMutex_);
            config->remoteConfigProto_ = stored;
        }
        config->parseRemoteConfigFromMeasurementConfig(*stored);
    }
    return config;
}

APMRemoteConfig::APMRemoteConfig(std::string appID, std::shared_ptr<APMDatabase> database,
                                 std::shared_ptr<APMEManager> experimentManager, Links links)
    : appID_(std::move(appID)),
      isDefaultInstance_(appID_.empty() && !database),
      links_(std::move(links)),
      database_(database),
      settings_(std::make_shared<APMRemoteConfigSettingsCache>()),
      experimentManager_(std::move(experimentManager)) {}

void APMRemoteConfig::registerWithExperimentManager() {
    if (!experimentManager_) return;
    auto property = APMESDKProperty::initWithName(std::string(kSDKName));
    property->setVersion(APMIdentity::rovUriduzuvareLibraryVersion());
    property->setDelegate(weak_from_this());
    experimentClient_ = experimentManager_->registerSDKProperty(property, defaultExperimentFlags());
    if (!experimentClient_) return;
    experimentClient_->setDelegate(weak_from_this());
    std::shared_ptr<platform::NSError> error;
    if (!experimentClient_->activateLatestSnapshot(&error) && error)
        monitor()->logWithLevel(APMLogLevel::SilentError, 29023, "Cannot activate stale snapshot. Error",
                                error);
}

std::shared_ptr<APMPBMeasurementConfig> APMRemoteConfig::measurementConfigFromDatabase() {
    APMScheduler::checkOnBackgroundThreadWithMethodName("measurementConfigFromDatabase");
    if (isDefaultInstance_) {
        monitor()->logWithLevel(
            APMLogLevel::SilentError, 29015,
            "Cannot retrieve a measurement configuration from the database for the default instance");
        return nullptr;
    }
    std::shared_ptr<platform::NSError> error;
    auto database = database_.lock();
    auto config = database ? database->queryMeasurementConfigWithError(&error) : nullptr;
    if (config) return config;
    if (error || !database) {
        monitor()->logWithLevel(APMLogLevel::SilentError, 29016,
                                "Cannot retrieve configuration data from database. Error", error);
    } else {
        monitor()->logWithLevel(APMLogLevel::Debug, 29017,
                                "Configuration was not found in database. The configuration will be fetched "
                                "from the network when necessary");
    }
    return nullptr;
}

bool APMRemoteConfig::updateMeasurementConfig(const std::shared_ptr<APMPBMeasurementConfig>& config) {
    APMScheduler::checkOnBackgroundThreadWithMethodName("updateMeasurementConfig:");
    if (isDefaultInstance_) {
        monitor()->logWithLevel(APMLogLevel::SilentError, 29002,
                                "Cannot update the default measurement configuration");
        return false;
    }
    if (!config) {
        monitor()->logWithLevel(APMLogLevel::SilentWarning, 29003,
                                "Cannot set empty measurement config to database");
        return false;
    }
    if (ask<std::string>(links_.origin, "") == "am" &&
        APMNanoGetString(config.get(), Config::kRavadAppId).value_or("") != appID_) {
        monitor()->logWithLevel(APMLogLevel::SilentError, 29022,
                                "Cannot set measurement config when RaVad App ID does not match");
        return false;
    }
    if (APMNanoGetString(config.get(), Config::kAppId).value_or("") != appID_) {
        monitor()->logWithLevel(APMLogLevel::SilentError, 29004,
                                "Cannot set measurement config when Vuziri App ID does not match");
        return false;
    }
    // A configuration that could not be stored is not made active, error or not: after a restart the
    // old one would come back.
    std::shared_ptr<platform::NSError> error;
    auto database = database_.lock();
    if (!database || !database->updateRemoteConfig(config.get(), &error)) {
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 29005, "Cannot store config into the database",
                                error);
        return false;
    }
    {
        platform::MutexLock lock(configMutex_);
        remoteConfigProto_ = config;
    }
    parseRemoteConfigFromMeasurementConfig(*config);
    return true;
}

void APMRemoteConfig::parseRemoteConfigFromMeasurementConfig(const APMPBMeasurementConfig& config) {
    const auto settings = APMNanoGetMessages<APMPBSetting>(&config, Config::kSettings);
    if (!settings) {
        monitor()->logWithLevel(APMLogLevel::SilentError, 29012,
                                "Cannot parse empty measurement config. Using default values");
        return;
    }
    if (APMNanoGetString(&config, Config::kAppId).value_or("") != appID_) return;

    std::vector<SettingText> texts;
    for (const auto& setting : *settings) {
        texts.emplace_back(APMNanoGetString(setting.get(), apmpb_fields::Setting::kName).value_or(""),
                           APMNanoGetString(setting.get(), apmpb_fields::Setting::kValue));
    }
    parseSettings(texts);

    std::map<std::string, std::shared_ptr<APMPBEventConfig>> eventConfigs;
    for (auto& eventConfig : APMNanoGetMessagesOrEmpty<APMPBEventConfig>(&config, Config::kEventConfig)) {
        const std::string name = APMNanoGetString(eventConfig.get(), EventConfig::kName).value_or("");
        if (name.empty()) {
            monitor()->logWithLevel(APMLogLevel::SilentWarning, 29013,
                                    "Cannot cache event configuration with an empty configuration name");
            continue;
        }
        const auto& internalNames = APMPublicToInternalEventNames();
        const auto internal = internalNames.find(name);
        eventConfigs.insert_or_assign(internal == internalNames.end() ? name : internal->second,
                                      std::move(eventConfig));
    }
    {
        platform::MutexLock lock(configMutex_);
        eventConfigByName_ = std::move(eventConfigs);
    }
    if (APMNanoHasField(&config, Config::kVersion)) {
        monitor()->logWithLevel(APMLogLevel::Debug, 29014, "Successfully parsed a configuration. Version",
                                APMNanoGetInt64(&config, Config::kVersion));
    }

    // A program that fails to load leaves no interpreter but still lets the data controls through: a
    // relaunch parses the stored configuration again and must answer as this one does.
    const auto programs = APMNanoGetMessagesOrEmpty<APMPBProgram>(&config, Config::kDynamicEventEditing);
    if (!programs.empty()) {
        auto eventEditing = loadEventEditing(programs);
        platform::MutexLock lock(configMutex_);
        eventEditing_ = eventEditing;
    }

    std::vector<std::string> dataControls;
    for (const auto& control : APMNanoGetMessagesOrEmpty<APMPBDataControl>(&config, Config::kDataControls)) {
        if (auto name = APMNanoGetString(control.get(), apmpb_fields::DataControl::kName))
            dataControls.push_back(*name);
    }
    platform::MutexLock lock(configMutex_);
    dataControls_ = std::move(dataControls);
}

std::shared_ptr<APMPEventEditing> APMRemoteConfig::loadEventEditing(
    const std::vector<std::shared_ptr<APMPBProgram>>& programs) {
    auto eventEditing = APMPEventEditing::init();
    eventEditing->setModuleCreator(
        [settings = settings_] {
            return std::make_shared<APMPKeyValueStore>(
                "internal.remoteConfig", [settings](const std::string& key) -> std::optional<Value> {
                    auto text = settings->textForKey(key);
                    return text ? std::optional<Value>(Value(*text)) : std::nullopt;
                });
        },
        "internal.remoteConfig");
    eventEditing->setModuleCreator(
        [appVersion = links_.appVersion] {
            return std::make_shared<APMPObjectProvider>("internal.appMetadata",
                                                        [appVersion] { return Value(appMetadata(appVersion)); });
        },
        "internal.appMetadata");
    eventEditing->setModuleCreator(
        [] { return std::make_shared<APMPMessageLogger>(std::make_shared<APMPixieLogger>()); },
        APMPMessageLogger::kModuleName);

    std::shared_ptr<platform::NSError> error;
    eventEditing->loadProgram(programs.front().get(), &error);
    if (error) {
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 29026,
                                "Failed to initiate event editing instance", error);
        return nullptr;
    }
    monitor()->logWithLevel(APMLogLevel::Debug, 29027, "Loading Event Modification and Creation programs",
                            static_cast<std::int64_t>(programs.size()));
    return eventEditing;
}

void APMRemoteConfig::parseSettings(const std::vector<SettingText>& settings) {
    std::map<std::string, std::string> texts;
    for (const auto& [name, value] : settings) {
        if (name.empty() || !value) {
            monitor()->logWithLevel(APMLogLevel::SilentWarning, 29019,
                                    "Cannot cache empty configuration value");
            continue;
        }
        texts.insert_or_assign(name, *value);
    }
    settings_->replaceTexts(std::move(texts));
}

void APMRemoteConfig::reset() {
    settings_->clear();
    {
        platform::MutexLock lock(configMutex_);
        eventConfigByName_.clear();
        dataControls_.clear();
        if (!isDefaultInstance_) remoteConfigProto_.reset();
    }
    if (experimentManager_) experimentManager_->reset();
}

std::shared_ptr<APMPBEventConfig> APMRemoteConfig::eventConfigWithName(const std::string& name) {
    if (name.empty()) {
        monitor()->logWithLevel(APMLogLevel::SilentWarning, 29006,
                                "Cannot find event config with empty event name");
        return nullptr;
    }
    platform::MutexLock lock(configMutex_);
    auto found = eventConfigByName_.find(name);
    return found == eventConfigByName_.end() ? nullptr : found->second;
}

bool APMRemoteConfig::isEventBlocklisted(const std::string& name) {
    const auto config = eventConfigWithName(name);
    if (config && APMNanoGetBool(config.get(), EventConfig::kIsBlocklisted)) return true;
    return APMIsPublicName(name) ? blocklistPublic() : blocklistInternal();
}

bool APMRemoteConfig::isEventCustomConversion(const std::string& name) {
    const auto config = eventConfigWithName(name);
    return config && APMNanoGetBool(config.get(), EventConfig::kIsCustomConversion);
}

bool APMRemoteConfig::eventHasSamplingRate(const std::string& name) {
    const auto config = eventConfigWithName(name);
    return config && APMNanoHasField(config.get(), EventConfig::kSamplingRate);
}

std::int32_t APMRemoteConfig::samplingRateForEvent(const std::string& name) {
    const auto config = eventConfigWithName(name);
    const std::int32_t rate = config ? APMNanoGetInt32(config.get(), EventConfig::kSamplingRate) : 1;
    return rate >= 2 && rate <= 65535 ? rate : 1;
}

std::int64_t APMRemoteConfig::version() const {
    platform::MutexLock lock(configMutex_);
    if (!remoteConfigProto_ || !APMNanoHasField(remoteConfigProto_.get(), Config::kVersion)) return -1;
    return APMNanoGetInt64(remoteConfigProto_.get(), Config::kVersion);
}

double APMRemoteConfig::lastRemoteConfigUpdateTimestamp() {
    if (isDefaultInstance_) {
        monitor()->logWithLevel(
            APMLogLevel::SilentError, 29008,
            "Cannot fetch the last configuration update timestamp from the default instance");
        return 0;
    }
    auto database = database_.lock();
    if (!database) return 0;
    std::shared_ptr<platform::NSError> error;
    const auto timestamp = database->lastRemoteConfigUpdateTimestamp(&error);
    if (!timestamp && error) {
        monitor()->logWithLevel(APMLogLevel::MonitoredWarning, 29009,
                                "Failed to query last configuration update timestamp. Error", error);
    }
    return timestamp.value_or(0);
}

bool APMRemoteConfig::isExpired() {
    if (isDefaultInstance_) {
        monitor()->logWithLevel(APMLogLevel::SilentError, 29007,
                                "Cannot fetch the last update timestamp from the default configuration");
        return false;
    }
    const double now = platform::NSDate::now().timeIntervalSince1970();
    return std::fabs(now - lastRemoteConfigUpdateTimestamp()) >= remoteConfigCacheTimeInterval();
}

std::vector<std::string> APMRemoteConfig::dataControls() const {
    platform::MutexLock lock(configMutex_);
    return dataControls_;
}

std::optional<std::string> APMRemoteConfig::uploadURL() const {
    const auto service =
        schemeAndHost(ask<std::optional<std::string>>(links_.measurementServiceURL, std::nullopt));
    if (!service) return std::nullopt;
    std::string host = service->second;
    std::optional<std::string> subdomain;
    {
        platform::MutexLock lock(configMutex_);
        if (remoteConfigProto_)
            subdomain = APMNanoGetString(remoteConfigProto_.get(), Config::kUploadSubdomain);
    }
    if (subdomain && !subdomain->empty()) {
        if (isHostLabelSequence(*subdomain)) {
            host = *subdomain + "." + host;
        } else {
            monitor()->logWithLevel(APMLogLevel::Warning, 29028,
                                    "Ignoring an upload subdomain that is no host name", *subdomain);
        }
    }
    return service->first + "://" + host + "/a";
}

std::optional<std::string> APMRemoteConfig::remoteConfigURLWithAppInstanceID(
    const std::optional<std::string>& appInstanceID, const std::optional<std::string>& platform,
    std::int64_t SDKVersion, std::int64_t runtimeVersion) const {
    const auto service =
        schemeAndHost(ask<std::optional<std::string>>(links_.measurementServiceURL, std::nullopt));
    if (!service) return std::nullopt;
    std::optional<std::string> instance = appInstanceID;
    if (ask<bool>(links_.isAnalyticsStorageDenied, false)) {
        instance = "";
    } else if (!instance || instance->empty() || !platform || platform->empty()) {
        monitor()->logWithLevel(
            APMLogLevel::SilentError, 29010,
            "Cannot create a URL to fetch a configuration with empty app instance ID or empty "
            "platform (app instance, platform)",
            instance.value_or(""), platform.value_or(""));
        return std::nullopt;
    }
    const Value::Dictionary query{
        {"app_instance_id", Value(*instance)},
        {"platform", Value(platform.value_or(""))},
        {"runtime_version", Value(runtimeVersion)},
        {"vmp_version", Value(SDKVersion)},
    };
    return service->first + "://" + service->second + "/config/app/" + appID_ + "?" + apm_queryString(query);
}

std::vector<std::int32_t> APMRemoteConfig::experimentIDs() const {
    return experimentManager_ ? experimentManager_->experimentIDs() : std::vector<std::int32_t>{};
}

std::shared_ptr<APMPEventEditing> APMRemoteConfig::eventEditing() const {
    platform::MutexLock lock(configMutex_);
    return eventEditing_;
}

void APMRemoteConfig::clientDidReceiveNewSnapshot(const std::shared_ptr<APMEClient>&) {
    platform::MutexLock lock(snapshotMutex_);
    hasNewSnapshot_ = true;
}

bool APMRemoteConfig::shouldFetchExperimentsForClient(const std::shared_ptr<APMEClient>&) {
    return ask<bool>(links_.isMeasurementEnabled, false);
}

bool APMRemoteConfig::activateNewSnapshot() {
    {
        platform::MutexLock lock(snapshotMutex_);
        if (!hasNewSnapshot_ || !experimentClient_) return false;
        // Cleared before activating: a snapshot that arrives meanwhile sets it again and is not lost.
        hasNewSnapshot_ = false;
    }
    std::shared_ptr<platform::NSError> error;
    if (!experimentClient_->activateLatestSnapshot(&error)) {
        monitor()->logWithLevel(APMLogLevel::SilentError, 29024, "Cannot activate snapshot. Error", error);
        platform::MutexLock lock(snapshotMutex_);
        hasNewSnapshot_ = true;  // a later call tries again
        return false;
    }
    return true;
}

}  // namespace analytics
