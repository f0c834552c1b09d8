#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/dispatch/dispatch_source_timer.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_thread.h"

using namespace platform;

TEST(DispatchMainQueue, RunsBlocksInFifoOrderOnTheMainThread) {
    auto clock = VirtualClock::install();
    std::vector<int> order;
    bool allOnMain = true;
    for (int i = 0; i < 100; ++i) {
        DispatchQueue::main()->async([&, i] {
            order.push_back(i);
            allOnMain = allOnMain && NSThread::isMainThread() && DispatchQueue::main()->isCurrent();
        });
    }
    EXPECT_TRUE(order.empty());  // nothing runs before the loop does
    clock->runUntilIdle();
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(order[i], i);
    EXPECT_TRUE(allOnMain);
}

TEST(DispatchMainQueue, BlocksFromOtherThreadsArriveOnTheMainThread) {
    auto clock = VirtualClock::install();
    auto serial = DispatchQueue::createSerial("test.worker");
    std::vector<int> order;
    for (int i = 0; i < 10; ++i) {
        serial->async([&, i] { DispatchQueue::main()->async([&, i] { order.push_back(i); }); });
    }
    clock->runUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(DispatchAfter, DelayedBlocksRunByDeadlineThenInTheOrderGiven) {
    auto clock = VirtualClock::install();
    std::vector<std::string> order;
    auto main = DispatchQueue::main();
    main->asyncAfter(2.0, [&] { order.push_back("2s"); });
    main->asyncAfter(0.5, [&] { order.push_back("0.5s first"); });
    main->asyncAfter(0.5, [&] { order.push_back("0.5s second"); });
    main->async([&] { order.push_back("now"); });

    clock->advance(0.49);
    EXPECT_EQ(order, (std::vector<std::string>{"now"}));
    clock->advance(0.01);
    EXPECT_EQ(order, (std::vector<std::string>{"now", "0.5s first", "0.5s second"}));
    clock->advance(10);
    EXPECT_EQ(order.back(), "2s");
}

TEST(DispatchAfter, SerialQueueDelayedWorkFollowsTheVirtualClock) {
    auto clock = VirtualClock::install();
    auto serial = DispatchQueue::createSerial("test.delayed");
    std::atomic<int> ran = 0;
    serial->asyncAfter(30, [&] { ++ran; });
    clock->advance(29);
    EXPECT_EQ(ran, 0);
    clock->advance(1);
    EXPECT_EQ(ran, 1);  // advance settles the queue before it returns
}

TEST(DispatchSerialQueue, RunsInOrderOnOneThreadAndSyncWaits) {
    VirtualClock::install();
    auto serial = DispatchQueue::createSerial("test.serial");
    std::vector<int> order;
    std::set<std::thread::id> threads;
    for (int i = 0; i < 1000; ++i) {
        serial->async([&, i] {
            order.push_back(i);
            threads.insert(std::this_thread::get_id());
        });
    }
    serial->sync([] {});
    ASSERT_EQ(order.size(), 1000u);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(order[i], i);
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_FALSE(threads.count(std::this_thread::get_id()));
}

TEST(DispatchSerialQueue, SyncFromItsOwnThreadRunsAtOnce) {
    VirtualClock::install();
    auto serial = DispatchQueue::createSerial("test.reentrant");
    bool inner = false;
    serial->sync([&] {
        EXPECT_TRUE(serial->isCurrent());
        serial->sync([&] { inner = true; });
    });
    EXPECT_TRUE(inner);
    EXPECT_FALSE(serial->isCurrent());
}

// As on the platform, sync on an idle serial queue runs on the caller's thread, yet the queue stays
// serial: queued work waits for the block, and blocks of several callers never overlap.
TEST(DispatchSerialQueue, SyncOnAnIdleQueueRunsHereAndHoldsTheQueue) {
    auto clock = VirtualClock::install();
    auto serial = DispatchQueue::createSerial("test.inline");
    std::thread::id ranOn;
    bool insideSync = false;
    bool asyncRanInside = false;
    serial->sync([&] {
        ranOn = std::this_thread::get_id();
        EXPECT_TRUE(serial->isCurrent());
        insideSync = true;
        serial->async([&] { asyncRanInside = insideSync; });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // room for a worker to misbehave
        insideSync = false;
    });
    clock->runUntilIdle();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_FALSE(asyncRanInside);

    int counter = 0;  // unguarded: only the queue's exclusion protects it
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t) {
        callers.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) {
                serial->async([&] { ++counter; });
                serial->sync([&] { ++counter; });
            }
        });
    }
    for (auto& caller : callers) caller.join();
    clock->runUntilIdle();
    EXPECT_EQ(counter, 8000);
}

