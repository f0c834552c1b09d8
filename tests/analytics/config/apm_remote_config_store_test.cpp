#include <gtest/gtest.h>

#include "analytics/config/apm_remote_config.h"
#include "analytics/experiments/apme_manager.h"
#include "analytics/interpreter/apmp_event_editing.h"
#include "analytics/interpreter/apmp_key_value_store.h"
#include "analytics/interpreter/apmp_object_provider.h"
#include "tests/analytics/config/measurement_config_builder.h"
#include "tests/analytics/experiments/snapshot_builder.h"
#include "tests/analytics/interpreter/program_builder.h"
#include "tests/analytics/storage/database_test_support.h"

using namespace analytics;
using analytics_test::require;
using analytics_test::statement;

namespace quorvel::testing {
namespace {

constexpr const char* kAppID = "1:1234:ios:test";

class RemoteConfigStore : public MeasurementDatabaseTest {
protected:
    void SetUp() override {
        database = openDatabase(&error);
        ASSERT_TRUE(database);
        config = APMRemoteConfig::initWithAppID(kAppID, database, manager, links());
        ASSERT_TRUE(config);
    }

    // Links that answer what each test sets below, whenever asked.
    APMRemoteConfig::Links links() {
        return {
            .origin = [this] { return origin; },
            .isMeasurementEnabled = [this] { return measurementEnabled; },
            .appVersion = [this] { return appVersion; },
            .isAnalyticsStorageDenied = [this] { return storageDenied; },
            .measurementServiceURL = [this] { return serviceURL; },
        };
    }

    MeasurementConfigBuilder configFor(const std::string& appID = kAppID) const {
        MeasurementConfigBuilder builder;
        builder.appID = appID;
        return builder;
    }

    // A configuration the other tests start from: version 1, one setting, one event, one data control.
    MeasurementConfigBuilder firstConfig() const {
        auto builder = configFor();
        builder.version = 1;
        builder.settings = {{"measurement.upload.retry_count", "3"}};
        builder.events = {{"level_up", true, true, 7}};
        builder.dataControls = {"ad_storage"};
        return builder;
    }

    std::int64_t storedVersion() {
        auto stored = database->queryMeasurementConfigWithError(nullptr);
        return stored ? APMNanoGetInt64(stored.get(), apmpb_fields::MeasurementConfig::kVersion) : -1;
    }

