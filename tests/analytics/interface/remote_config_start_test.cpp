#include <gtest/gtest.h>

#include <future>

#include "analytics/config/apm_remote_config.h"
#include "analytics/engine/apm_identifiers.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/interface/apm_analytics.h"
#include "analytics/interface/apm_consent_settings_util.h"
#include "analytics/interface/dzr_app.h"
#include "analytics/storage/apm_database.h"
#include "platform/foundation/clock.h"
#include "tests/analytics/config/measurement_config_builder.h"
#include "tests/analytics/fresh_library.h"
#include "tests/support/local_http_server.h"
#include "tests/support/main_queue_until.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
using quorvel::testing::LocalHTTPServer;
using quorvel::testing::MeasurementConfigBuilder;

namespace {

constexpr const char* kAppID = "1:5150:ios:quorvel";

class RemoteConfigStart : public quorvel::testing::FreshLibraryTest {
protected:
    void SetUp() override {
        MeasurementConfigBuilder served;
        served.appID = kAppID;
        served.version = 77;
        served.settings = {{"measurement.upload.interval", "60000"}};
        const auto bytes = *served.build()->protoBuffer();
        server.respondWith({200, std::string(bytes.begin(), bytes.end())});
    }
    void start() {
        APMAnalytics::startWithAppID(kAppID, "fa",
                                     {{APMAnalytics::kMeasurementServiceURLKey, server.baseURL()}});
    }

    // The library's queues run on their own threads and the answer comes over the network: wait for the
    // active configuration to satisfy `condition`, giving up only rather than hanging.
    template <typename Condition>
    bool activeConfiguration(Condition condition) {
        return quorvel::testing::runMainQueueUntil(*clock, [&] { return condition(*APMMeasurement::remoteConfig()); });
    }
    bool fetchedConfigurationActive() {
        return activeConfiguration([](APMRemoteConfig& config) { return config.version() == 77; });
    }

    LocalHTTPServer server;
};

TEST_F(RemoteConfigStart, TheStartFetchesTheConfigurationAndMakesItActive) {
    start();
    ASSERT_TRUE(fetchedConfigurationActive());
    auto active = APMMeasurement::remoteConfig();
    EXPECT_FALSE(active->isDefaultInstance());
    EXPECT_EQ(active->uploadingInterval(), 60);
    EXPECT_EQ(APMIdentifiers::sharedInstance()->origin(), "fa");
    EXPECT_TRUE(active->shouldFetchExperimentsForClient(nullptr));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& target = requests[0].target;
    EXPECT_EQ(target.rfind("/config/app/1:5150:ios:quorvel?app_instance_id=", 0), 0u) << target;
    // The engine made an app instance identifier: 32 hexadecimal digits.
    const auto instance = target.substr(target.find('=') + 1, target.find('&') - target.find('=') - 1);
    EXPECT_EQ(instance.size(), 32u) << target;

    // A reset forgets the configuration with the database.
    APMMeasurement::sharedInstance()->resetAnalyticsData();
    std::promise<void> reset;
    APMMeasurement::sharedInstance()->scheduler().scheduleOnWorkerQueueBlockID(
        "test", [&reset] { reset.set_value(); });
    reset.get_future().wait();
    EXPECT_EQ(APMMeasurement::remoteConfig()->version(), -1);
}

TEST_F(RemoteConfigStart, DeniedAnalyticsStorageSendsNoAppInstanceID) {
    APMConsentSettingsUtil::setConsent({{"analytics_storage", "denied"}, {"ad_storage", "maybe"}});
    EXPECT_TRUE(APMConsentSettingsUtil::isAnalyticsStorageDenied());
    start();
    ASSERT_TRUE(fetchedConfigurationActive());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].target.find("?app_instance_id=&platform=ios&"), std::string::npos)
        << requests[0].target;
}

TEST_F(RemoteConfigStart, TheShippedServiceListNamesTheAppAndNoServiceToFetchFrom) {
    DZRApp::configure();
    ASSERT_TRUE(DZRApp::defaultApp());
    EXPECT_EQ(DZRApp::defaultApp()->appID(), "1:604183921757:ios:5b1e3c7d9a2f4e60");
    ASSERT_TRUE(activeConfiguration([](APMRemoteConfig& config) { return !config.isDefaultInstance(); }));
    EXPECT_EQ(APMMeasurement::remoteConfig()->appID(), DZRApp::defaultApp()->appID());
    EXPECT_EQ(APMMeasurement::remoteConfig()->version(), -1);
    EXPECT_EQ(APMMeasurement::remoteConfig()->uploadURL(), std::nullopt);
}

TEST(ConsentSettings, StorageIsDeniedOnlyWhileTheConfigurationKeepsConsentSettings) {
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    EXPECT_FALSE(APMConsentSettingsUtil::isAnalyticsStorageDenied());
    APMConsentSettingsUtil::setConsent({{"analytics_storage", "denied"}});
    EXPECT_TRUE(APMConsentSettingsUtil::isAnalyticsStorageDenied());

    auto withoutConsent = APMRemoteConfig::initWithAppID(kAppID, nullptr, nullptr, nullptr);
    withoutConsent->parseSettings({{"measurement.api.consent_settings", "0"}});
    APMMeasurement::setRemoteConfig(withoutConsent);
    EXPECT_FALSE(APMConsentSettingsUtil::isAnalyticsStorageDenied());
    APMMeasurement::setRemoteConfig(nullptr);

    APMConsentSettingsUtil::setConsent({{"analytics_storage", "granted"}});
    EXPECT_FALSE(APMConsentSettingsUtil::isAnalyticsStorageDenied());
    clock->runUntilIdle();
}

}  // namespace
