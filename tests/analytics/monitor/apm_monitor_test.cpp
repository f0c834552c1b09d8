#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_process_info.h"
#include "platform/vuziriutilities/vul_logger.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
using platform::Console;
using platform::Value;

namespace {

class MonitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("QUORVEL_STORE_INSTALLATION");
        platform::NSProcessInfo::processInfo().setArguments({"quorvel"});
    }

    // A monitor on the library's own stores, as the library hands them over when it starts.
    std::shared_ptr<APMMonitor> makeMonitor() {
        auto monitor = APMMonitor::initWithLibraryVersion(81500, &APMUserDefaults::monitorStores);
        clock->runUntilIdle();
        return monitor;
    }

    // The sample once a second has passed, so a period of 0 is over.
    std::optional<std::string> takeSample(APMMonitor& monitor) {
        clock->advance(1);
        return monitor.monitoringDataForDispatchWithSamplePeriod(0, 0);
    }

    quorvel::testing::TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
};

}  // namespace

TEST_F(MonitorTest, LevelOneMessagePrintsItsContextsAndSamplesThemEncoded) {
    auto monitor = makeMonitor();
    Console::Capture capture;
    monitor->logWithLevel(1, 13, "msg", APMMonitor::Contexts{nullptr, "abc", 42, 12345});
    clock->runUntilIdle();
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{"<RovUriduzuvare>[I-ACS000013] msg: (nil), abc, 42, 12345"}));
    EXPECT_EQ(takeSample(*monitor), "1:1E_81500:msg:,-,42,10000...99999");
}

TEST_F(MonitorTest, EncodedConsoleContextsHideTextAndExactNumbers) {
    auto monitor = makeMonitor();
    monitor->setEncodeContexts(true);
    Console::Capture capture;
    monitor->logWithLevel(3, 7, "msg", "secret", -12345, platform::NSError::errorWithDomain("D", 1));
    clock->runUntilIdle();
    EXPECT_EQ(capture.lines().at(0), "<RovUriduzuvare>[I-ACS000007] msg: -, -99999...-10000, D");
}

TEST_F(MonitorTest, NumberEncodingCoversTheWholeRangeWithoutOverflow) {
    EXPECT_EQ(APMMonitor::encodedStringWithContextObject(99), "99");
    EXPECT_EQ(APMMonitor::encodedStringWithContextObject(-99), "-99");
    EXPECT_EQ(APMMonitor::encodedStringWithContextObject(100), "100...999");
    EXPECT_EQ(APMMonitor::encodedStringWithContextObject(2.9), "2");
    EXPECT_EQ(APMMonitor::encodedStringWithContextObject(INT64_MAX),
              "1000000000000000000...9999999999999999999");
    EXPECT_EQ(APMMonitor::encodedStringWithContextObject(INT64_MIN),
              "-9999999999999999999...-1000000000000000000");
    EXPECT_EQ(APMMonitor::encodedStringWithContextObject(UINT64_MAX),
              "10000000000000000000...99999999999999999999");
    EXPECT_EQ(APMMonitor::encodedStringWithContextObject(1e300), "1000000000000000000...9999999999999999999");
    EXPECT_EQ(APMMonitor::encodedStringWithContextObject(APMLogContext::object("NSSet", "{(1)}")), "?");
}

TEST_F(MonitorTest, ErrorAndWarningLevelsTwoAndFiveAreSampledButNeverPrinted) {
    auto monitor = makeMonitor();
    platform::VULSetLoggerLevel(platform::VULLoggerLevel::Debug);
    Console::Capture capture;
    monitor->logWithLevel(2, 1, "silent error");
    monitor->logWithLevel(5, 2, "silent warning");
    clock->runUntilIdle();
    EXPECT_TRUE(capture.lines().empty());
    const auto sample = takeSample(*monitor);
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->substr(0, 2), "2:");
}

TEST_F(MonitorTest, VerboseLevelNeedsVerboseLoggingEvenWhenDebugIsPrinted) {
    auto monitor = makeMonitor();
    platform::VULSetLoggerLevel(platform::VULLoggerLevel::Debug);
    Console::Capture capture;
    monitor->logWithLevel(8, 5, "verbose line");
    clock->runUntilIdle();
    EXPECT_FALSE(capture.contains("verbose line"));

    monitor->setVerboseLoggingEnabled(true);
    monitor->logWithLevel(8, 5, "verbose line");
    clock->runUntilIdle();
    EXPECT_TRUE(capture.contains("[I-ACS000005] verbose line"));
    EXPECT_EQ(monitor->logLevel(), 8);
}