    std::string origin;
    bool measurementEnabled = false;
    std::optional<std::string> appVersion;
    bool storageDenied = false;
    std::optional<std::string> serviceURL;
    std::shared_ptr<APMEManager> manager = std::make_shared<APMEManager>();
    std::shared_ptr<APMRemoteConfig> config;
};

TEST_F(RemoteConfigStore, CreationNeedsAnAppIDAndADatabase) {
    EXPECT_EQ(APMRemoteConfig::initWithAppID("", database, manager), nullptr);
    EXPECT_EQ(APMRemoteConfig::initWithAppID(kAppID, nullptr, manager), nullptr);
    EXPECT_TRUE(logged("29000"));
    EXPECT_TRUE(logged("29001"));
    EXPECT_FALSE(config->isDefaultInstance());
    EXPECT_EQ(config->version(), -1);
    // Without a stored update time the configuration is due at once.
    EXPECT_TRUE(config->isExpired());
}

TEST_F(RemoteConfigStore, TheDefaultInstanceNeverTakesAConfiguration) {
    auto fallback = APMRemoteConfig::defaultInstance();
    EXPECT_FALSE(fallback->updateMeasurementConfig(firstConfig().build()));
    EXPECT_EQ(fallback->version(), -1);
    EXPECT_EQ(fallback->measurementConfigFromDatabase(), nullptr);
    EXPECT_FALSE(fallback->isExpired());
    EXPECT_EQ(fallback->lastRemoteConfigUpdateTimestamp(), 0);
    EXPECT_FALSE(config->updateMeasurementConfig(nullptr));
}

TEST_F(RemoteConfigStore, AForeignAppIDIsRefusedAndEverythingStays) {
    ASSERT_TRUE(config->updateMeasurementConfig(firstConfig().build()));
    auto foreign = configFor("1:9999:ios:other");
    foreign.version = 2;
    foreign.settings = {{"measurement.upload.retry_count", "9"}};
    foreign.dataControls = {"other"};
    EXPECT_FALSE(config->updateMeasurementConfig(foreign.build()));

    EXPECT_EQ(config->version(), 1);
    EXPECT_EQ(storedVersion(), 1);
    EXPECT_EQ(config->uploadingRetryCount(), 3);
    EXPECT_TRUE(config->isEventBlocklisted("level_up"));
    EXPECT_EQ(config->dataControls(), std::vector<std::string>{"ad_storage"});
}

TEST_F(RemoteConfigStore, OriginAmAlsoNeedsTheMatchingRaVadAppID) {
    origin = "am";
    auto mismatched = firstConfig();
    mismatched.ravadAppID = "1:1:other";
    EXPECT_FALSE(config->updateMeasurementConfig(mismatched.build()));
    EXPECT_EQ(config->version(), -1);
    auto matching = firstConfig();
    matching.ravadAppID = kAppID;
    EXPECT_TRUE(config->updateMeasurementConfig(matching.build()));

    // Any other origin does not look at it.
    origin = "fa";
    auto next = mismatched;
    next.version = 5;
    EXPECT_TRUE(config->updateMeasurementConfig(next.build()));
    EXPECT_EQ(config->version(), 5);
}

TEST_F(RemoteConfigStore, AConfigurationThatCannotBeStoredIsNotActivated) {
    auto gone =
        APMRemoteConfig::initWithAppID(kAppID, openDatabase(), nullptr, nullptr);  // its database is gone
    EXPECT_FALSE(gone->updateMeasurementConfig(firstConfig().build()));
    EXPECT_TRUE(logged("29005"));
    EXPECT_EQ(gone->version(), -1);
    EXPECT_EQ(gone->uploadingRetryCount(), 6);
}

TEST_F(RemoteConfigStore, EventConfigurationsByNameWithTheirSwitches) {
    auto builder = configFor();
    builder.events = {
        {"ad_click", std::nullopt, true, std::nullopt},  // a public name of the library's own "_ac"
        {"", true, std::nullopt, std::nullopt},
        {"rate_0", std::nullopt, std::nullopt, 0},
        {"rate_1", std::nullopt, std::nullopt, 1},
        {"rate_2", std::nullopt, std::nullopt, 2},
        {"rate_65535", std::nullopt, std::nullopt, 65535},
        {"rate_65536", std::nullopt, std::nullopt, 65536},
        {"rate_negative", std::nullopt, std::nullopt, -5},
    };
    ASSERT_TRUE(config->updateMeasurementConfig(builder.build()));

    EXPECT_TRUE(config->eventConfigWithName("_ac"));
    EXPECT_FALSE(config->eventConfigWithName("ad_click"));
    EXPECT_TRUE(config->isEventCustomConversion("_ac"));
    EXPECT_FALSE(config->isEventCustomConversion("rate_2"));
    EXPECT_EQ(config->eventConfigWithName(""), nullptr);

    EXPECT_EQ(config->samplingRateForEvent("rate_0"), 1);
    EXPECT_EQ(config->samplingRateForEvent("rate_1"), 1);
    EXPECT_EQ(config->samplingRateForEvent("rate_2"), 2);
    EXPECT_EQ(config->samplingRateForEvent("rate_65535"), 65535);
    EXPECT_EQ(config->samplingRateForEvent("rate_65536"), 1);
    EXPECT_EQ(config->samplingRateForEvent("rate_negative"), 1);
    EXPECT_EQ(config->samplingRateForEvent("unconfigured"), 1);
    EXPECT_TRUE(config->eventHasSamplingRate("rate_0"));
    EXPECT_FALSE(config->eventHasSamplingRate("_ac"));
    EXPECT_FALSE(config->eventHasSamplingRate("unconfigured"));
}

TEST_F(RemoteConfigStore, AnEventsOwnBlockWinsButItsFalseDoesNotLiftTheGlobalSwitch) {
    auto builder = configFor();
    builder.events = {{"blocked", true, {}, {}}, {"allowed", false, {}, {}}, {"_internal", false, {}, {}}};
    ASSERT_TRUE(config->updateMeasurementConfig(builder.build()));
    EXPECT_TRUE(config->isEventBlocklisted("blocked"));
    EXPECT_FALSE(config->isEventBlocklisted("allowed"));
    EXPECT_FALSE(config->isEventBlocklisted("_internal"));

    builder.settings = {{"measurement.upload.blacklist_public", "1"}};
    ASSERT_TRUE(config->updateMeasurementConfig(builder.build()));
    EXPECT_TRUE(config->isEventBlocklisted("allowed"));
    EXPECT_TRUE(config->isEventBlocklisted("unconfigured"));
    EXPECT_FALSE(config->isEventBlocklisted("_internal"));

    builder.settings = {{"measurement.upload.blacklist_internal", "1"}};
    ASSERT_TRUE(config->updateMeasurementConfig(builder.build()));
    EXPECT_FALSE(config->isEventBlocklisted("allowed"));
    EXPECT_TRUE(config->isEventBlocklisted("_internal"));
    EXPECT_TRUE(config->isEventBlocklisted("blocked"));
}

TEST_F(RemoteConfigStore, AFailingProgramLeavesNoInterpreterTakesItsDataControlsAndARelaunchAnswersAlike) {
    auto working = firstConfig();
    working.programs = {analytics_test::program({require("internal.logger")})};
    ASSERT_TRUE(config->updateMeasurementConfig(working.build()));
    ASSERT_TRUE(config->eventEditing());
    EXPECT_TRUE(config->eventEditing()->runtime().moduleNamed("internal.logger"));

    auto failing = firstConfig();
    failing.version = 2;
    failing.settings = {{"measurement.upload.retry_count", "4"}};
    failing.dataControls = {"analytics_storage"};
    failing.programs = {analytics_test::program({statement("return")})};
    EXPECT_TRUE(config->updateMeasurementConfig(failing.build()));
    EXPECT_TRUE(logged("29026"));
    EXPECT_EQ(config->eventEditing(), nullptr);
    EXPECT_EQ(config->dataControls(), std::vector<std::string>{"analytics_storage"});
    EXPECT_EQ(config->version(), 2);
    EXPECT_EQ(config->uploadingRetryCount(), 4);

    config.reset();
    database.reset();
    database = openDatabase();
    ASSERT_TRUE(database);
    const auto relaunched = APMRemoteConfig::initWithAppID(kAppID, database, manager);
    EXPECT_EQ(relaunched->eventEditing(), nullptr);
    EXPECT_EQ(relaunched->dataControls(), std::vector<std::string>{"analytics_storage"});
    EXPECT_EQ(relaunched->version(), 2);
    EXPECT_EQ(relaunched->uploadingRetryCount(), 4);
}

TEST_F(RemoteConfigStore, AConfigurationWithoutProgramsKeepsTheInterpreter) {
    auto withProgram = firstConfig();
    withProgram.programs = {analytics_test::program({require("internal.remoteConfig")}),
                            analytics_test::program({statement("return")})};  // only the first is loaded
    ASSERT_TRUE(config->updateMeasurementConfig(withProgram.build()));
    const auto interpreter = config->eventEditing();
    ASSERT_TRUE(interpreter);

    auto without = firstConfig();
    without.version = 2;
    without.dataControls = {"analytics_storage"};
    ASSERT_TRUE(config->updateMeasurementConfig(without.build()));
    EXPECT_EQ(config->eventEditing(), interpreter);
    EXPECT_EQ(config->dataControls(), std::vector<std::string>{"analytics_storage"});
    config->reset();
    EXPECT_EQ(config->eventEditing(), interpreter);
    EXPECT_EQ(config->version(), -1);
    EXPECT_TRUE(config->dataControls().empty());
    EXPECT_FALSE(config->isEventBlocklisted("level_up"));
}

TEST_F(RemoteConfigStore, ProgramModulesReadTheSettingsAndTheApp) {
    appVersion = "2.4.1";
    auto builder = firstConfig();
    builder.settings = {{"measurement.upload.retry_count", "3"}, {"measurement.upload.interval", "60000"}};
    builder.programs = {
        analytics_test::program({require("internal.remoteConfig"), require("internal.appMetadata")})};
    ASSERT_TRUE(config->updateMeasurementConfig(builder.build()));
    const auto& runtime = config->eventEditing()->runtime();
    auto settings =
        std::dynamic_pointer_cast<APMPKeyValueStore>(runtime.moduleNamed("internal.remoteConfig"));
    auto metadata =
        std::dynamic_pointer_cast<APMPObjectProvider>(runtime.moduleNamed("internal.appMetadata"));
    ASSERT_TRUE(settings && metadata);

    EXPECT_EQ(settings->getValue("measurement.upload.interval"), platform::Value("60000"));
    EXPECT_EQ(config->uploadingInterval(), 60);
    // Once looked up, the checked number is what the program reads, in decimal.
    EXPECT_EQ(settings->getValue("measurement.upload.interval"), platform::Value("60"));
    EXPECT_EQ(settings->getValue("measurement.missing"), std::nullopt);
    // A later configuration shows through the same module.
    builder.settings = {{"measurement.upload.interval", "120000"}};
    builder.programs.clear();
    ASSERT_TRUE(config->updateMeasurementConfig(builder.build()));
    EXPECT_EQ(settings->getValue("measurement.upload.interval"), platform::Value("120000"));

    const auto object = metadata->object();
    ASSERT_TRUE(object.dictionaryValue());
    const auto& app = *object.dictionaryValue();
    EXPECT_EQ(app.at("platform"), platform::Value("ios"));
    EXPECT_EQ(app.at("vmp_version"), platform::Value(std::int64_t{81500}));
    EXPECT_EQ(app.at("app_version"), platform::Value("2.4.1"));
    EXPECT_TRUE(app.count("package_name"));
}

TEST_F(RemoteConfigStore, EndpointsOnTheServiceHost) {
    EXPECT_EQ(config->uploadURL(), std::nullopt);
    EXPECT_EQ(config->remoteConfigURLWithAppInstanceID("abc", "ios", 81500, 1), std::nullopt);

    serviceURL = "https://m.example";
    EXPECT_EQ(
        config->remoteConfigURLWithAppInstanceID("abc", "ios", 81500, 1),
        "https://m.example/config/app/1:1234:ios:test?app_instance_id=abc&platform=ios&runtime_version=1&"
        "vmp_version=81500");
    EXPECT_EQ(config->remoteConfigURLWithAppInstanceID(std::nullopt, "ios", 81500, 1), std::nullopt);
    EXPECT_EQ(config->remoteConfigURLWithAppInstanceID("abc", "", 81500, 1), std::nullopt);
    storageDenied = true;
    EXPECT_EQ(config->remoteConfigURLWithAppInstanceID("abc", "ios", 81500, 1),
              "https://m.example/config/app/1:1234:ios:test?app_instance_id=&platform=ios&runtime_version=1&"
              "vmp_version=81500");

    EXPECT_EQ(config->uploadURL(), "https://m.example/a");
    auto builder = firstConfig();
    builder.uploadSubdomain = "eu-1.upload";
    ASSERT_TRUE(config->updateMeasurementConfig(builder.build()));
    EXPECT_EQ(config->uploadURL(), "https://eu-1.upload.m.example/a");
    // A subdomain that would move uploads elsewhere is ignored.
    builder.uploadSubdomain = "evil.example/?";
    ASSERT_TRUE(config->updateMeasurementConfig(builder.build()));
    EXPECT_EQ(config->uploadURL(), "https://m.example/a");
}

TEST_F(RemoteConfigStore, TheConfigurationAgesFromItsStoredUpdateTime) {
    ASSERT_TRUE(config->updateMeasurementConfig(firstConfig().build()));
    EXPECT_EQ(config->lastRemoteConfigUpdateTimestamp(), now());
    EXPECT_FALSE(config->isExpired());
    clock->advance(3599);
    EXPECT_FALSE(config->isExpired());
    clock->advance(1);
    EXPECT_TRUE(config->isExpired());
}

TEST_F(RemoteConfigStore, TheConfigurationAndAnActivatedSnapshotSurviveARestart) {
    auto builder = firstConfig();
    builder.version = 42;
    ASSERT_TRUE(config->updateMeasurementConfig(builder.build()));
    ASSERT_TRUE(manager->receiveSnapshot(
        analytics_test::makeSnapshot("app_measurement", 7,
                                     {{"network_background_session_enabled", NanoNumber::withInt(1)}})
            .get()));
    EXPECT_FALSE(config->isNetworkBackgroundSessionEnabled());
    EXPECT_TRUE(config->activateNewSnapshot());
    EXPECT_FALSE(config->activateNewSnapshot());
    EXPECT_TRUE(config->isNetworkBackgroundSessionEnabled());
    EXPECT_EQ(config->experimentIDs(), std::vector<std::int32_t>{7});

    config.reset();
    database.reset();
    database = openDatabase();
    ASSERT_TRUE(database);
    auto restarted = APMRemoteConfig::initWithAppID(kAppID, database, manager);
    EXPECT_EQ(restarted->version(), 42);
    EXPECT_EQ(restarted->uploadingRetryCount(), 3);
    EXPECT_TRUE(restarted->isEventBlocklisted("level_up"));
    EXPECT_EQ(restarted->dataControls(), std::vector<std::string>{"ad_storage"});
    EXPECT_TRUE(restarted->isNetworkBackgroundSessionEnabled());
}

TEST_F(RemoteConfigStore, ASnapshotArrivingBeforeTheStartIsActivatedThen) {
    measurementEnabled = true;
    config.reset();
    ASSERT_TRUE(manager->receiveSnapshot(
        analytics_test::makeSnapshot("app_measurement", 3,
                                     {{"redundant_engagement_removal_enabled", NanoNumber::withInt(1)}})
            .get()));
    auto started = APMRemoteConfig::initWithAppID(kAppID, database, manager, links());
    EXPECT_TRUE(started->redundantEngagementRemovalEnabled());
    EXPECT_TRUE(started->shouldFetchExperimentsForClient(nullptr));
}

}  // namespace
}  // namespace quorvel::testing
