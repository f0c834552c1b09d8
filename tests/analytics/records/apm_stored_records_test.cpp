#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/records/apm_app_metadata.h"
#include "analytics/records/apm_daily_counts.h"
#include "analytics/records/apm_event_aggregates.h"
#include "analytics/records/apm_raw_event_data.h"
#include "analytics/records/apm_user_attribute.h"
#include "tests/analytics/messages/proto_test_data.h"
#include "tests/analytics/records/records_test_support.h"

using namespace analytics;
using namespace records_test;
using AttributeField = apmpb_fields::UserAttribute;

namespace {

class StoredRecords : public RecordsTest {};

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct Counts {
    std::int32_t day, conversions, all, publicEvents, errors, realtime;
    bool operator==(const Counts&) const = default;
};

Counts counts(const APMDailyCounts& daily) {
    return {daily.day(), daily.conversionsCount(), daily.allEventsCount(), daily.publicEventsCount(),
            daily.errorEventsCount(), daily.realtimeCount()};
}

}  // namespace

TEST_F(StoredRecords, UserAttributesEncodeTheirValueKind) {
    const auto level = APMUserAttribute::initWithOrigin("app", "plan_level", integer(42), 12.3456);
    ASSERT_TRUE(level);
    EXPECT_TRUE(level->isPublic());
    EXPECT_EQ(level->protoUserAttribute()->protoBuffer(), proto_test::golden("user_attribute_record"));

    const auto items = APMUserAttribute::initWithOrigin("auto", "_items", APMValue::initWithArray(APMValue::Array{}), 1);
    ASSERT_TRUE(items);
    EXPECT_FALSE(items->isPublic());
    const auto message = items->protoUserAttribute();
    EXPECT_EQ(APMNanoGetString(message.get(), AttributeField::kName), "_items");
    EXPECT_EQ(APMNanoGetInt64(message.get(), AttributeField::kSetTimestampMillis), 1000);
    for (const auto index : {AttributeField::kStringValue, AttributeField::kIntValue, AttributeField::kDoubleValue})
        EXPECT_FALSE(APMNanoHasField(message.get(), index));

    EXPECT_FALSE(APMUserAttribute::initWithOrigin("app", "bad name", integer(1), 0));
    EXPECT_FALSE(APMUserAttribute::initWithOrigin("app", "plan", text(repeat("v", 37)), 0));
    EXPECT_TRUE(APMUserAttribute::initWithOrigin("app", "_id", text(repeat("v", 100)), 0));
}

TEST_F(StoredRecords, RawEventsNeedAnEventAndARow) {
    const auto event = APMEvent::initWithOrigin("app", false, "_e", 1, 0, {});
    EXPECT_TRUE(APMRawEventData::initWithRawEvent(event, 0, 7));
    EXPECT_FALSE(APMRawEventData::initWithRawEvent(event, -1, 7));
    EXPECT_FALSE(APMRawEventData::initWithRawEvent(std::nullopt, 3, 7));
    EXPECT_EQ(APMRawEventData::initWithRawEvent(event, 3, -9)->metadataFingerprint(), -9);
}

TEST_F(StoredRecords, CountersStartAgainAtZeroPastTheLargest32BitValue) {
    auto aggregates = APMEventAggregates::initWithName("_e", kMax, kMax - 1, kMax, 5);
    ASSERT_TRUE(aggregates);
    aggregates->incrementLifetimeCount();
    aggregates->incrementCurrentBundleCount();
    aggregates->incrementCurrentSessionCount();
    EXPECT_EQ(aggregates->lifetimeCount(), 0);
    EXPECT_EQ(aggregates->currentBundleCount(), kMax);
    EXPECT_EQ(aggregates->currentSessionCount(), 0);
    EXPECT_EQ(aggregates->lastSamplingRate(), 1);
    EXPECT_FALSE(aggregates->lastSampledComplexEventID());
    EXPECT_EQ(aggregates->lastBundledDay(), 0);
    EXPECT_FALSE(APMEventAggregates::initWithName("_e", 0, -1, 0, 0));
    EXPECT_FALSE(APMEventAggregates::initWithName("", 0, 0, 0, 0));

    auto metadata = APMAppMetadata::initWithLastBundleIndex(kMax, 1, 2);
    ASSERT_TRUE(metadata);
    metadata->incrementLastBundleIndex();
    EXPECT_EQ(metadata->lastBundleIndex(), 0);
    metadata->incrementLastBundleIndex();
    EXPECT_EQ(metadata->lastBundleIndex(), 1);
    EXPECT_FALSE(APMAppMetadata::initWithLastBundleIndex(-1, 0, 0));
}

TEST_F(StoredRecords, DailyCountsStartAfreshOnAnotherDay) {
    auto daily = APMDailyCounts::initWithDay(5, 1, 10, 4, 2, 3);
    daily.incrementCountsForCurrentDay(5, true, true, 2);
    EXPECT_EQ(counts(daily), (Counts{5, 2, 12, 6, 2, 3}));
    daily.incrementCountsForCurrentDay(6, true, false, 3);
    EXPECT_EQ(counts(daily), (Counts{6, 0, 3, 3, 0, 0}));
    daily.incrementErrorEventsCountForCurrentDay(6);
    EXPECT_EQ(counts(daily), (Counts{6, 0, 4, 3, 1, 0}));
    daily.incrementRealtimeCountsForCurrentDay(7);
    EXPECT_EQ(counts(daily), (Counts{7, 0, 0, 0, 0, 1}));
    daily.decrementAllEventsCount();
    EXPECT_EQ(daily.allEventsCount(), 0);
    daily.incrementErrorEventsCountForCurrentDay(8);
    EXPECT_EQ(counts(daily), (Counts{8, 0, 1, 0, 1, 0}));

    // Daily counts stop at the end of their range instead of overflowing.
    auto full = APMDailyCounts::initWithDay(1, kMax, kMax, kMax, 0, 0);
    full.incrementCountsForCurrentDay(1, true, true, 5);
    EXPECT_EQ(counts(full), (Counts{1, kMax, kMax, kMax, 0, 0}));
}
