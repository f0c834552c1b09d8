#include <gtest/gtest.h>

#include "analytics/messages/proto/apm_messages.h"
#include "tests/analytics/storage/database_test_support.h"

using namespace analytics;
using platform::Value;
using quorvel::testing::describe;

namespace {

class RawEvents : public quorvel::testing::MeasurementDatabaseTest {
protected:
    void SetUp() override {
        database = openDatabase(&error);
        ASSERT_TRUE(database) << describe(error);
    }

    // What the engine does for each event: its metadata stored unless known, the trim, the insert.
    void store(const APMEvent& event, const Bundle& metadata) {
        ASSERT_TRUE(database->insertIfNotExistsRawEventMetadata(&metadata, &error)) << describe(error);
        ASSERT_TRUE(database->deleteRawEventsOverAbsoluteLimit(&error)) << describe(error);
        ASSERT_TRUE(database->insertRawEvent(event, fingerprintOf(metadata), false, &error))
            << describe(error);
    }

    std::vector<APMRawEventData> read(const Bundle& metadata, std::size_t take = 1000) {
        const auto events = database->rawEventsWithMetadataFingerprint(
            fingerprintOf(metadata), &error, [take](std::size_t taken, const auto&) { return taken < take; });
        return events.value_or(std::vector<APMRawEventData>{});
    }

    std::vector<std::string> names(const std::vector<APMRawEventData>& events) {
        std::vector<std::string> found;
        for (const auto& event : events) found.push_back(event.rawEvent().name());
        return found;
    }

    // A stored row whose event has no origin parameter, as no version of the library writes it.
    void insertEventWithoutOrigin(std::int64_t fingerprint) {
        auto proto = APMPBEvent::initWithBuffer();
        APMNanoSetInt64(proto.get(), apmpb_fields::Event::kTimestampMillis, 5000);
        ASSERT_TRUE(database->insertDataType({{"name", "_broken"},
                                              {"timestamp", 5.0},
                                              {"metadata_fingerprint", fingerprint},
                                              {"data", *proto->protoBuffer()}},
                                             "raw_events", &error));
    }

    std::shared_ptr<Bundle> first = metadata("1.0");
    std::shared_ptr<Bundle> second = metadata("1.1");
};

}  // namespace

TEST_F(RawEvents, IdenticalMetadataIsStoredOnce) {
    store(event("a"), *first);
    store(event("b"), *metadata("1.0"));
    store(event("c"), *second);
    EXPECT_EQ(count("raw_events_metadata"), 2);
    EXPECT_EQ(database->queryRawEventsMetadataWithFingerprint(fingerprintOf(*first), &error)->protoBuffer(),
              first->protoBuffer());
    EXPECT_EQ(names(read(*first)), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(database->nextMetadataFingerprintToProcess(&error), fingerprintOf(*first));

    EXPECT_FALSE(database->insertIfNotExistsRawEventMetadata(Bundle::initWithBuffer().get(), &error));
    EXPECT_EQ(describe(error),
              "Received empty measurement bundle metadata for getting dictionary representation");
}

// Metadata once stored is not read again for each event; a row that bundling or a rolled-back
// transaction took away is stored again for the next event, so no event is left without its metadata.
TEST_F(RawEvents, MetadataTakenAwayIsStoredAgainForTheNextEvent) {
    store(event("a"), *first);
    ASSERT_TRUE(database->deleteRawEventMetadataWithMetadataFingerprint(fingerprintOf(*first), &error));
    store(event("b"), *first);
    EXPECT_EQ(count("raw_events_metadata"), 1);

    EXPECT_FALSE(database->performTransaction([&] {
        database->insertIfNotExistsRawEventMetadata(second.get(), nullptr);
        return false;
    }));
    ASSERT_TRUE(database->insertIfNotExistsRawEventMetadata(second.get(), &error)) << describe(error);
    const auto stored = database->queryRawEventsMetadataWithFingerprint(fingerprintOf(*second), &error);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->protoBuffer(), second->protoBuffer());
}

TEST_F(RawEvents, WithThreeKeptTheFourthEventEvictsTheOldest) {
    limits->maxEvents = 3;
    for (const char* name : {"e1", "e2", "e3"}) store(event(name), *first);
    EXPECT_EQ(database->deleteRawEventsOverAbsoluteLimit(&error), 1);
    ASSERT_TRUE(database->insertRawEvent(event("e4"), fingerprintOf(*first), false, &error));
    EXPECT_EQ(names(read(*first)), (std::vector<std::string>{"e2", "e3", "e4"}));
}

// The trim knows how many events there are without counting them each time; whatever happened to the
// table before, it keeps exactly the newest ones.
TEST_F(RawEvents, TheTrimKeepsTheNewestEventsAfterRollbacksAndDeletions) {
    limits->maxEvents = 10;
    for (int i = 0; i < 8; ++i) store(event("kept"), *first);
    EXPECT_FALSE(database->performTransaction([&] {
        for (int i = 0; i < 20; ++i)
            database->insertRawEvent(event("undone"), fingerprintOf(*first), false, nullptr);
        return false;
    }));
    for (int i = 0; i < 4; ++i) store(event("other"), *second);
    ASSERT_TRUE(database->deleteRawEventsWithMaxRowID(1000, fingerprintOf(*second), &error));
    for (int i = 0; i < 6; ++i) store(event("new"), *first);

    const auto rows =
        *database->sqliteStore()->recordsForQuery("SELECT rowid FROM raw_events ORDER BY rowid", {}, nullptr);
    ASSERT_EQ(rows.size(), 10u);
    const auto newest = *database->sqliteStore()->recordsForQuery(
        "SELECT rowid FROM raw_events WHERE rowid NOT IN (SELECT rowid FROM raw_events ORDER BY rowid DESC "
        "LIMIT 10)",
        {}, nullptr);
    EXPECT_TRUE(newest.empty());
}

