#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "analytics/config/apm_remote_config.h"
#include "analytics/experiments/apme_manager.h"
#include "platform/foundation/ns_locale.h"
#include "tests/analytics/experiments/snapshot_builder.h"
#include "tests/analytics/monitored_test.h"
#include "tests/support/kept_locale.h"

using namespace analytics;

namespace {

enum class Kind { Seconds, Int32, Int64, Switch, SwitchNotZero, SecondsAsInt32 };

using Answer = double (*)(APMRemoteConfig&);

struct SettingCase {
    const char* name;
    Answer answer;
    Kind kind;
    double defaultValue;
    double minimum;
    double maximum;
};

#define ANSWER(accessor) [](APMRemoteConfig& config) -> double { return config.accessor(); }

// Every setting with its accessor, kind and bounds (times in seconds).
const SettingCase kSettings[] = {
    {"measurement.upload.backoff_period", ANSWER(uploadingBackoffInterval), Kind::Seconds, 43200, 3600,
     604800},
    {"measurement.audience.max_count", ANSWER(maxAudienceCount), Kind::Int32, 50, 0, 500},
    {"measurement.audience.filter_max_count_per_audience", ANSWER(maxFiltersPerAudience), Kind::Int32, 10, 0,
     100},
    {"measurement.audience.filter_result_max_count", ANSWER(maxFilterResultCount), Kind::Int32, 200, 0, 2000},
    {"measurement.audience.parameter_max_count_filter", ANSWER(maxParametersPerFilter), Kind::Int32, 25, 0,
     250},
    {"measurement.upload.stale_data_deletion_interval", ANSWER(databaseDeleteStaleBundlesInterval),
     Kind::Seconds, 86400, 3600, 604800},
    {"measurement.upload.max_queue_time", ANSWER(maxQueueTime), Kind::Seconds, 2419200, 604800, 7862400},
    {"measurement.ad_id_cache_time", ANSWER(adIDCacheTime), Kind::Seconds, 1, 0, 86400},
    {"measurement.attmas_gate", ANSWER(gateIDFAOnATTMASEnabled), Kind::SwitchNotZero, 0, 0, 1},
    {"measurement.monitoring.sample_period_millis", ANSWER(monitoringSamplePeriod), Kind::Seconds, 86400, 0,
     604800},
    {"measurement.network.background_session_enabled", ANSWER(isNetworkBackgroundSessionEnabled),
     Kind::Switch, 0, 0, 1},
    {"measurement.network.network_timeout", ANSWER(networkTimeout), Kind::Seconds, 60, 30, 3600},
    {"measurement.session.default_minimum_interval", ANSWER(sessionDefaultMinimumInterval), Kind::Seconds, 10,
     0, 86400},
    {"measurement.session.default_timeout_interval", ANSWER(sessionDefaultTimeoutInterval), Kind::Seconds,
     1800, 0, 86400},
    {"measurement.session.event_user_engagement_interval", ANSWER(sessionEventUserEngagementInterval),
     Kind::Seconds, 3600, 0, 86400},
    {"measurement.collection.efficient_engagement_reporting_enabled",
     ANSWER(efficientEngagementReportingEnabled), Kind::Switch, 0, 0, 1},
    {"measurement.collection.redundant_engagement_removal_enabled", ANSWER(redundantEngagementRemovalEnabled),
     Kind::Switch, 0, 0, 1},
    {"measurement.upload.configurable_limits_enabled", ANSWER(configurableLimitsEnabled), Kind::Switch, 1, 0,
     1},
    {"measurement.upload.max_conversions_per_day", ANSWER(maxConversionsPerDay), Kind::Int32, 10000, 0,
     1000000},
    {"measurement.upload.max_events_per_day", ANSWER(maxEventsPerDay), Kind::Int32, 100000, 0, 1000000},
    {"measurement.upload.max_public_events_per_day", ANSWER(maxPublicEventsPerDay), Kind::Int32, 50000, 0,
     1000000},
    {"measurement.upload.max_error_events_per_day", ANSWER(maxErrorEventsPerDay), Kind::Int32, 1000, 0,
     1000000},
    {"measurement.lifetimevalue.max_currency_tracked", ANSWER(maxTrackedCurrencies), Kind::Int32, 4, 1, 100},
    {"measurement.upload.max_public_user_properties", ANSWER(maxPublicUserProperties), Kind::Int32, 25, 25,
     100},
    {"measurement.upload.max_event_name_cardinality", ANSWER(maxEventNameCardinality), Kind::Int32, 500, 500,
     2000},
    {"measurement.upload.max_public_event_params", ANSWER(maxPublicEventParams), Kind::Int32, 25, 25, 100},
    {"measurement.store.max_stored_events_per_app", ANSWER(maxEventsStored), Kind::Int32, 100000, 0, 1000000},
    {"measurement.upload.interval", ANSWER(uploadingInterval), Kind::Seconds, 3600, 15, 86400},
    {"measurement.upload.initial_upload_delay_time", ANSWER(uploadingInitialDelayInterval), Kind::Seconds, 15,
     1, 86400},
    {"measurement.upload.max_bundles", ANSWER(uploadMaxBundlesLimit), Kind::Int64, 100, 1, 10000},
    {"measurement.upload.max_events_per_bundle", ANSWER(uploadMaxEventsPerBundle), Kind::Int64, 1000, 1,
     1000000},
    {"measurement.upload.max_batch_size", ANSWER(uploadMaxSizeLimitBytes), Kind::Int64, 65536, 0, 10485760},
    {"measurement.upload.retry_count", ANSWER(uploadingRetryCount), Kind::Int32, 6, 1, 24},
    {"measurement.upload.retry_time", ANSWER(uploadingRetryInterval), Kind::Seconds, 1800, 60, 86400},
    {"measurement.upload.max_bundles_created_per_iteration", ANSWER(maxBundlesCreatedPerIteration),
     Kind::SecondsAsInt32, 100, 1, 10000},
    {"measurement.upload.max_realtime_events_per_day", ANSWER(maxRealtimeEventCountPerDay), Kind::Int32, 10,
     0, 10},
    {"measurement.upload.debug_upload_interval", ANSWER(uploadingDebugModeInterval), Kind::Seconds, 1, 1, 15},
    {"measurement.upload.realtime_upload_interval", ANSWER(uploadingRealTimeInterval), Kind::Seconds, 10, 10,
     15},
    {"measurement.upload.blacklist_internal", ANSWER(blocklistInternal), Kind::Switch, 0, 0, 1},
    {"measurement.upload.blacklist_public", ANSWER(blocklistPublic), Kind::Switch, 0, 0, 1},
    {"measurement.event_sampling_enabled", ANSWER(isEventSamplingEnabled), Kind::Switch, 0, 0, 1},
    {"measurement.account.time_zone_offset_minutes", ANSWER(analyticsAccountTimeZoneOffsetMinutes),
     Kind::Int32, 0, -900, 900},
    {"measurement.quality.checksum", ANSWER(checksumEnabled), Kind::Switch, 0, 0, 1},
    {"measurement.lifecycle.app_backgrounded_tracking", ANSWER(appBackgroundedEventEnabled), Kind::Switch, 1,
     0, 1},
    {"measurement.lifecycle.app_in_background_parameter", ANSWER(appInBackgroundParameterEnabled),
     Kind::Switch, 1, 0, 1},
    {"measurement.last_advertising_id_reset_feature_enabled", ANSWER(lastAdvertisingIDResetFeatureEnabled),
     Kind::Switch, 1, 0, 1},
    {"measurement.ees_feature_enabled", ANSWER(eesFeatureEnabled), Kind::Switch, 1, 0, 1},
    {"measurement.ddl.enabled", ANSWER(isDeferredDeepLinkEnabled), Kind::SwitchNotZero, 1, 0, 1},
    {"measurement.ddl.retry_count", ANSWER(maxDeferredDeepLinkRetryCount), Kind::Int32, 5, 0, 10},
    {"measurement.attribution.cache.ttl", ANSWER(attributionCacheTTLInterval), Kind::Seconds, 604800, 86400,
     2592000},
    {"measurement.config.cache_time", ANSWER(remoteConfigCacheTimeInterval), Kind::Seconds, 3600, 60, 86400},
    {"measurement.api.consent_settings", ANSWER(isConsentSettingsEnabled), Kind::Switch, 1, 0, 1},
    {"measurement.api.consent_settings_3p", ANSWER(isConsentSettings3PEnabled), Kind::Switch, 1, 0, 1},
    {"measurement.persistent_config_in_application_support_enabled",
     ANSWER(persistentConfigInApplicationSupportEnabled), Kind::Switch, 0, 0, 1},
};

bool isTime(Kind kind) {
    return kind == Kind::Seconds || kind == Kind::SecondsAsInt32;
}

// What the accessor answers for an accepted value.
double answered(Kind kind, double value) {
    switch (kind) {
        case Kind::Switch:
            return value == 1;
        case Kind::SwitchNotZero:
            return value != 0;
        case Kind::SecondsAsInt32:
            return std::trunc(value);
        default:
            return value;
    }
}

// The text that stands for a value: milliseconds for time settings.
std::string received(Kind kind, double value) {
    return std::to_string(static_cast<long long>(std::llround(isTime(kind) ? value * 1000 : value)));
}

class RemoteConfigSettings : public quorvel::testing::MonitoredTest {
protected:
    quorvel::testing::KeptLocale locale_;

