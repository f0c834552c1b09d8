#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <map>
#include <numeric>
#include <thread>
#include <vector>

#include "analytics/config/apm_remote_config.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_persisted_config.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "tests/analytics/fresh_engine.h"

using namespace analytics;
using platform::Value;
using Field = apmpb_fields::MeasurementBundle;

namespace {

constexpr const char* kAppID = "1:1234:ios:abcd";

class MeasurementStorage : public quorvel::testing::FreshEngineTest {
protected:
    std::shared_ptr<APMMeasurement> start() {
        engine = APMMeasurement::sharedInstanceWithAppID(kAppID);
        clock->runUntilIdle();
        return engine;
    }

    void log(const std::string& name, const Value::Dictionary& parameters = {}) {
        engine->logEventWithOrigin("app", true, name, 1700000000, APMObjectParametersFrom(parameters));
    }

    // Runs on the worker queue, where the database lives.
    template <typename Block>
    auto onWorkerQueue(Block block) {
        decltype(block()) result{};
        engine->scheduler().dispatchSyncOnWorkerQueueBlockID("test", [&] { result = block(); });
        return result;
    }

    std::vector<std::string> storedNames() {
        return onWorkerQueue([&] {
            std::vector<std::string> names;
            const auto database = engine->database();
            const auto fingerprint = database->nextMetadataFingerprintToProcess(nullptr);
            if (!fingerprint) return names;
            const auto events = database->rawEventsWithMetadataFingerprint(
                *fingerprint, nullptr, [](auto, const auto&) { return true; });
            for (const auto& event : events.value()) names.push_back(event.rawEvent().name());
            return names;
        });
    }

    platform::Console::Capture capture;
    const std::string path = APMMeasurementDirectoryFilePath(APMDatabase::kDatabaseName);
    std::shared_ptr<APMMeasurement> engine;
};

}  // namespace

TEST_F(MeasurementStorage, TheEngineStoresItsEventsWithTheMetadataOfTheApp) {
    start();
    EXPECT_TRUE(std::filesystem::exists(path));
    log("level_up", {{"level", 3}});
    log("level_up", {{"level", 4}});
    clock->runUntilIdle();

    EXPECT_EQ(storedNames(), (std::vector<std::string>{"level_up", "level_up"}));
    const auto metadata = onWorkerQueue([&] {
        const auto database = engine->database();
        return database->queryRawEventsMetadataWithFingerprint(
            *database->nextMetadataFingerprintToProcess(nullptr), nullptr);
    });
    ASSERT_TRUE(metadata);
    EXPECT_EQ(APMNanoGetString(metadata.get(), Field::kPlatform), "ios");
    EXPECT_EQ(APMNanoGetString(metadata.get(), Field::kAppId),
              platform::NSBundle::mainBundle()->bundleIdentifier());
    EXPECT_EQ(APMNanoGetInt64(metadata.get(), Field::kLibraryVersionAtEvent), 81500);
    EXPECT_EQ(APMNanoGetString(metadata.get(), Field::kVuziriAppId), kAppID);
    EXPECT_EQ(onWorkerQueue([&] {
                  return engine->database()->sqliteStore()->rowCountForTableWithName("raw_events_metadata",
                                                                                     nullptr);
              }),
              1);
}

TEST_F(MeasurementStorage, ADatabaseThatDoesNotFitIsMadeAnewOnTheSecondAttempt) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    auto store = APMSqliteStore::initWithDatabasePath(path, nullptr);
    ASSERT_TRUE(
        store->executeSQL("CREATE TABLE queue (data BLOB NOT NULL, bundle_end_timestamp REAL NOT NULL, "
                          "owner TEXT NOT NULL)",
                          nullptr));
    store.reset();
    start();
    clock->runUntilIdle();
    EXPECT_TRUE(capture.contains("[I-ACS012002]"));
    ASSERT_TRUE(onWorkerQueue([&] { return engine->database() != nullptr; }));
    EXPECT_EQ(onWorkerQueue([&] {
                  return engine->database()->sqliteStore()->columnsForTableWithName("queue", nullptr);
              })->size(),
              4u);
}

