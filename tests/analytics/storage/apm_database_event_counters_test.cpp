#include <gtest/gtest.h>

#include <limits>

#include "tests/analytics/storage/database_test_support.h"

using namespace analytics;
using quorvel::testing::describe;
using quorvel::testing::runOnOwnConnection;

namespace {

class EventCounters : public quorvel::testing::OpenMeasurementDatabaseTest {
protected:
    static APMEventAggregates aggregates(const std::string& name, std::int32_t lifetime = 1) {
        return *APMEventAggregates::initWithName(name, lifetime, 2, 3, 1700000000.25);
    }
};

}  // namespace

TEST_F(EventCounters, EveryFieldRoundTrips) {
    auto written = aggregates("level_up", std::numeric_limits<std::int32_t>::max());
    written.setLastBundledTimestamp(1700000100.5);
    written.setLastSampledComplexEventID(std::int64_t{1} << 40);
    written.setLastSamplingRate(25);
    written.setLastExemptFromSampling(true);
    written.setLastBundledDay(19700);
    ASSERT_TRUE(database->updateEventAggregates(written, &error)) << describe(error);

    const auto read = database->eventAggregatesWithName("level_up", &error);
    ASSERT_TRUE(read) << describe(error);
    EXPECT_EQ(read->lifetimeCount(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(read->currentBundleCount(), 2);
    EXPECT_EQ(read->currentSessionCount(), 3);
    EXPECT_EQ(read->lastFireTimestamp(), 1700000000.25);
    EXPECT_EQ(read->lastBundledTimestamp(), 1700000100.5);
    EXPECT_EQ(read->lastSampledComplexEventID(), std::int64_t{1} << 40);
    EXPECT_EQ(read->lastSamplingRate(), 25);
    EXPECT_TRUE(read->lastExemptFromSampling());
    EXPECT_EQ(read->lastBundledDay(), 19700);

    // A record without a complex event ID replaces the stored one with none.
    ASSERT_TRUE(database->updateEventAggregates(aggregates("level_up"), &error));
    EXPECT_FALSE(database->eventAggregatesWithName("level_up", &error)->lastSampledComplexEventID());
    EXPECT_FALSE(database->eventAggregatesWithName("unknown", &error));
    EXPECT_FALSE(error);
}

TEST_F(EventCounters, RowsOfAnOlderVersionReadTheAddedColumnsAsDefaults) {
    ASSERT_TRUE(runOnOwnConnection(path,
                                   "INSERT INTO events (name, lifetime_count, current_bundle_count, "
                                   "last_fire_timestamp) VALUES ('_s', 4, 1, 99.5)"));
    const auto read = database->eventAggregatesWithName("_s", &error);
    ASSERT_TRUE(read) << describe(error);
    EXPECT_EQ(read->lifetimeCount(), 4);
    EXPECT_EQ(read->currentSessionCount(), 0);
    EXPECT_EQ(read->lastBundledTimestamp(), 0.0);
    EXPECT_FALSE(read->lastSampledComplexEventID());
    EXPECT_EQ(read->lastSamplingRate(), 1);
    EXPECT_FALSE(read->lastExemptFromSampling());
    EXPECT_EQ(read->lastBundledDay(), 0);
}

TEST_F(EventCounters, ThePublicCountLeavesOutInternalNamesOnly) {
    for (const char* name : {"_e", "_s", "level_up", "share", "a_b"})
        ASSERT_TRUE(database->updateEventAggregates(aggregates(name), &error)) << describe(error);
    EXPECT_EQ(database->publicEventCount(&error), 3);
    EXPECT_EQ(database->allEventAggregates(&error)->size(), 5u);
}

TEST_F(EventCounters, SessionCountsAreClearedInEveryRow) {
    ASSERT_TRUE(database->updateEventAggregates(aggregates("a"), &error));
    ASSERT_TRUE(database->updateEventAggregates(aggregates("b"), &error));
    ASSERT_TRUE(database->clearCurrentSessionCounts(&error)) << describe(error);
    const auto all = database->allEventAggregates(&error);
    ASSERT_TRUE(all) << describe(error);
    for (const auto& read : *all) {
        EXPECT_EQ(read.currentSessionCount(), 0);
        EXPECT_EQ(read.currentBundleCount(), 2);
    }
}

TEST_F(EventCounters, AFullTableKeepsCountingKnownNamesButTakesNoNewOne) {
    std::string sql = "BEGIN;";
    for (int i = 0; i < 1000; ++i)
        sql += "INSERT INTO events VALUES ('e" + std::to_string(i) + "', 1, 1, 1, 0, NULL, 1, 0, 0, 0);";
    ASSERT_TRUE(runOnOwnConnection(path, sql + "COMMIT;"));
    EXPECT_TRUE(database->updateEventAggregates(aggregates("e999", 7), &error)) << describe(error);
    EXPECT_EQ(database->eventAggregatesWithName("e999", &error)->lifetimeCount(), 7);
    EXPECT_FALSE(database->updateEventAggregates(aggregates("e1000"), &error));
    EXPECT_EQ(describe(error), "Failed to insert data type. Table is full");
    EXPECT_EQ(database->allEventAggregates(&error)->size(), 1000u);

    EXPECT_FALSE(database->updateEventAggregates(std::nullopt, &error));
    EXPECT_EQ(describe(error),
              "Received empty event aggregates object for getting dictionary representation");
    EXPECT_EQ(error->code(), 3);
}