    double answerFor(const char* name, Answer answer, const std::string& text) {
        config->parseSettings({{name, text}});
        return answer(*config);
    }

    double answerFor(const char* name, const std::string& text) {
        for (const auto& setting : kSettings) {
            if (std::string(setting.name) == name) return answerFor(name, setting.answer, text);
        }
        ADD_FAILURE() << "no setting " << name;
        return 0;
    }

    std::shared_ptr<APMRemoteConfig> config =
        APMRemoteConfig::initWithAppID("1:1234:ios:ab", nullptr, nullptr, nullptr);
};

}  // namespace

TEST_F(RemoteConfigSettings, EverySettingAtItsBoundsAndJustOutside) {
    for (const auto& s : kSettings) {
        SCOPED_TRACE(s.name);
        const double fallback = answered(s.kind, s.defaultValue);
        // Time settings step one millisecond outside, the others one unit.
        const double step = isTime(s.kind) ? 0.001 : 1;
        config->parseSettings({});
        EXPECT_EQ(s.answer(*config), fallback);
        EXPECT_EQ(answerFor(s.name, s.answer, received(s.kind, s.minimum)), answered(s.kind, s.minimum));
        EXPECT_EQ(answerFor(s.name, s.answer, received(s.kind, s.maximum)), answered(s.kind, s.maximum));
        EXPECT_EQ(answerFor(s.name, s.answer, received(s.kind, s.minimum - step)), fallback);
        EXPECT_EQ(answerFor(s.name, s.answer, received(s.kind, s.maximum + step)), fallback);
        EXPECT_EQ(answerFor(s.name, s.answer, "not a number"), fallback);
    }
}