TEST_F(MonitorTest, MissingMessagesAreNamedAndPercentSignsPrintedUnformattedUnderTheCurrentTag) {
    auto monitor = makeMonitor();
    Console::Capture capture;
    monitor->setLogTag("<Custom>");
    monitor->logWithLevel(1, 1, std::nullopt);
    monitor->logWithLevel(1, 2, "");
    monitor->logWithLevel(1, 9, "value %d and 100%");
    clock->runUntilIdle();
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"<Custom>[I-ACS000001] (Message was nil)",
                                                         "<Custom>[I-ACS000002] (Message was empty)",
                                                         "<Custom>[I-ACS000009] value %d and 100%"}));
}

TEST_F(MonitorTest, DebugModeSwitchesTheConsoleLevelAndTheStoredSwitch) {
    auto monitor = makeMonitor();
    Console::Capture capture;
    monitor->setDebugModeEnabled(true);
    clock->runUntilIdle();
    EXPECT_TRUE(monitor->isDebugModeEnabled());
    EXPECT_EQ(monitor->logLevel(), 7);
    EXPECT_EQ(platform::VULLoggerMaxLevel(), platform::VULLoggerLevel::Debug);
    EXPECT_TRUE(APMUserDefaults::standardUserDefaults()->boolForKey(APMMonitor::kDebugModeKey));
    EXPECT_TRUE(capture.contains("<RovUriduzuvare>[I-ACS024000] Debug mode is on"));

    monitor->setDebugModeEnabled(false);
    EXPECT_FALSE(monitor->isDebugModeEnabled());
    EXPECT_EQ(monitor->logLevel(), 6);
    EXPECT_EQ(platform::VULLoggerMaxLevel(), platform::VULLoggerLevel::Notice);
    EXPECT_FALSE(APMUserDefaults::standardUserDefaults()->objectForKey(APMMonitor::kDebugModeKey));
}

TEST_F(MonitorTest, DisablingLaunchArgumentWinsOverStoredSwitchAndEnablingArgument) {
    APMUserDefaults::standardUserDefaults()->setBool(true, APMMonitor::kDebugModeKey);
    platform::NSProcessInfo::processInfo().setArguments({"quorvel", "-DZRDebugEnabled", "-DZRDebugDisabled"});
    auto monitor = makeMonitor();
    EXPECT_FALSE(monitor->isDebugModeEnabled());
    EXPECT_FALSE(APMUserDefaults::standardUserDefaults()->objectForKey(APMMonitor::kDebugModeKey));
}

TEST_F(MonitorTest, StoredSwitchesOrLaunchArgumentsTurnTheModesOn) {
    APMUserDefaults::standardUserDefaults()->setBool(true, APMMonitor::kDebugModeKey);
    platform::NSProcessInfo::processInfo().setArguments({"quorvel", "-APMAnalyticsVerboseLoggingEnabled"});
    auto monitor = makeMonitor();
    EXPECT_TRUE(monitor->isDebugModeEnabled());
    EXPECT_TRUE(monitor->isVerboseLoggingEnabled());

    platform::NSProcessInfo::processInfo().setArguments(
        {"quorvel", "-ROVEruzovazaVerboseLoggingEnabled", "-APMAnalyticsVerboseLoggingDisabled"});
    EXPECT_FALSE(makeMonitor()->isVerboseLoggingEnabled());
}

TEST_F(MonitorTest, StoreInstallationIgnoresSwitchesAndRefusesDebugMode) {
    ::setenv("QUORVEL_STORE_INSTALLATION", "1", 1);
    APMUserDefaults::standardUserDefaults()->setBool(true, APMMonitor::kDebugModeKey);
    platform::NSProcessInfo::processInfo().setArguments({"quorvel", "-APMAnalyticsDebugEnabled"});
    auto monitor = makeMonitor();
    EXPECT_FALSE(monitor->isDebugModeEnabled());
    monitor->setDebugModeEnabled(true);
    EXPECT_FALSE(monitor->isDebugModeEnabled());
    EXPECT_EQ(monitor->logLevel(), 6);
    ::unsetenv("QUORVEL_STORE_INSTALLATION");
}

