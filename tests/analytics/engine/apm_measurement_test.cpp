#include <gtest/gtest.h>

#include <thread>

#include "analytics/engine/apm_measurement.h"
#include "analytics/monitor/apm_monitor.h"
#include "platform/foundation/clock.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;

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
