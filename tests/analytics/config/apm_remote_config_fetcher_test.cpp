#include <gtest/gtest.h>

#include <future>

#include "analytics/config/apm_remote_config.h"
#include "analytics/config/apm_remote_config_fetcher.h"
#include "analytics/foundation/apm_scheduler.h"
#include "tests/analytics/config/measurement_config_builder.h"
#include "tests/analytics/storage/database_test_support.h"
#include "tests/support/local_http_server.h"

using namespace analytics;

namespace quorvel::testing {
namespace {

constexpr const char* kFetchingAppID = "1:1234:ios:test";

class RemoteConfigFetch : public MeasurementDatabaseTest {
protected:
    void SetUp() override {
        database = openDatabase(&error);
        ASSERT_TRUE(database);
        config = APMRemoteConfig::initWithAppID(kFetchingAppID, database, nullptr,
                                                {.measurementServiceURL = [this] { return serviceURL; }});
        MeasurementConfigBuilder active;
        active.appID = kFetchingAppID;
        active.version = 1;
        active.settings = {{"measurement.upload.retry_count", "3"}};
        ASSERT_TRUE(config->updateMeasurementConfig(active.build()));
    }

    // Whether the fetch applied its answer, once it has come back to the worker queue.
    bool fetch(const std::optional<std::string>& appInstanceID = "f00d") {
        std::promise<bool> applied;
        scheduler.scheduleOnWorkerQueueBlockID("test", [&] {
            fetcher.fetch(config, appInstanceID, [&applied](bool result) { applied.set_value(result); });
        });
        return applied.get_future().get();
    }

    static std::string encoded(const MeasurementConfigBuilder& builder) {
        const auto bytes = *builder.build()->protoBuffer();
        return std::string(bytes.begin(), bytes.end());
    }

    MeasurementConfigBuilder served(std::int64_t version, const std::string& appID = kFetchingAppID) {
        MeasurementConfigBuilder builder;
        builder.appID = appID;
        builder.version = version;
        builder.settings = {{"measurement.upload.retry_count", "9"}};
        return builder;
    }

    void expectTheFirstConfigurationStays() {
        EXPECT_EQ(config->version(), 1);
        EXPECT_EQ(config->uploadingRetryCount(), 3);
        auto stored = database->queryMeasurementConfigWithError(nullptr);
        ASSERT_TRUE(stored);
        EXPECT_EQ(APMNanoGetInt64(stored.get(), apmpb_fields::MeasurementConfig::kVersion), 1);
    }

    LocalHTTPServer server;
    // Where the configuration's links say the service is.
    std::optional<std::string> serviceURL = server.baseURL();
    APMScheduler scheduler{"test.worker"};
    APMRemoteConfigFetcher fetcher{scheduler};
    std::shared_ptr<APMRemoteConfig> config;
};

TEST_F(RemoteConfigFetch, AServedConfigurationIsStoredAndApplied) {
    server.respondWith({200, encoded(served(2))});
    EXPECT_TRUE(fetch());
    EXPECT_EQ(config->version(), 2);
    EXPECT_EQ(config->uploadingRetryCount(), 9);
    auto stored = database->queryMeasurementConfigWithError(nullptr);
    ASSERT_TRUE(stored);
    EXPECT_EQ(APMNanoGetInt64(stored.get(), apmpb_fields::MeasurementConfig::kVersion), 2);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target,
              "/config/app/1:1234:ios:test?app_instance_id=f00d&platform=ios&runtime_version=1&"
              "vmp_version=81500");
}

TEST_F(RemoteConfigFetch, FailedAnswersLeaveTheActiveConfigurationAsItWas) {
    server.respondWith({500, encoded(served(2))});
    EXPECT_FALSE(fetch());
    expectTheFirstConfigurationStays();

    server.respondWith({200, "\xff\xff\xff\xff not a configuration"});
    EXPECT_FALSE(fetch());
    expectTheFirstConfigurationStays();

    server.respondWith({200, encoded(served(2, "1:9999:ios:other"))});
    EXPECT_FALSE(fetch());
    expectTheFirstConfigurationStays();

    // Nothing listens at the service any more.
    std::string closed;
    {
        LocalHTTPServer gone;
        closed = gone.baseURL();
    }
    serviceURL = closed;
    EXPECT_FALSE(fetch());
    expectTheFirstConfigurationStays();
}

TEST_F(RemoteConfigFetch, NothingIsFetchedWithoutAURL) {
    EXPECT_FALSE(fetch(std::nullopt));
    serviceURL.reset();
    EXPECT_FALSE(fetch());
    EXPECT_TRUE(server.requests().empty());
    expectTheFirstConfigurationStays();
}

}  // namespace
}  // namespace quorvel::testing