TEST(DispatchSerialQueue, ReleasedQueueFinishesTheWorkGivenToIt) {
    auto clock = VirtualClock::install();
    std::atomic<int> ran = 0;
    {
        auto serial = DispatchQueue::createSerial("test.released");
        for (int i = 0; i < 50; ++i) serial->async([&] { ++ran; });
    }
    clock->runUntilIdle();
    EXPECT_EQ(ran, 50);
}

TEST(DispatchGlobalQueue, RunsEveryBlockOffTheMainThread) {
    auto clock = VirtualClock::install();
    std::atomic<int> ran = 0;
    std::atomic<bool> anyOnMain = false;
    for (int i = 0; i < 200; ++i) {
        DispatchQueue::global()->async([&] {
            if (NSThread::isMainThread()) anyOnMain = true;
            ++ran;
        });
    }
    clock->runUntilIdle();
    EXPECT_EQ(ran, 200);
    EXPECT_FALSE(anyOnMain);
}

TEST(DispatchMainQueue, SyncFromAnotherThreadWaitsForTheMainThread) {
    auto clock = VirtualClock::install();
    std::atomic<bool> ranOnMain = false;
    std::atomic<bool> returned = false;
    DispatchQueue::global()->async([&] {
        DispatchQueue::main()->sync([&] { ranOnMain = NSThread::isMainThread(); });
        returned = true;
    });
    clock->runUntilIdle();  // serves the main queue while the worker waits
    EXPECT_TRUE(ranOnMain);
    EXPECT_TRUE(returned);
}

TEST(DispatchOnce, RunsOnceAcrossThreads) {
    DispatchOnceFlag flag;
    std::atomic<int> ran = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) threads.emplace_back([&] { dispatchOnce(flag, [&] { ++ran; }); });
    for (auto& t : threads) t.join();
    EXPECT_EQ(ran, 1);
}

TEST(DispatchTimerSource, OneShotFiresOnceAndANewScheduleReplacesAPendingOne) {
    auto clock = VirtualClock::install();
    auto queue = DispatchQueue::createSerial("test.alarm");
    std::atomic<int> fires = 0;
    auto timer = DispatchSourceTimer::create(queue);
    timer->setEventHandler([&] { ++fires; });
    timer->schedule(10);
    timer->resume();
    clock->advance(5);
    timer->schedule(10);  // now due at 15, not 10
    clock->advance(6);
    EXPECT_EQ(fires, 0);
    clock->advance(4);
    EXPECT_EQ(fires, 1);
    clock->advance(100);
    EXPECT_EQ(fires, 1);
}

TEST(DispatchTimerSource, RepeatingFiresEveryIntervalUntilCancelled) {
    auto clock = VirtualClock::install();
    std::atomic<int> fires = 0;
    auto timer = DispatchSourceTimer::create(DispatchQueue::main());
    timer->setEventHandler([&] { ++fires; });
    timer->schedule(1, 1);
    clock->advance(3);
    EXPECT_EQ(fires, 0);  // created suspended
    timer->resume();
    clock->advance(3);
    EXPECT_EQ(fires, 4);  // the overdue fires collapse into one at 3, then 4, 5, 6
    timer->cancel();
    clock->advance(3);
    EXPECT_EQ(fires, 4);
    EXPECT_TRUE(timer->isCancelled());
}

TEST(DispatchTimerSource, CancellingAfterTheClockWasReplacedLeavesTheNewClocksWorkAlone) {
    VirtualClock::install();
    auto timer = DispatchSourceTimer::create(DispatchQueue::main());
    timer->schedule(10);
    timer->resume();
    auto clock = VirtualClock::install();
    bool ran = false;
    DispatchQueue::main()->asyncAfter(1, [&] { ran = true; });
    timer->cancel();
    clock->advance(2);
    EXPECT_TRUE(ran);
}
