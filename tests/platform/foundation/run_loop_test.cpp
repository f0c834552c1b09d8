#include <gtest/gtest.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_timer.h"
#include "tests/support/eventually.h"

using namespace platform;

TEST(RunLoopTimers, TenthSecondTimerFiresFifteenThousandTimesInVirtualTime) {
    auto clock = VirtualClock::install();
    int fires = 0;
    auto timer = NSTimer::timerWithTimeInterval(0.1, true, [&](NSTimer&) { ++fires; });
    NSRunLoop::main().addTimer(timer, NSRunLoopCommonModes);
    clock->advance(1500);
    EXPECT_EQ(fires, 15000);
    EXPECT_DOUBLE_EQ(NSDate::now().timeIntervalSinceReferenceDate(), VirtualClock::kDefaultStart + 1500);
}

TEST(RunLoopTimers, SuspensionFiresAMissedRepeatingTimerOnceAndKeepsItsSchedule) {
    auto clock = VirtualClock::install();
    std::vector<double> fireTimes;
    const double start = clock->now();
    NSTimer::scheduledTimerWithTimeInterval(1.0, true,
                                            [&](NSTimer&) { fireTimes.push_back(clock->now() - start); });

    clock->advance(2.5);
    ASSERT_EQ(fireTimes, (std::vector<double>{1, 2}));

    NSRunLoop::main().setSuspended(true);
    clock->advance(10);  // now at 12.5; fires due at 3 … 12 are missed
    EXPECT_EQ(fireTimes.size(), 2u);

    NSRunLoop::main().setSuspended(false);
    clock->runUntilIdle();
    ASSERT_EQ(fireTimes.size(), 3u);
    EXPECT_DOUBLE_EQ(fireTimes[2], 12.5);  // once, on return

    clock->advance(1.0);  // the old schedule goes on: 13, not 13.5
    ASSERT_EQ(fireTimes.size(), 4u);
    EXPECT_DOUBLE_EQ(fireTimes[3], 13);
}

TEST(RunLoopTimers, OneShotFiresOnceAndARepeatingTimerStopsFromItsOwnBlock) {
    auto clock = VirtualClock::install();
    int once = 0, repeats = 0;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(0.5, false, [&](NSTimer&) { ++once; });
    NSTimer::scheduledTimerWithTimeInterval(1, true, [&](NSTimer& self) {
        if (++repeats == 3) self.invalidate();
    });
    clock->advance(0.4);
    EXPECT_EQ(once, 0);
    clock->advance(10);
    EXPECT_EQ(once, 1);
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(repeats, 3);
}

TEST(RunLoopTimers, TimerFiresOnlyInTheModesItWasAddedTo) {
    auto clock = VirtualClock::install();
    int defaultFires = 0;
    int commonFires = 0;
    NSRunLoop::main().addTimer(NSTimer::timerWithTimeInterval(1, true, [&](NSTimer&) { ++defaultFires; }),
                               NSDefaultRunLoopMode);
    NSRunLoop::main().addTimer(NSTimer::timerWithTimeInterval(1, true, [&](NSTimer&) { ++commonFires; }),
                               NSRunLoopCommonModes);

    NSRunLoop::main().setCurrentMode(UITrackingRunLoopMode);  // the user drags
    clock->advance(5);
    EXPECT_EQ(defaultFires, 0);
    EXPECT_EQ(commonFires, 5);

    NSRunLoop::main().setCurrentMode(NSDefaultRunLoopMode);
    clock->runUntilIdle();
    EXPECT_EQ(defaultFires, 1);  // the missed fires collapse into one
    clock->advance(2);
    EXPECT_EQ(defaultFires, 3);
    EXPECT_EQ(commonFires, 7);
}

TEST(RunLoopBlocks, BlocksRunInOrderAndBlocksQueuedByBlocksRunToo) {
    auto clock = VirtualClock::install();
    std::vector<int> order;
    NSRunLoop::main().perform([&] {
        order.push_back(1);
        NSRunLoop::main().perform([&] { order.push_back(3); });
    });
    NSRunLoop::main().perform([&] { order.push_back(2); });
    clock->runUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(RunLoopBlocks, SuspendedLoopHoldsBlocksUntilResumed) {
    auto clock = VirtualClock::install();
    int ran = 0;
    NSRunLoop::main().setSuspended(true);
    NSRunLoop::main().perform([&] { ++ran; });
    clock->advance(60);
    EXPECT_EQ(ran, 0);
    NSRunLoop::main().setSuspended(false);
    clock->runUntilIdle();
    EXPECT_EQ(ran, 1);
}

TEST(RunLoopSystemClock, RunOnceWakesForAPostedBlockAndForATimer) {
    Clock::install(std::make_shared<SystemClock>());
    NSRunLoop::main().reset();
    bool fired = false;
    NSTimer::scheduledTimerWithTimeInterval(0.02, false, [&](NSTimer&) { fired = true; });
    EXPECT_TRUE(quorvel::testing::eventually([&] { return fired; }, [] { NSRunLoop::main().runOnce(1.0); }));
}

TEST(RunLoopSystemClock, WakeUpHandlerHearsBlocksPostedFromOtherThreadsAndNewTimers) {
    Clock::install(std::make_shared<SystemClock>());
    NSRunLoop::main().reset();
    std::atomic<int> wakeUps{0};
    NSRunLoop::main().setWakeUpHandler([&] { ++wakeUps; });
    std::thread([] { NSRunLoop::main().perform([] {}); }).join();
    EXPECT_EQ(wakeUps, 1);
    NSTimer::scheduledTimerWithTimeInterval(10, false, [](NSTimer&) {});
    EXPECT_EQ(wakeUps, 2);
    NSRunLoop::main().reset();
    NSRunLoop::main().perform([] {});
    EXPECT_EQ(wakeUps, 2);  // reset forgets the handler
}

// A fault check, not a benchmark: a deadline the wait cannot convert had the clock's thread spin.
TEST(RunLoopSystemClock, ADeadlineInTheYear2400WaitsWithoutUsingTheProcessor) {
    const auto processorSeconds = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    };
    // Never destroyed: a spinning timer thread would starve the destructor of its lock.
    static auto* clock = new SystemClock();
    static std::atomic<bool> fired{false};
    const double year2400 = 399 * 365.2425 * 86400;
    clock->schedule(year2400, [] { fired = true; });
    const double before = processorSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_LT(processorSeconds() - before, 0.2);
    EXPECT_FALSE(fired);
}
