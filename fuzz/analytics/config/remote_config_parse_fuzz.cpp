// Feeds arbitrary settings to the remote configuration, as a downloaded configuration hands them over:
// one setting a line, "name=value", a name alone for a setting without a value. Every setting then
// answers a finite number, and the same answer in an instance that held other settings before: a
// parse replaces the settings as a whole.
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "analytics/config/apm_remote_config.h"
#include "analytics/storage/apm_database.h"
#include "fuzz/support/fuzz_folder.h"
#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"

using analytics::APMRemoteConfig;

namespace {

std::vector<APMRemoteConfig::SettingText> settingsFrom(std::string_view text) {
    std::vector<APMRemoteConfig::SettingText> settings;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const auto line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            settings.emplace_back(std::string(line), std::nullopt);
        } else {
            settings.emplace_back(std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
        }
    }
    return settings;
}

std::vector<double> answers(APMRemoteConfig& config) {
    return {
        static_cast<double>(config.uploadingBackoffInterval()),
        static_cast<double>(config.maxAudienceCount()),
        static_cast<double>(config.maxFiltersPerAudience()),
        static_cast<double>(config.maxFilterResultCount()),
        static_cast<double>(config.maxParametersPerFilter()),
        static_cast<double>(config.databaseDeleteStaleBundlesInterval()),
        static_cast<double>(config.maxQueueTime()),
        static_cast<double>(config.adIDCacheTime()),
        static_cast<double>(config.gateIDFAOnATTMASEnabled()),
        static_cast<double>(config.monitoringSamplePeriod()),
        static_cast<double>(config.isNetworkBackgroundSessionEnabled()),
        static_cast<double>(config.networkTimeout()),
        static_cast<double>(config.sessionDefaultMinimumInterval()),
        static_cast<double>(config.sessionDefaultTimeoutInterval()),
        static_cast<double>(config.sessionEventUserEngagementInterval()),
        static_cast<double>(config.efficientEngagementReportingEnabled()),
        static_cast<double>(config.redundantEngagementRemovalEnabled()),
        static_cast<double>(config.configurableLimitsEnabled()),
        static_cast<double>(config.maxConversionsPerDay()),
        static_cast<double>(config.maxEventsPerDay()),
        static_cast<double>(config.maxPublicEventsPerDay()),
        static_cast<double>(config.maxErrorEventsPerDay()),
        static_cast<double>(config.maxTrackedCurrencies()),
        static_cast<double>(config.maxPublicUserProperties()),
        static_cast<double>(config.maxEventNameCardinality()),
        static_cast<double>(config.maxPublicEventParams()),
        static_cast<double>(config.maxEventsStored()),
        static_cast<double>(config.uploadingInterval()),
        static_cast<double>(config.uploadingInitialDelayInterval()),
        static_cast<double>(config.uploadMaxBundlesLimit()),
        static_cast<double>(config.uploadMaxEventsPerBundle()),
        static_cast<double>(config.uploadMaxSizeLimitBytes()),
        static_cast<double>(config.uploadingRetryCount()),
        static_cast<double>(config.uploadingRetryInterval()),
        static_cast<double>(config.maxBundlesCreatedPerIteration()),
        static_cast<double>(config.maxRealtimeEventCountPerDay()),
        static_cast<double>(config.uploadingDebugModeInterval()),
        static_cast<double>(config.uploadingRealTimeInterval()),
        static_cast<double>(config.blocklistInternal()),
        static_cast<double>(config.blocklistPublic()),
        static_cast<double>(config.isEventSamplingEnabled()),
        static_cast<double>(config.analyticsAccountTimeZoneOffsetMinutes()),
        static_cast<double>(config.checksumEnabled()),
        static_cast<double>(config.appBackgroundedEventEnabled()),
        static_cast<double>(config.appInBackgroundParameterEnabled()),
        static_cast<double>(config.lastAdvertisingIDResetFeatureEnabled()),
        static_cast<double>(config.eesFeatureEnabled()),
        static_cast<double>(config.isDeferredDeepLinkEnabled()),
        static_cast<double>(config.maxDeferredDeepLinkRetryCount()),
        static_cast<double>(config.attributionCacheTTLInterval()),
        static_cast<double>(config.remoteConfigCacheTimeInterval()),
        static_cast<double>(config.isConsentSettingsEnabled()),
        static_cast<double>(config.isConsentSettings3PEnabled()),
        static_cast<double>(config.persistentConfigInApplicationSupportEnabled()),
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The database and the monitor's sample live in a folder of our own, not the user's.
    static const quorvel::fuzzing::FuzzFolder root("remote-config-fuzz");
    platform::DataRoot::setPath(root.path());
    platform::Console::Capture quiet;
    static const auto database =
        analytics::APMDatabase::initWithDatabaseName(analytics::APMDatabase::kDatabaseName, nullptr, nullptr);
    if (!database) std::abort();
    const auto settings = settingsFrom(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto fresh = APMRemoteConfig::initWithAppID("1:1234:ios:ab", database, nullptr);
    fresh->parseSettings(settings);
    const auto expected = answers(*fresh);
    for (double answer : expected) {
        if (!std::isfinite(answer)) std::abort();
    }
    // Another instance first answers from other settings, then takes these.
    const auto reused = APMRemoteConfig::initWithAppID("1:1234:ios:ab", database, nullptr);
    reused->parseSettings(
        {{"measurement.upload.max_events_per_day", "5"}, {"measurement.network.network_timeout", "31"}});
    answers(*reused);
    reused->parseSettings(settings);
    if (answers(*reused) != expected) std::abort();
    return 0;
}