// The events that wait together are stored in one transaction; when one of them cannot be stored, the
// others are stored one by one.
TEST_F(MeasurementStorage, AnEventThatCannotBeStoredCostsOnlyItself) {
    start();
    onWorkerQueue([&] {
        return engine->database()->sqliteStore()->executeSQL(
            "CREATE TEMP TRIGGER refuse BEFORE INSERT ON raw_events WHEN NEW.name = 'poison' "
            "BEGIN SELECT RAISE(ABORT, 'refused'); END",
            nullptr);
    });
    // Held back until all three wait on the worker queue.
    std::promise<void> release;
    engine->scheduler().scheduleOnWorkerQueueBlockID("hold",
                                                     [gate = release.get_future().share()] { gate.wait(); });
    for (const char* name : {"before", "poison", "after"}) log(name);
    release.set_value();
    clock->runUntilIdle();

    EXPECT_EQ(storedNames(), (std::vector<std::string>{"before", "after"}));
    EXPECT_TRUE(capture.contains("[I-ACS012056] Transaction failed."));
}

// Events stored together are trimmed once for all of them, which must keep exactly the rows, and row
// IDs, that trimming before each of them keeps: the newest ones up to the limit, even when more arrive
// together than the limit keeps, and the next row ID after them.
TEST_F(MeasurementStorage, EventsStoredTogetherKeepTheRowsEventsStoredOneByOneKeep) {
    start();
    onWorkerQueue([] {
        APMMeasurement::remoteConfig()->parseSettings({{"measurement.store.max_stored_events_per_app", "4"}});
        return true;
    });
    const auto rows = [&] {
        return onWorkerQueue([&] {
            std::vector<std::pair<std::int64_t, std::string>> kept;
            const auto records = engine->database()->sqliteStore()->recordsForQuery(
                "SELECT rowid, name FROM raw_events ORDER BY rowid", {}, nullptr);
            for (const auto& record : records.value())
                kept.emplace_back(*record.at("rowid").intValue(), *record.at("name").stringValue());
            return kept;
        });
    };
    using Rows = std::vector<std::pair<std::int64_t, std::string>>;
    for (const char* name : {"e0", "e1", "e2"}) {
        log(name);
        clock->runUntilIdle();
    }
    std::promise<void> release;
    engine->scheduler().scheduleOnWorkerQueueBlockID("hold",
                                                     [gate = release.get_future().share()] { gate.wait(); });
    for (const char* name : {"e3", "e4", "e5", "e6", "e7", "e8"}) log(name);
    release.set_value();
    clock->runUntilIdle();
    EXPECT_EQ(rows(), (Rows{{6, "e5"}, {7, "e6"}, {8, "e7"}, {9, "e8"}}));

    log("e9");
    clock->runUntilIdle();
    EXPECT_EQ(rows(), (Rows{{7, "e6"}, {8, "e7"}, {9, "e8"}, {10, "e9"}}));
}

// Events become their rows on the threads that log them, while the worker queue stores the rows that
// wait: every event of every thread is stored once, each thread's in the order it logged them.
TEST_F(MeasurementStorage, EventsLoggedOnSeveralThreadsAtOnceAreAllStoredInEachThreadsOrder) {
    start();
    constexpr int kThreads = 4, kEach = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) log("thread_" + std::to_string(t), {{"n", i}});
        });
    }
    for (auto& thread : threads) thread.join();
    clock->runUntilIdle();

    const auto stored = onWorkerQueue([&] {
        const auto database = engine->database();
        return database->rawEventsWithMetadataFingerprint(*database->nextMetadataFingerprintToProcess(nullptr),
                                                          nullptr, [](auto, const auto&) { return true; });
    });
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), static_cast<std::size_t>(kThreads * kEach));
    std::map<std::string, std::vector<std::int64_t>> numbers;
    for (const auto& row : *stored)
        numbers[row.rawEvent().name()].push_back(row.rawEvent().parameters().at("n").int64Value());
    std::vector<std::int64_t> inOrder(kEach);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    ASSERT_EQ(numbers.size(), static_cast<std::size_t>(kThreads));
    for (const auto& [name, each] : numbers) EXPECT_EQ(each, inOrder) << name;
}

TEST_F(MeasurementStorage, ResetEmptiesTheDatabaseAndThePersistedState) {
    start();
    log("level_up");
    clock->runUntilIdle();
    const auto persisted = engine->persistedConfig();
    EXPECT_EQ(persisted->name(), "com.vuziri.vmp.measurement");
    persisted->setLastDeleteStaleBundlesTimestamp(5);
    engine->resetAnalyticsData();
    clock->runUntilIdle();
    EXPECT_TRUE(storedNames().empty());
    EXPECT_EQ(persisted->lastDeleteStaleBundlesTimestamp(), 0);
    log("after_reset");
    clock->runUntilIdle();
    EXPECT_EQ(storedNames(), (std::vector<std::string>{"after_reset"}));
}