TEST_F(MonitorTest, MigrationMovesTheSampleFromTheStandardStoreToTheMonitorSuite) {
    const auto entry =
        APMMonitoringSampledData::sampledDataEntryWithKey("1E_81500:old", platform::NSDate::now(), "", 4);
    auto standard = APMUserDefaults::standardUserDefaults();
    standard->setObject(Value(entry), APMMonitor::kHealthMonitorKey);
    auto monitor = makeMonitor();

    APMUserDefaults suite(APMMonitor::kMonitorSuiteName);
    EXPECT_EQ(suite.integerForKey(APMMonitor::kMonitorMigrationStateKey), 2);
    EXPECT_EQ(suite.arrayForKey(APMMonitor::kHealthMonitorKey), entry);
    EXPECT_FALSE(standard->objectForKey(APMMonitor::kHealthMonitorKey));
    // The migrated sample is the one the monitor goes on with.
    EXPECT_EQ(takeSample(*monitor), "4:1E_81500:old");
}

TEST_F(MonitorTest, SampleSurvivesARestartAndClearingForgetsIt) {
    auto first = makeMonitor();
    first->logWithLevel(4, 3, "kept", 7);
    clock->runUntilIdle();
    first.reset();
    auto restarted = makeMonitor();
    EXPECT_EQ(takeSample(*restarted), "1:1W_81500:kept:7");
    EXPECT_FALSE(APMUserDefaults(APMMonitor::kMonitorSuiteName).objectForKey(APMMonitor::kHealthMonitorKey));

    restarted->logWithLevel(1, 3, "gone");
    restarted->clearMonitoringData();
    EXPECT_EQ(takeSample(*restarted), std::nullopt);
}

TEST_F(MonitorTest, ErrorContextsAreAddedToTheSample) {
    auto monitor = makeMonitor();
    auto error = platform::NSError::errorWithDomain("com.vuziri.vmp.measurement.ErrorDomain", 3,
                                                    {{"APMMonitorContext", "open,14"}});
    monitor->logWithLevel(1, 3, "Database failed", error);
    EXPECT_EQ(takeSample(*monitor),
              "1:1E_81500:Database failed:com.vuziri.vmp.measurement.ErrorDomain,open,14");
}

TEST_F(MonitorTest, ExceptionSymbolIsTheFirstLibraryFrameAfterTheTwoInnermost) {
    const platform::NSException exception(
        "NSRangeException", "out of range",
        {"0   CoreFoundation   0x01 __exceptionPreprocess + 1", "1   libobjc   0x02 objc_exception_throw + 2",
         "2   App   0x03 -[Other thing] + 3", "3   App   0x04 -[APMDatabase insert:] + 4",
         "4   App   0x05 APMFunction + 5"});
    EXPECT_EQ(APMMonitor::lastAPMSymbolFromException(&exception), "-[APMDatabase insert:]");
    EXPECT_EQ(APMMonitor::stringWithLogMessage("Exception", 1, {exception}, false),
              "Exception: -[APMDatabase insert:]: out of range");
    const platform::NSException bare("NSGenericException", "why");
    EXPECT_EQ(APMMonitor::lastAPMSymbolFromException(&bare), "NSGenericException");
}

TEST_F(MonitorTest, CallsFromManyThreadsKeepTheirOrderAndLoseNothing) {
    auto monitor = makeMonitor();
    Console::Capture capture;
    constexpr int kThreads = 8;
    constexpr int kMessages = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&monitor, t] {
            for (int n = 0; n < kMessages; ++n) {
                monitor->logWithLevel(4, t, "thread " + std::to_string(t) + " message " + std::to_string(n),
                                      n);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    clock->runUntilIdle();

    std::vector<int> next(kThreads, 0);
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kMessages));
    for (const auto& line : lines) {
        int thread = -1;
        int message = -1;
        ASSERT_EQ(
            std::sscanf(line.c_str(), "<RovUriduzuvare>[I-ACS%*d] thread %d message %d", &thread, &message),
            2)
            << line;
        EXPECT_EQ(message, next[thread]++) << line;
    }
    const auto sample = takeSample(*monitor);
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->substr(0, sample->find(':')), std::to_string(kThreads * kMessages));
}
