#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/vuziriutilities/vul_gzip.h"
#include "tests/analytics/storage/database_test_support.h"

using namespace analytics;
using platform::Value;
using quorvel::testing::describe;
using Field = apmpb_fields::MeasurementBundle;

namespace {

constexpr std::int32_t kMaxRetries = std::numeric_limits<std::int32_t>::max();

class BundleQueue : public quorvel::testing::MeasurementDatabaseTest {
protected:
    void SetUp() override {
        database = openDatabase(&error);
        ASSERT_TRUE(database) << describe(error);
    }

    // A bundle ending at `endTime` whose encoding is exactly `size` bytes long.
    std::shared_ptr<Bundle> bundle(std::size_t size, double endTime = 0, std::int32_t retries = 0) {
        auto bundle = Bundle::initWithBuffer();
        APMNanoSetStringField(bundle.get(), Field::kAppId, "com.brelloc.quorvel");
        APMNanoSetInt64(bundle.get(), Field::kEndTimestampMillis,
                        static_cast<std::int64_t>((endTime ? endTime : now()) * 1000));
        if (retries) APMNanoSetInt32(bundle.get(), Field::kUploadRetryCount, retries);
        for (std::string padding; bundle->protoBuffer()->size() < size; padding += 'p')
            APMNanoSetStringField(bundle.get(), Field::kOsVersion, padding);
        EXPECT_EQ(bundle->protoBuffer()->size(), size);
        return bundle;
    }

    void queue(const std::shared_ptr<Bundle>& bundle) {
        ASSERT_TRUE(database->insertBundle(bundle.get(), false, &error)) << describe(error);
    }

    std::vector<std::size_t> sizesRead(std::int64_t sizeLimit) {
        std::vector<std::size_t> sizes;
        const auto queued = database->queryBundlesWithCountLimit(100, sizeLimit, &error);
        for (const auto& entry : queued.value()) sizes.push_back(entry.bundle->protoBuffer()->size());
        return sizes;
    }

    std::int32_t retriesOf(std::int64_t rowID) {
        const auto queued = database->queryBundlesWithRowIDs({Value(rowID)}, &error);
        return APMNanoGetInt32(queued->at(0).bundle.get(), Field::kUploadRetryCount);
    }
};

}  // namespace

TEST_F(BundleQueue, BundlesAreReadOldestFirstWhileTheirSizesFit) {
    for (std::size_t size : {40, 30, 50}) queue(bundle(size));
    EXPECT_EQ(sizesRead(100), (std::vector<std::size_t>{40, 30}));
    EXPECT_EQ(sizesRead(120), (std::vector<std::size_t>{40, 30, 50}));
    EXPECT_EQ(database->queryBundlesWithCountLimit(2, 1000, &error)->size(), 2u);
}

TEST_F(BundleQueue, AnOversizedFirstBundleComesAlone) {
    queue(bundle(150));
    queue(bundle(30));
    EXPECT_EQ(sizesRead(100), (std::vector<std::size_t>{150}));
    // Reading stops at the first bundle that does not fit, even when a later one would.
    ASSERT_TRUE(database->deleteBundlesWithRowIDs({Value(1)}, &error));
    queue(bundle(80));
    queue(bundle(40));
    EXPECT_EQ(sizesRead(100), (std::vector<std::size_t>{30}));
}

TEST_F(BundleQueue, QueuedBundlesAreGzipStreamsOfTheirEncoding) {
    const auto sent = bundle(60);
    ASSERT_TRUE(database->insertBundle(sent.get(), true, &error));
    const auto row = database->sqliteStore()->recordsForQuery("SELECT * FROM queue", {}, nullptr)->at(0);
    const auto& data = *row.at("data").dataValue();
    EXPECT_EQ(data[0], 0x1f);
    EXPECT_EQ(data[1], 0x8b);
    EXPECT_EQ(platform::vul_dataByInflatingGzippedData(data, nullptr), *sent->protoBuffer());
    EXPECT_EQ(row.at("is_realtime"), Value(1));
    EXPECT_EQ(row.at("bundle_end_timestamp").doubleValue(), std::floor(now() * 1000) / 1000);
    EXPECT_EQ(database->containsRealtimeBundlesWithError(&error), true);

    const auto queued = database->queryBundlesWithRowIDs({Value(1)}, &error);
    ASSERT_EQ(queued->size(), 1u);
    EXPECT_EQ(queued->at(0).rowID, 1);
    EXPECT_EQ(queued->at(0).bundle->protoBuffer(), sent->protoBuffer());
    EXPECT_FALSE(APMNanoHasField(queued->at(0).bundle.get(), Field::kUploadRetryCount));
}

