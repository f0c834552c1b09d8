#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/dispatch/ns_operation_queue.h"
#include "platform/foundation/clock.h"

using namespace platform;

TEST(NSOperationQueue, HeldOperationsRunInOrderOnTheUnderlyingQueueOnceReleased) {
    auto clock = VirtualClock::install();
    auto underlying = DispatchQueue::createSerial("test.underlying");
    NSOperationQueue queue("test.operations");
    queue.setUnderlyingQueue(underlying);
    queue.setSuspended(true);
    std::vector<int> order;
    bool allOnUnderlying = true;
    for (int i = 0; i < 50; ++i) {
        queue.addOperationWithBlock([&, i] {
            order.push_back(i);
            allOnUnderlying = allOnUnderlying && underlying->isCurrent();
        });
    }
    clock->runUntilIdle();
    EXPECT_TRUE(order.empty());
    EXPECT_TRUE(queue.isSuspended());

    queue.setSuspended(false);
    queue.addOperationWithBlock([&] { order.push_back(50); });
    clock->runUntilIdle();
    ASSERT_EQ(order.size(), 51u);
    for (int i = 0; i <= 50; ++i) EXPECT_EQ(order[i], i);
    EXPECT_TRUE(allOnUnderlying);
}

// Operations added from other threads while the queue is released never overtake the held ones.
TEST(NSOperationQueue, ReleasingWhileOthersAddKeepsEveryThreadsOrder) {
    auto clock = VirtualClock::install();
    NSOperationQueue queue("test.operations");
    queue.setSuspended(true);
    constexpr int kThreads = 4, kEach = 500;
    std::vector<std::vector<int>> seen(kThreads);  // written only on the queue's one thread
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) queue.addOperationWithBlock([&, t, i] { seen[t].push_back(i); });
        });
    }
    queue.setSuspended(false);
    for (auto& thread : threads) thread.join();
    clock->runUntilIdle();
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[t].size(), static_cast<std::size_t>(kEach));
        for (int i = 0; i < kEach; ++i) EXPECT_EQ(seen[t][i], i);
    }
}
