#include <gtest/gtest.h>

#include <thread>

#include "analytics/engine/apm_identity.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_monitor.h"
#include "platform/foundation/clock.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;

TEST(APMIdentity, LibraryVersionDropsTheLastThreeCharacters) {
    EXPECT_EQ(APMIdentity::rovUriduzuvareLibraryVersion(), 81500);
    EXPECT_EQ(APMIdentity::libraryVersionFromText("1234"), 1);
    EXPECT_EQ(APMIdentity::libraryVersionFromText("123"), 0);
    EXPECT_EQ(APMIdentity::libraryVersionFromText("x1234"), 0);
}

TEST(APMIdentity, StoreInstallationComesFromTheLaunchEnvironment) {
    ::unsetenv("QUORVEL_STORE_INSTALLATION");
    EXPECT_FALSE(APMIdentity::isFromAppStore());
    ::setenv("QUORVEL_STORE_INSTALLATION", "1", 1);
    EXPECT_TRUE(APMIdentity::isFromAppStore());
    ::unsetenv("QUORVEL_STORE_INSTALLATION");
}

TEST(APMMeasurementMonitor, OneMonitorForEveryThreadCarryingTheLibraryVersion) {
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