TEST_F(BundleQueue, RetryCountersRiseByOneAndStopAtTheLargest32BitNumber) {
    queue(bundle(40));
    queue(bundle(40, 0, kMaxRetries - 1));
    ASSERT_TRUE(database->incrementRetryCounterForBundlesWithIDs({Value(1), Value(2)}, &error))
        << describe(error);
    EXPECT_EQ(retriesOf(1), 1);
    EXPECT_EQ(retriesOf(2), kMaxRetries);
    EXPECT_FALSE(logged("12054"));
    ASSERT_TRUE(database->incrementRetryCounterForBundlesWithIDs({Value(1), Value(2)}, &error));
    EXPECT_EQ(retriesOf(1), 2);
    EXPECT_EQ(retriesOf(2), kMaxRetries);
    EXPECT_TRUE(logged("12054"));

    EXPECT_FALSE(database->incrementRetryCounterForBundlesWithIDs({}, &error));
    EXPECT_EQ(describe(error), "Failed to increment retry counter");
    EXPECT_FALSE(database->deleteBundlesWithRowIDs({Value("1")}, &error));
    EXPECT_EQ(describe(error), "Received invalid type for row ID to process");
    EXPECT_FALSE(database->queryBundlesWithRowIDs({}, &error));
    EXPECT_EQ(describe(error), "Received empty row IDs to process");
}

TEST_F(BundleQueue, BundlesThatCannotBeReadAreSkippedAndDeleted) {
    queue(bundle(40));
    ASSERT_TRUE(database->sqliteStore()->upsertRecord(
        {{"data", Value::Data{1, 2, 3}}, {"bundle_end_timestamp", now()}, {"retry_count", 0}}, "queue",
        nullptr));
    ASSERT_TRUE(database->sqliteStore()->upsertRecord(
        {{"data", platform::vul_dataByGzippingData({9, 9, 9}, nullptr)}, {"bundle_end_timestamp", now()}},
        "queue", nullptr));
    queue(bundle(30));
    EXPECT_EQ(sizesRead(1000), (std::vector<std::size_t>{40, 30}));
    EXPECT_TRUE(logged("12059"));
    EXPECT_EQ(count("queue"), 2);
}

TEST_F(BundleQueue, BundlesWithoutAppIDOrTimeAreRefused) {
    auto noAppID = bundle(40);
    APMNanoSetStringField(noAppID.get(), Field::kAppId, std::nullopt);
    EXPECT_FALSE(database->insertBundle(noAppID.get(), false, &error));
    EXPECT_EQ(describe(error), "Failed to insert bundle without App ID");
    auto noTime = bundle(40);
    APMNanoSetInt64(noTime.get(), Field::kEndTimestampMillis, 0);
    EXPECT_FALSE(database->insertBundle(noTime.get(), false, &error));
    EXPECT_EQ(describe(error), "Failed to insert bundle without valid timestamp");
    EXPECT_FALSE(database->insertBundle(nullptr, false, &error));
    EXPECT_EQ(describe(error), "Failed to insert nil bundle");
    EXPECT_EQ(database->isQueuedBundleTableEmpty(&error), true);
}

TEST_F(BundleQueue, StaleDataGoesByAbsoluteAgeOncePerInterval) {
    const double day = 86400;
    queue(bundle(40, now() - 40 * day));
    EXPECT_TRUE(logged("12016"));
    queue(bundle(40));
    queue(bundle(40, now() + 40 * day));
    ASSERT_TRUE(database->insertRawEvent(event("old", {}, now() - 40 * day), 1, false, &error));
    // The first bundle's insert cleaned up already; the next cleanup waits a day.
    EXPECT_EQ(persistedConfig->lastDeleteStaleBundlesTimestamp(), now());
    EXPECT_EQ(database->maybeDeleteStaleData(&error), false);
    EXPECT_EQ(count("queue"), 3);

    clock->advance(day + 1);
    EXPECT_EQ(database->maybeDeleteStaleData(&error), true);
    EXPECT_EQ(persistedConfig->lastDeleteStaleBundlesTimestamp(), now());
    EXPECT_EQ(count("queue"), 1);
    EXPECT_EQ(count("raw_events"), 0);
    EXPECT_EQ(database->queryLatestBundleTime(&error), std::floor((now() - day - 1) * 1000) / 1000);
    EXPECT_FALSE(database->deleteStaleBundlesOlderThanMaxAge(-1, &error));
    EXPECT_EQ(describe(error), "Cannot delete stale bundles after negative time period");
}