TEST_F(RemoteConfigSettings, ANumberCachedWithoutBoundsSaturatesInA32BitAnswer) {
    // The first lookup of a name caches its answer; a later typed lookup of the name answers that number.
    EXPECT_EQ(config->numberFromCacheWithKey("custom.large", 1e12, std::nullopt, std::nullopt), 1e12);
    EXPECT_EQ(config->intValueFromCacheWithKey("custom.large", 5, 10, 0), INT32_MAX);
    EXPECT_EQ(config->numberFromCacheWithKey("custom.small", -1e12, std::nullopt, std::nullopt), -1e12);
    EXPECT_EQ(config->intValueFromCacheWithKey("custom.small", 5, 10, 0), INT32_MIN);
}

TEST_F(RemoteConfigSettings, ReceivedTextsAreReadAsPlainDecimalsOnly) {
    platform::NSLocale::setCurrentLocale(platform::NSLocale("de_DE"));
    const struct {
        const char* name;
        const char* text;
        double answer;
    } cases[] = {
        {"measurement.upload.interval", "60000", 60},
        {"measurement.upload.interval", "+60000", 60},
        {"measurement.upload.interval", "60000.9", 60},  // fractions of a millisecond are dropped
        {"measurement.upload.interval", "5000", 3600},   // 5 s is below 15 s: the default, not 15
        {"measurement.upload.interval", " 60000", 3600},
        {"measurement.upload.interval", "60000 ", 3600},
        {"measurement.upload.interval", "6e4", 3600},
        {"measurement.upload.interval", "60,000", 3600},
        {"measurement.upload.interval", "-1", 3600},
        {"measurement.upload.interval", "", 3600},
        {"measurement.upload.interval", "inf", 3600},
        {"measurement.upload.interval", "99999999999999999999999999", 3600},
        {"measurement.upload.max_batch_size", "9223372036854775808", 65536},
        {"measurement.upload.retry_count", "30", 6},
        {"measurement.upload.retry_count", "1.5", 1},  // truncated after the bounds
        {"measurement.upload.retry_count", "24.5", 6},
        {"measurement.upload.retry_count", "1,5", 6},
        {"measurement.account.time_zone_offset_minutes", "-900", -900},
        {"measurement.account.time_zone_offset_minutes", "-901", 0},
        {"measurement.ddl.enabled", "0", false},
        {"measurement.ddl.enabled", "2", true},
        {"measurement.upload.max_bundles_created_per_iteration", "100", 100},  // 0.1 is below 1
        {"measurement.upload.max_bundles_created_per_iteration", "5000", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(answerFor(c.name, c.text), c.answer) << c.name << " \"" << c.text << '"';
}

TEST_F(RemoteConfigSettings, DisabledConfigurableLimitsAnswerTheFixedLimits) {
    config->parseSettings({{"measurement.upload.configurable_limits_enabled", "0"},
                           {"measurement.upload.max_public_event_params", "50"},
                           {"measurement.upload.max_public_user_properties", "50"},
                           {"measurement.upload.max_event_name_cardinality", "1000"}});
    EXPECT_EQ(config->maxPublicEventParams(), 25);
    EXPECT_EQ(config->maxPublicUserProperties(), 25);
    EXPECT_EQ(config->maxEventNameCardinality(), 500);
    config->parseSettings({{"measurement.upload.max_public_event_params", "50"}});
    EXPECT_EQ(config->maxPublicEventParams(), 50);
}

TEST_F(RemoteConfigSettings, AnAnswerStaysUntilTheNextParseOrReset) {
    config->parseSettings({{"measurement.upload.retry_count", "3"},
                           {"", "7"},
                           {"measurement.upload.retry_count", "4"},  // the later one wins
                           {"measurement.network.network_timeout", std::nullopt}});
    EXPECT_EQ(config->uploadingRetryCount(), 4);
    EXPECT_EQ(config->networkTimeout(), 60);
    config->parseSettings({{"measurement.upload.retry_count", "5"}});
    EXPECT_EQ(config->uploadingRetryCount(), 5);
    config->reset();
    EXPECT_EQ(config->uploadingRetryCount(), 6);
    EXPECT_EQ(config->numberFromCacheWithKey("", 1, std::nullopt, std::nullopt), std::nullopt);
}

TEST_F(RemoteConfigSettings, TheDefaultInstanceIsSharedAndAnswersDefaults) {
    auto shared = APMRemoteConfig::defaultInstance();
    EXPECT_EQ(shared, APMRemoteConfig::defaultInstance());
    EXPECT_TRUE(shared->isDefaultInstance());
    EXPECT_EQ(shared->uploadingInterval(), 3600);
    EXPECT_EQ(APMRemoteConfig::initWithAppID("", nullptr, nullptr), nullptr);
}

TEST_F(RemoteConfigSettings, ExperimentFlagsOverrideTheirSwitches) {
    auto manager = std::make_shared<APMEManager>();
    manager->receiveSnapshot(analytics_test::makeSnapshot(
                                 APMRemoteConfig::kSDKName, 1,
                                 {{"network_background_session_enabled", NanoNumber::withInt(1)},
                                  {"persistent_config_in_application_support_enabled", std::string("yes")},
                                  {"efficient_engagement_reporting_enabled", NanoNumber::withBool(false)}})
                                 .get());
    // The latest snapshot is activated when the configuration is made.
    auto withFlags = APMRemoteConfig::initWithAppID("1:1234:ios:ab", nullptr, nullptr, manager);
    withFlags->parseSettings({{"measurement.network.background_session_enabled", "0"},
                              {"measurement.collection.efficient_engagement_reporting_enabled", "1"},
                              {"measurement.collection.redundant_engagement_removal_enabled", "1"}});
    EXPECT_TRUE(withFlags->isNetworkBackgroundSessionEnabled());
    EXPECT_TRUE(withFlags->persistentConfigInApplicationSupportEnabled());
    EXPECT_FALSE(withFlags->efficientEngagementReportingEnabled());
    EXPECT_TRUE(withFlags->redundantEngagementRemovalEnabled());  // no flag: the setting decides

    // A later snapshot waits for its activation.
    EXPECT_FALSE(withFlags->activateNewSnapshot());
    manager->receiveSnapshot(analytics_test::makeSnapshot(APMRemoteConfig::kSDKName, 2, {}).get());
    EXPECT_TRUE(withFlags->isNetworkBackgroundSessionEnabled());
    EXPECT_TRUE(withFlags->activateNewSnapshot());
    EXPECT_FALSE(withFlags->isNetworkBackgroundSessionEnabled());
    EXPECT_EQ(manager->experimentIDs(), std::vector<std::int32_t>{2});
}

TEST_F(RemoteConfigSettings, AParseIsNeverHiddenByAConcurrentFirstLookup) {
    for (int round = 0; round < 200; ++round) {
        auto fresh = APMRemoteConfig::initWithAppID("1:1234:ios:ab", nullptr, nullptr, nullptr);
        std::atomic<bool> go{false};
        std::vector<std::thread> readers;
        for (int i = 0; i < 3; ++i) {
            readers.emplace_back([&] {
                while (!go) {
                }
                for (int k = 0; k < 20; ++k) fresh->uploadingInterval();
            });
        }
        go = true;
        fresh->parseSettings({{"measurement.upload.interval", "60000"}});
        for (auto& reader : readers) reader.join();
        ASSERT_EQ(fresh->uploadingInterval(), 60) << "round " << round;
    }
}
