#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "analytics/config/apm_remote_config.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_audience.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_process_info.h"
#include "tests/analytics/fresh_engine.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;

TEST(APMMeasurementMonitor, OneMonitorForEveryThreadCarryingTheLibraryVersion) {
    quorvel::testing::FreshEngine freshEngine;
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    std::vector<std::shared_ptr<APMMonitor>> seen(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = APMMeasurement::monitor(); });
    for (auto& thread : threads) thread.join();
    for (const auto& monitor : seen) EXPECT_EQ(monitor, seen.front());
    ASSERT_TRUE(seen.front());

    seen.front()->logWithLevel(1, 1, "versioned");
    clock->advance(1);
    EXPECT_EQ(seen.front()->monitoringDataForDispatchWithSamplePeriod(0, 0), "1:1E_81500:versioned");
}

// Code below the engine may log before the library starts: the monitor then reads and keeps nothing,
// and takes the stores once the engine hands them over.
TEST(APMMeasurementMonitor, TheMonitorMadeBeforeTheStartTakesTheStoresThen) {
    quorvel::testing::FreshEngine freshEngine;
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    ::unsetenv("QUORVEL_STORE_INSTALLATION");
    platform::NSProcessInfo::processInfo().setArguments({"quorvel"});
    APMUserDefaults::standardUserDefaults()->setBool(true, APMMonitor::kDebugModeKey);

    auto early = APMMonitor::sharedInstance();
    early->logWithLevel(APMLogLevel::MonitoredError, 1, "before the start");
    clock->runUntilIdle();
    EXPECT_FALSE(early->isDebugModeEnabled());
    EXPECT_FALSE(APMUserDefaults(APMMonitor::kMonitorSuiteName).objectForKey(APMMonitor::kHealthMonitorKey));

    EXPECT_EQ(APMMeasurement::monitor(), early);
    clock->runUntilIdle();
    EXPECT_TRUE(early->isDebugModeEnabled());
    early->logWithLevel(APMLogLevel::MonitoredError, 1, "after the start");
    clock->runUntilIdle();
    const auto stored =
        APMUserDefaults(APMMonitor::kMonitorSuiteName).arrayForKey(APMMonitor::kHealthMonitorKey);
    ASSERT_TRUE(stored && stored->size() == 4 && stored->at(2).stringValue());
    EXPECT_EQ(*stored->at(2).stringValue(), "1E_81500:after the start");
}

TEST(APMMeasurementRemoteConfig, DefaultConfigurationUntilOneIsLoaded) {
    quorvel::testing::FreshEngine freshEngine;
    EXPECT_EQ(APMMeasurement::remoteConfig(), APMRemoteConfig::defaultInstance());
    auto loaded = APMRemoteConfig::initWithAppID("1:1:ios:1", nullptr, nullptr, nullptr);
    APMMeasurement::setRemoteConfig(loaded);
    EXPECT_EQ(APMMeasurement::remoteConfig(), loaded);
    APMMeasurement::setRemoteConfig(nullptr);
    EXPECT_TRUE(APMMeasurement::remoteConfig()->isDefaultInstance());
}

TEST(APMMeasurementStart, AStoreInstallationEncodesTheContextsOfItsLogLines) {
    quorvel::testing::FreshEngine freshEngine;
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    ::setenv("QUORVEL_STORE_INSTALLATION", "1", 1);
    auto engine = APMMeasurement::sharedInstanceWithAppID("1:1:ios:1");
    EXPECT_TRUE(APMMeasurement::monitor()->encodeContexts());
    engine->scheduler().dispatchSyncOnWorkerQueueBlockID("test", [] {});
    ::unsetenv("QUORVEL_STORE_INSTALLATION");
    clock->runUntilIdle();
}

// What the start brings up over the measurement database, looked at on the worker queue where it lives.
class APMMeasurementStartsOverItsDatabase : public quorvel::testing::FreshEngineTest {
protected:
    std::shared_ptr<APMMeasurement> start() {
        auto engine = APMMeasurement::sharedInstanceWithAppID("1:1:ios:1");
        clock->runUntilIdle();
        return engine;
    }

    platform::Console::Capture capture;
};

TEST_F(APMMeasurementStartsOverItsDatabase, TheAudienceStoreKeepsItsFiltersInTheEnginesDatabase) {
    const auto engine = start();
    engine->scheduler().dispatchSyncOnWorkerQueueBlockID("test", [&engine] {
        ASSERT_TRUE(engine->database());
        ASSERT_TRUE(engine->audience());
        const auto filter = APMEventFilter::initWithAudienceID(3, 1, "purchase", {1}, false, false, false);
        std::shared_ptr<platform::NSError> error;
        ASSERT_TRUE(engine->audience()->replaceFilters({filter}, {}, &error));
        EXPECT_EQ(engine->database()->eventFiltersForEventName("purchase", &error)->size(), 1u);
    });
    EXPECT_FALSE(APMMeasurement::remoteConfig()->isDefaultInstance());
}

TEST_F(APMMeasurementStartsOverItsDatabase, WithoutADatabaseAfterTwoAttemptsMeasurementStops) {
    // A folder where the file belongs cannot be opened, nor deleted as damage.
    std::filesystem::create_directories(APMMeasurementDirectoryFilePath(APMDatabase::kDatabaseName));
    const auto engine = start();
    engine->scheduler().dispatchSyncOnWorkerQueueBlockID("test", [&engine] {
        EXPECT_FALSE(engine->database());
        EXPECT_FALSE(engine->audience());
    });
    EXPECT_TRUE(capture.contains("[I-ACS023011]"));
    EXPECT_TRUE(APMMeasurement::remoteConfig()->isDefaultInstance());
}
