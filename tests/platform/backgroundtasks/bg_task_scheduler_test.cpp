#include "platform/backgroundtasks/bg_task_scheduler.h"

#include <gtest/gtest.h>

#include "platform/foundation/ns_run_loop.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/application/ui_application_delegate.h"
#include "tests/support/fresh_application.h"

using namespace platform;

namespace {

constexpr const char* kTask = "org.quorvel.test.refresh";

// A launched app and the shared scheduler with one registered task that keeps each run it is given.
struct SchedulerTest : ::testing::Test {
    SchedulerTest() {
        app.launch(std::make_shared<UIApplicationDelegate>());
        scheduler.registerForTaskWithIdentifier(kTask, DispatchQueue::main(), [this](std::shared_ptr<BGTask> task) {
            runs.push_back(task);
            if (completeAtOnce) task->setTaskCompletedWithSuccess(true);
        });
    }
    ~SchedulerTest() override { BGTaskScheduler::resetSharedForTesting(); }

    bool submit() { return scheduler.submitTaskRequest(BGAppRefreshTaskRequest(kTask), nullptr); }
    void goToBackground() {
        app.enterBackground();
        clock->runUntilIdle();
    }

    quorvel::testing::FreshApplication fresh;
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    UIApplication& app = UIApplication::sharedApplication();
    BGTaskScheduler& scheduler = BGTaskScheduler::sharedScheduler();
    std::vector<std::shared_ptr<BGTask>> runs;
    bool completeAtOnce = true;
};

}  // namespace

TEST_F(SchedulerTest, AnUnregisteredTaskCannotBeSubmitted) {
    std::shared_ptr<NSError> error;
    EXPECT_FALSE(scheduler.submitTaskRequest(BGAppRefreshTaskRequest("unknown"), &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), BGTaskScheduler::kErrorCodeNotPermitted);
    EXPECT_FALSE(scheduler.registerForTaskWithIdentifier(kTask, nullptr, [](auto) {}));
}

TEST_F(SchedulerTest, ARequestWakesTheSuspendedAppOnceAfterFifteenMinutes) {
    goToBackground();
    ASSERT_TRUE(submit());
    ASSERT_TRUE(submit());  // replaces the first: one run
    ASSERT_TRUE(app.isSuspended());
    clock->advance(BGTaskScheduler::kEarliestDelay - 1);
    EXPECT_TRUE(runs.empty());
    clock->advance(1);
    clock->runUntilIdle();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]->success(), true);
    EXPECT_TRUE(app.isSuspended());  // asleep again once the task ended
    EXPECT_TRUE(scheduler.pendingTaskRequests().empty());
    clock->advance(3600);
    EXPECT_EQ(runs.size(), 1u);
}

TEST_F(SchedulerTest, ARequestDueWhileInFrontWaitsForTheBackground) {
    ASSERT_TRUE(submit());
    clock->advance(BGTaskScheduler::kEarliestDelay + 60);
    EXPECT_TRUE(runs.empty());
    goToBackground();
    EXPECT_EQ(runs.size(), 1u);
}

TEST_F(SchedulerTest, ATaskThatDoesNotEndExpiresAfterThirtySecondsAndTheAppSleepsAgain) {
    completeAtOnce = false;
    goToBackground();
    ASSERT_TRUE(submit());
    auto task = scheduler.launchPendingTask(kTask);
    ASSERT_TRUE(task);
    clock->runUntilIdle();
    bool expiring = false;
    task->setExpirationHandler([&] { expiring = true; });
    EXPECT_FALSE(app.isSuspended());
    clock->advance(BGTaskScheduler::kRunningTime - 1);
    EXPECT_FALSE(expiring);
    clock->advance(1);
    clock->runUntilIdle();
    EXPECT_TRUE(expiring);
    EXPECT_EQ(task->success(), false);
    EXPECT_TRUE(app.isSuspended());
    task->setTaskCompletedWithSuccess(true);  // too late
    EXPECT_EQ(task->success(), false);
}

TEST_F(SchedulerTest, NothingRunsAfterTermination) {
    goToBackground();
    app.terminate();
    ASSERT_TRUE(submit());
    clock->advance(BGTaskScheduler::kEarliestDelay * 2);
    EXPECT_TRUE(runs.empty());
    EXPECT_FALSE(scheduler.launchPendingTask(kTask));
}
