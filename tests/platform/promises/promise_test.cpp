#include "platform/promises/promise.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/foundation/clock.h"

using namespace platform;

TEST(Promises, AContinuationRunsOnItsQueueOnceTheValueArrivesFromAnotherThread) {
    auto clock = VirtualClock::install();
    std::vector<std::string> order;
    std::thread answering;
    Promise<int>(promisesDefaultQueue(),
                 [&](auto fulfill, auto) {
                     order.push_back("work");
                     answering = std::thread([fulfill] { fulfill(41); });
                 })
        .then(promisesDefaultQueue(), [&](int value) { return value + 1; })
        .then(promisesDefaultQueue(), [&](int value) {
            EXPECT_TRUE(DispatchQueue::main()->isCurrent());
            order.push_back("then " + std::to_string(value));
        });
    EXPECT_TRUE(order.empty());  // the work itself waits for its queue
    clock->runUntilIdle();
    answering.join();
    clock->runUntilIdle();
    EXPECT_EQ(order, (std::vector<std::string>{"work", "then 42"}));
}

TEST(Promises, ARejectionSkipsTheContinuationsAndASecondAnswerIsIgnored) {
    auto clock = VirtualClock::install();
    int continued = 0;
    Promise<int>(promisesDefaultQueue(),
                 [](auto fulfill, auto reject) {
                     reject("no settings");
                     fulfill(1);
                 })
        .then(promisesDefaultQueue(), [&](int) { ++continued; });
    clock->runUntilIdle();
    EXPECT_EQ(continued, 0);
}