TEST_F(RawEvents, AnEventComesBackWithItsOriginTimesAndItems) {
    const Value::Dictionary shirt{{"item_name", "Shirt"}, {"price", 9.5}};
    const Value::Dictionary socks{{"item_name", "Socks"}, {"quantity", 2}};
    const auto purchase =
        *APMEvent::initWithOrigin("app", true, "purchase", 1700000000.5, 1699990000.25,
                                  APMObjectParametersFrom(Value::Dictionary{
                                      {"coupon", "SPRING"}, {"items", Value::Array{shirt, socks}}}));
    store(purchase, *first);

    const auto events = read(*first);
    ASSERT_EQ(events.size(), 1u);
    const APMEvent& stored = events[0].rawEvent();
    EXPECT_EQ(stored.name(), "purchase");
    EXPECT_EQ(stored.origin(), "app");
    EXPECT_EQ(stored.timestamp(), 1700000000.5);
    EXPECT_EQ(stored.previousTimestamp(), 1699990000.25);
    EXPECT_EQ(events[0].metadataFingerprint(), fingerprintOf(*first));
    EXPECT_EQ(stored.parameters(), purchase.parameters());
    const APMValue::Array* items = stored.parameters().at("items").arrayValue();
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].at("price"), APMValue::initWithDouble(9.5));
    EXPECT_EQ((*items)[1].at("quantity"), APMValue::initWithInt64(2));
}

TEST_F(RawEvents, RowsThatCannotBeReadAreSkippedAndNeverHoldBackTheRest) {
    const auto fingerprint = fingerprintOf(*first);
    store(event("before"), *first);
    insertEventWithoutOrigin(fingerprint);
    store(event("after"), *first);
    const auto records = *database->sqliteStore()->recordsForQuery(
        "SELECT rowid, * FROM raw_events WHERE name = '_broken'", {}, nullptr);
    EXPECT_FALSE(database->rawEventDataFromDictionary(records.at(0), &error));
    EXPECT_EQ(describe(error), "Cannot create an event from database. Missing origin parameter");

    EXPECT_EQ(names(read(*first)), (std::vector<std::string>{"before", "after"}));
    EXPECT_TRUE(logged("12058"));
    EXPECT_EQ(count("raw_events"), 2);

    // Unreadable rows at the head of a fingerprint: the read fails once, then the rows behind come.
    ASSERT_TRUE(database->deleteRawEventsWithMaxRowID(1000, fingerprint, &error));
    insertEventWithoutOrigin(fingerprint);
    insertEventWithoutOrigin(fingerprint);
    store(event("behind"), *first);
    EXPECT_TRUE(read(*first, 2).empty());
    EXPECT_EQ(describe(error), "Cannot create an event from database. Missing origin parameter");
    EXPECT_EQ(names(read(*first, 2)), (std::vector<std::string>{"behind"}));
}

TEST_F(RawEvents, DeletingBundledEventsLeavesThoseOfOtherMetadata) {
    EXPECT_EQ(database->nextMetadataFingerprintToProcess(&error), std::nullopt);
    EXPECT_FALSE(error);
    store(event("a1"), *first);
    store(event("b1"), *second);
    store(event("a2"), *first);
    const auto bundled = read(*first);
    ASSERT_TRUE(database->deleteRawEventsWithMaxRowID(bundled.back().rowID(), fingerprintOf(*first), &error));
    EXPECT_EQ(database->containsRawEventWithMetadataFingerprint(fingerprintOf(*first), &error), false);
    EXPECT_EQ(names(read(*second)), (std::vector<std::string>{"b1"}));
    EXPECT_EQ(database->nextMetadataFingerprintToProcess(&error), fingerprintOf(*second));
    ASSERT_TRUE(database->deleteRawEventMetadataWithMetadataFingerprint(fingerprintOf(*first), &error));
    EXPECT_EQ(count("raw_events_metadata"), 1);
}

TEST_F(RawEvents, StaleEventsGoByTheirDistanceFromNowEitherWay) {
    const double day = 86400;
    store(event("old", {}, now() - 40 * day), *first);
    store(event("recent", {}, now() - day), *second);
    store(event("future", {}, now() + 40 * day), *first);
    EXPECT_EQ(database->queryLatestRawEventTime(&error), now() + 40 * day);
    ASSERT_TRUE(database->deleteStaleRawEventsDataOlderThanMaxAge(28 * day, &error)) << describe(error);
    EXPECT_EQ(names(read(*second)), (std::vector<std::string>{"recent"}));
    EXPECT_EQ(count("raw_events"), 1);
    // The metadata no event uses any more goes with them.
    EXPECT_EQ(count("raw_events_metadata"), 1);
    EXPECT_FALSE(database->deleteStaleRawEventsDataOlderThanMaxAge(-1, &error));
    EXPECT_EQ(describe(error), "Cannot delete stale raw events given negative time period");
}
