#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>

#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_alarm.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/monitor/apm_monitor.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_thread.h"
#include "platform/vuziriutilities/vul_logger.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
using platform::Console;

namespace {

class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override {
        APMMeasurement::monitor();
        clock->runUntilIdle();
        // The alarm's lines are debug lines.
        platform::VULSetLoggerLevel(platform::VULLoggerLevel::Debug);
    }

    // The console lines with the given message code.
    std::vector<std::string> linesWithCode(const std::string& code) {
        std::vector<std::string> found;
        for (const auto& line : capture.lines()) {
            if (line.find("[I-ACS" + code + "]") != std::string::npos) found.push_back(line);
        }
        return found;
    }

    quorvel::testing::TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    Console::Capture capture;
};

}  // namespace

TEST_F(SchedulerTest, ThrowingBlockIsLoggedAndLaterBlocksStillRun) {
    APMScheduler scheduler("com.vuziri.dzra.worker");
    std::vector<int> ran;
    scheduler.scheduleOnWorkerQueueBlockID("APMMeasurement:1", [&] { ran.push_back(1); });
    scheduler.scheduleOnWorkerQueueBlockID("APMMeasurement:2", [] {
        platform::NSException::raise("NSInvalidArgumentException", "bad argument");
    });
    scheduler.scheduleOnWorkerQueueBlockID("APMMeasurement:3", [] { throw std::runtime_error("not ours"); });
    scheduler.scheduleOnWorkerQueueBlockID("APMMeasurement:4", [&] { ran.push_back(4); });
    clock->runUntilIdle();

    EXPECT_EQ(ran, (std::vector<int>{1, 4}));
    const auto logged = linesWithCode("030000");
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(
        logged[0],
        "<RovUriduzuvare>[I-ACS030000] Exception on worker queue. Block ID=APMMeasurement:2. Exception: "
        "NSInvalidArgumentException: bad argument");
    EXPECT_NE(logged[1].find("Block ID=APMMeasurement:3. Exception: "), std::string::npos);
}

TEST_F(SchedulerTest, ThrowingSyncBlockLogsTheExceptionThenTheFailedTask) {
    APMScheduler scheduler("com.vuziri.dzra.worker");
    scheduler.dispatchSyncOnWorkerQueueBlockID("sync",
                                               [] { platform::NSException::raise("E", "sync failure"); });
    clock->runUntilIdle();
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "<RovUriduzuvare>[I-ACS030003] Exception on worker queue when processing sync block. "
              "Block ID=sync. Exception: E: sync failure");
    EXPECT_EQ(lines[1], "<RovUriduzuvare>[I-ACS030004] Synchronous task failed. Block ID=sync");
}

TEST_F(SchedulerTest, SyncBlockRunsOnTheWorkerQueueBeforeReturning) {
    APMScheduler scheduler("com.vuziri.dzra.worker");
    bool onWorker = false;
    scheduler.dispatchSyncOnWorkerQueueBlockID("sync",
                                               [&] { onWorker = scheduler.workerQueue()->isCurrent(); });
    EXPECT_TRUE(onWorker);
    clock->runUntilIdle();
    EXPECT_TRUE(capture.lines().empty());
}

TEST_F(SchedulerTest, EmptyBlocksAreRefusedWithTheirCodes) {
    APMScheduler scheduler("com.vuziri.dzra.worker");
    scheduler.scheduleOnWorkerQueueBlockID("a", nullptr);
    scheduler.dispatchSyncOnWorkerQueueBlockID("b", nullptr);
    clock->runUntilIdle();
    EXPECT_TRUE(
        capture.contains("[I-ACS030005] Nil block dispatched asynchronously on worker queue. Block ID=a."));
    EXPECT_TRUE(
        capture.contains("[I-ACS030002] Nil block dispatched synchronously on worker queue. Block ID=b."));
}

TEST_F(SchedulerTest, BackgroundThreadCheckComplainsOnlyOnTheMainThread) {
    EXPECT_FALSE(APMScheduler::checkOnBackgroundThreadWithMethodName(""));
    std::atomic<bool> onWorker = false;
    auto queue = platform::DispatchQueue::createSerial("worker");
    queue->async([&] { onWorker = APMScheduler::checkOnBackgroundThreadWithMethodName("upload"); });
    clock->runUntilIdle();
    EXPECT_TRUE(onWorker);
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{"<RovUriduzuvare>[I-ACS030001] Method <empty method name> "
                                        "should execute on background thread: (nil)"}));
}

TEST_F(SchedulerTest, SecondRunAfterDelayReplacesThePendingOne) {
    auto queue = platform::DispatchQueue::createSerial("com.vuziri.dzra.worker");
    auto alarm = std::make_shared<APMAlarm>(queue, "Measurement timer");
    std::vector<std::string> ran;
    alarm->runAfterDelay(5, [&] { ran.push_back("first"); });
    alarm->runAfterDelay(10, [&] { ran.push_back("second"); });
    EXPECT_EQ(alarm->scheduledTimestamp()->timeIntervalSinceReferenceDate(), clock->now() + 10);

    clock->advance(9);
    EXPECT_TRUE(ran.empty());
    clock->advance(1);
    EXPECT_EQ(ran, (std::vector<std::string>{"second"}));
    EXPECT_FALSE(alarm->scheduledTimestamp());
    EXPECT_FALSE(alarm->hasActiveTimer());

    std::vector<std::string> alarmLines;
    for (const auto& line : capture.lines()) {
        if (line.find("Measurement timer") != std::string::npos) alarmLines.push_back(line);
    }
    EXPECT_EQ(alarmLines,
              (std::vector<std::string>{
                  "<RovUriduzuvare>[I-ACS002002] Measurement timer scheduled to fire in approx. (s): 5",
                  "<RovUriduzuvare>[I-ACS002003] Measurement timer canceled",
                  "<RovUriduzuvare>[I-ACS002002] Measurement timer scheduled to fire in approx. (s): 10",
                  "<RovUriduzuvare>[I-ACS002001] Measurement timer fired",
                  "<RovUriduzuvare>[I-ACS002003] Measurement timer canceled",
              }));
}

TEST_F(SchedulerTest, ZeroDelayFiresOnceTheQueueIsFreeAndIdleCancelIsSilent) {
    auto queue = platform::DispatchQueue::createSerial("alarm.queue");
    auto alarm = std::make_shared<APMAlarm>(queue, "");
    EXPECT_EQ(alarm->name(), "Timer");
    alarm->cancel();
    EXPECT_TRUE(capture.lines().empty());

    std::atomic<bool> fired = false;
    alarm->runAfterDelay(0, [&] { fired = true; });
    EXPECT_TRUE(alarm->hasActiveTimer());
    clock->advance(0);  // due at once: no time has to pass
    EXPECT_TRUE(fired);

    // A negative or NaN delay is treated as none.
    fired = false;
    alarm->runAfterDelay(std::nan(""), [&] { fired = true; });
    EXPECT_EQ(alarm->scheduledTimestamp()->timeIntervalSinceReferenceDate(), clock->now());
    clock->advance(0);
    EXPECT_TRUE(fired);
}

TEST_F(SchedulerTest, CancelledAlarmNeverRunsAndEmptyBlockIsRefused) {
    auto queue = platform::DispatchQueue::createSerial("alarm.queue");
    auto alarm = std::make_shared<APMAlarm>(queue, "Upload");
    bool ran = false;
    alarm->runAfterDelay(1, [&] { ran = true; });
    alarm->cancel();
    alarm->runAfterDelay(1, nullptr);
    clock->advance(5);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(capture.contains("[I-ACS002000] Upload tried to schedule an empty block"));
}
