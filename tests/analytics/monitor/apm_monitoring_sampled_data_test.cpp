#include <gtest/gtest.h>

#include <deque>

#include "analytics/monitor/apm_monitoring_sampled_data.h"
#include "platform/foundation/clock.h"

using namespace analytics;
using platform::Value;

namespace {

// Answers the queued draws in order, so a test decides which message the reservoir keeps.
APMMonitoringSampledData::RandomUniform draws(std::deque<std::uint32_t> answers) {
    return [answers = std::move(answers)](std::uint32_t bound) mutable {
        EXPECT_FALSE(answers.empty());
        const std::uint32_t answer = answers.front();
        answers.pop_front();
        EXPECT_LT(answer, bound);
        return answer;
    };
}

}  // namespace

TEST(APMMonitoringSampledData, KeepsOneOfThreeMessagesWithTheFirstTimestamp) {
    auto clock = platform::VirtualClock::install();
    const double firstTime = platform::NSDate::now().timeIntervalSinceReferenceDate();
    // Draw 0 for the second message (it replaces the first), 1 for the third (kept out).
    APMMonitoringSampledData sample(std::nullopt, draws({0, 1}));
    sample.insertOrUpdateSampledDataWithKey("1E_81500:first", "");
    clock->advance(10);
    sample.insertOrUpdateSampledDataWithKey("1E_81500:second", "-,42");
    sample.insertOrUpdateSampledDataWithKey("1W_81500:third", "");

    const auto stored = sample.sampledData();
    ASSERT_TRUE(stored);
    EXPECT_EQ((*stored)[1], Value(3));
    EXPECT_EQ((*stored)[3].dateValue()->timeIntervalSinceReferenceDate(), firstTime);

    EXPECT_EQ(sample.monitoringDataForDispatchWithSamplePeriod(60, 0), std::nullopt);  // period not over
    clock->advance(60);
    EXPECT_EQ(sample.monitoringDataForDispatchWithSamplePeriod(60, 0), "3:1E_81500:second:-,42");
    EXPECT_FALSE(sample.sampledData());
}

TEST(APMMonitoringSampledData, EachMessageIsKeptAboutAsOftenAsAnother) {
    platform::VirtualClock::install();
    int kept[3] = {0, 0, 0};
    for (int round = 0; round < 3000; ++round) {
        APMMonitoringSampledData sample(std::nullopt);
        for (int i = 0; i < 3; ++i) sample.insertOrUpdateSampledDataWithKey("key" + std::to_string(i), "");
        ++kept[(*sample.sampledData())[2].stringValue()->back() - '0'];
    }
    for (int count : kept) EXPECT_GT(count, 800);  // one third is 1000
}

TEST(APMMonitoringSampledData, EmptySlotAnswersZeroOnlyAfterALongQuietPeriod) {
    platform::VirtualClock::install();
    APMMonitoringSampledData sample(std::nullopt);
    const double now = platform::NSDate::now().timeIntervalSince1970();
    EXPECT_EQ(sample.monitoringDataForDispatchWithSamplePeriod(86400, 0), std::nullopt);
    EXPECT_EQ(sample.monitoringDataForDispatchWithSamplePeriod(86400, now - 3600), std::nullopt);
    EXPECT_EQ(sample.monitoringDataForDispatchWithSamplePeriod(86400, now - 90000), "0:");
}

TEST(APMMonitoringSampledData, OnlyAValidStoredArrayIsTakenOver) {
    platform::VirtualClock::install();
    const auto entry =
        APMMonitoringSampledData::sampledDataEntryWithKey("1E_1:m", platform::NSDate(5), "", 2);
    EXPECT_TRUE(APMMonitoringSampledData::isValidUserDefaultsArrayEntry(Value(entry)));
    EXPECT_TRUE(APMMonitoringSampledData(Value(entry)).sampledData());

    auto wrong = entry;
    wrong[3] = Value("not a date");
    EXPECT_FALSE(APMMonitoringSampledData(Value(wrong)).sampledData());
    EXPECT_FALSE(
        APMMonitoringSampledData(Value(Value::Array{entry.begin(), entry.begin() + 3})).sampledData());
    EXPECT_FALSE(APMMonitoringSampledData(Value("text")).sampledData());
}

TEST(APMMonitoringSampledData, EmptyContextLeavesNoTrailingColon) {
    EXPECT_EQ(APMMonitoringSampledData::monitoringURLParamWithKey("1E_81500:msg", 4, ""), "4:1E_81500:msg");
    EXPECT_EQ(APMMonitoringSampledData::monitoringURLParamWithKey("1E_81500:msg", 4, ",-"),
              "4:1E_81500:msg:,-");
}
