#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "tests/analytics/storage/database_test_support.h"
#include "tests/analytics/storage/fault_injecting_vfs.h"

using namespace analytics;
using platform::Value;
using quorvel::testing::describe;
using quorvel::testing::runOnOwnConnection;

namespace {

class MeasurementDatabaseOpening : public quorvel::testing::MeasurementDatabaseTest {
protected:
    std::vector<std::string> tableNames() {
        std::vector<std::string> names;
        const auto records = database->sqliteStore()->recordsForQuery(
            "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", {}, nullptr);
        for (const auto& record : records.value()) names.push_back(*record.at("name").stringValue());
        return names;
    }

    std::int64_t schemaVersion() {
        return *database->sqliteStore()->numberForQuery("PRAGMA schema_version", {}, nullptr)->intValue();
    }

    // A database of an older version: raw event times as whole numbers, tables without later columns.
    void writeOlderDatabase(const std::string& extraRawEventColumn = "") {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        ASSERT_TRUE(runOnOwnConnection(path,
                                       "CREATE TABLE app_metadata (last_bundle_index INTEGER NOT NULL, "
                                       "last_bundle_end_timestamp REAL NOT NULL);"
                                       "INSERT INTO app_metadata VALUES (7, 1234.5);"
                                       "CREATE TABLE raw_events (name TEXT NOT NULL, timestamp INTEGER NOT "
                                       "NULL, metadata_fingerprint INTEGER "
                                       "NOT NULL, data BLOB NOT NULL" +
                                           extraRawEventColumn +
                                           ");"
                                           "INSERT INTO raw_events (name, timestamp, metadata_fingerprint, "
                                           "data) VALUES ('_e', 1700000000, 5, x'00');"
                                           "INSERT INTO raw_events (name, timestamp, metadata_fingerprint, "
                                           "data) VALUES ('_s', 1700000001, 5, x'01');"));
    }
};

}  // namespace

TEST_F(MeasurementDatabaseOpening, EveryTableIsMadeAndCheckingThemAgainChangesNothing) {
    database = openDatabase(&error);
    ASSERT_TRUE(database) << describe(error);
    EXPECT_EQ(database->sqliteStore()->databasePath(), path);
    EXPECT_EQ(tableNames(),
              (std::vector<std::string>{"app_metadata", "audience_filter_values", "conditional_properties",
                                        "event_filters", "events", "main_event_params", "property_filters",
                                        "purchase_transactions", "queue", "raw_events", "raw_events_metadata",
                                        "subscriptions", "user_attributes"}));
    EXPECT_EQ(database->sqliteStore()->columnInfoForTableWithName("raw_events", nullptr)->at("timestamp"),
              "REAL");
    EXPECT_EQ(database->sqliteStore()->columnInfoForTableWithName("app_metadata", nullptr)->size(), 11u);
    const auto metadata = database->queryAppMetadata(&error);
    ASSERT_TRUE(metadata);
    EXPECT_EQ(metadata->lastBundleIndex(), 0);

    const auto version = schemaVersion();
    EXPECT_TRUE(database->ensureAllTables());
    EXPECT_TRUE(database->initializeAppMetadata());
    EXPECT_EQ(schemaVersion(), version);
    EXPECT_EQ(count("app_metadata"), 1);

    database = openDatabase(&error);
    ASSERT_TRUE(database);
    EXPECT_EQ(schemaVersion(), version);
    EXPECT_EQ(count("app_metadata"), 1);
}

TEST_F(MeasurementDatabaseOpening, AnOlderDatabaseGainsItsNewColumnsAndKeepsItsRows) {
    writeOlderDatabase();
    database = openDatabase(&error);
    ASSERT_TRUE(database) << describe(error);
    EXPECT_EQ(database->sqliteStore()->columnInfoForTableWithName("raw_events", nullptr)->at("timestamp"),
              "REAL");
    EXPECT_EQ(count("raw_events"), 2);
    EXPECT_EQ(database->queryLatestRawEventTime(&error), 1700000001.0);
    const auto metadata = database->queryAppMetadata(&error);
    ASSERT_TRUE(metadata);
    EXPECT_EQ(metadata->lastBundleIndex(), 7);
    EXPECT_EQ(metadata->lastBundleStartTimestamp(), 0.0);
    EXPECT_EQ(metadata->lastBundleEndTimestamp(), 1234.5);
    // Daily columns added empty read as today with nothing counted.
    const auto counts = database->dailyCounts(&error);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->day(),
              static_cast<std::int32_t>(std::floor((now() - persistedConfig->midnightOffset()) / 86400)));
    EXPECT_EQ(counts->allEventsCount(), 0);
    EXPECT_EQ(counts->realtimeCount(), 0);
}

TEST_F(MeasurementDatabaseOpening, TablesThatDoNotFitAreDamageAndTheSecondAttemptStartsEmpty) {
    writeOlderDatabase(", secret TEXT NOT NULL DEFAULT 'x'");
    EXPECT_FALSE(openDatabase(&error));
    EXPECT_TRUE(logged("12002"));
    EXPECT_FALSE(std::filesystem::exists(path));

    database = openDatabase(&error);
    ASSERT_TRUE(database) << describe(error);
    EXPECT_EQ(count("raw_events"), 0);
    EXPECT_EQ(count("app_metadata"), 1);
}

TEST_F(MeasurementDatabaseOpening, AFullDiskDuringMigrationKeepsTheFileForTheNextAttempt) {
    writeOlderDatabase();
    const std::string before = quorvel::testing::fileBytes(path);
    {
        quorvel::testing::FaultInjectingVfs vfs;
        vfs.fail(quorvel::testing::FaultInjectingVfs::Call::Write, SQLITE_FULL);
        EXPECT_FALSE(openDatabase(&error));
    }
    EXPECT_TRUE(logged("12002"));
    EXPECT_EQ(quorvel::testing::fileBytes(path), before);

    database = openDatabase(&error);
    ASSERT_TRUE(database) << describe(error);
    EXPECT_EQ(count("raw_events"), 2);
}

TEST_F(MeasurementDatabaseOpening, ResetStartsAfreshOnTheSamePath) {
    database = openDatabase(&error);
    ASSERT_TRUE(database->insertRawEvent(event("level_up"), 1, false, &error)) << describe(error);
    ASSERT_TRUE(database->updateAppMetadata(APMAppMetadata::initWithLastBundleIndex(9, 1, 2), &error));
    ASSERT_TRUE(database->reset(&error)) << describe(error);
    EXPECT_EQ(database->sqliteStore()->databasePath(), path);
    EXPECT_EQ(count("raw_events"), 0);
    EXPECT_EQ(database->queryAppMetadata(&error)->lastBundleIndex(), 0);
}

TEST_F(MeasurementDatabaseOpening, GuardedWritesReplaceInAFullTableButRefuseANewKey) {
    database = openDatabase(&error);
    auto write = [&](const char* fingerprint) {
        return database->upsertDataType({{"fingerprint", fingerprint}}, "purchase_transactions",
                                        "fingerprint", Value(fingerprint), 2, &error);
    };
    EXPECT_TRUE(write("a"));
    EXPECT_TRUE(write("b"));
    EXPECT_FALSE(write("c"));
    EXPECT_EQ(error->code(), 2);
    EXPECT_EQ(describe(error), "Failed to insert data type. Table is full");
    EXPECT_TRUE(write("a"));
    EXPECT_EQ(count("purchase_transactions"), 2);

    EXPECT_FALSE(database->updateDataType({{"fingerprint", "z"}}, "purchase_transactions", "fingerprint",
                                          Value("y"), &error));
    EXPECT_EQ(describe(error), "Failed to update record. Item doesn't exist");
    EXPECT_FALSE(database->insertDataType({}, "purchase_transactions", &error));
    EXPECT_EQ(describe(error), "Failed to insert empty record");
    EXPECT_FALSE(database->dataTypesFromTableWithName<int>("queue", "rowid", Value(1), &error, nullptr));
    EXPECT_EQ(describe(error), "Received nil block to create data type from table");
    EXPECT_EQ(error->code(), 2);
}

TEST_F(MeasurementDatabaseOpening, BundleBookkeepingAndDailyCountsRoundTrip) {
    database = openDatabase(&error);
    ASSERT_TRUE(
        database->updateAppMetadata(APMAppMetadata::initWithLastBundleIndex(41, 100.25, 200.5), &error));
    const auto metadata = database->queryAppMetadata(&error);
    EXPECT_EQ(metadata->lastBundleIndex(), 41);
    EXPECT_EQ(metadata->lastBundleStartTimestamp(), 100.25);
    EXPECT_EQ(metadata->lastBundleEndTimestamp(), 200.5);

    ASSERT_TRUE(database->updateDailyCounts(APMDailyCounts::initWithDay(19000, 1, 2, 3, 4, 5), &error));
    const auto counts = database->dailyCounts(&error);
    EXPECT_EQ(counts->day(), 19000);
    EXPECT_EQ(counts->conversionsCount(), 1);
    EXPECT_EQ(counts->allEventsCount(), 2);
    EXPECT_EQ(counts->publicEventsCount(), 3);
    EXPECT_EQ(counts->errorEventsCount(), 4);
    EXPECT_EQ(counts->realtimeCount(), 5);
    EXPECT_FALSE(database->updateDailyCounts(std::nullopt, &error));
    EXPECT_EQ(describe(error), "Received empty daily counts for getting dictionary representation");
}

TEST_F(MeasurementDatabaseOpening, TheStoredConfigurationIsNothingWhenEmptyAndAnErrorWhenCorrupt) {
    database = openDatabase(&error);
    EXPECT_FALSE(database->queryMeasurementConfigWithError(&error));
    EXPECT_FALSE(error);

    auto config = APMPBMeasurementConfig::initWithBuffer();
    APMNanoSetInt64(config.get(), apmpb_fields::MeasurementConfig::kVersion, 3);
    EXPECT_FALSE(database->updateRemoteConfig(config.get(), &error));
    EXPECT_EQ(describe(error), "Missing Vuziri app ID in measurement configuration");
    APMNanoSetStringField(config.get(), apmpb_fields::MeasurementConfig::kAppId, "1:1234:ios:test");
    ASSERT_TRUE(database->updateRemoteConfig(config.get(), &error));
    EXPECT_EQ(database->queryMeasurementConfigWithError(&error)->protoBuffer(), config->protoBuffer());
    EXPECT_EQ(database->lastRemoteConfigUpdateTimestamp(&error), now());

    ASSERT_TRUE(
        database->sqliteStore()->executeSQL("UPDATE app_metadata SET remote_config_data = x''", nullptr));
    error = nullptr;
    EXPECT_FALSE(database->queryMeasurementConfigWithError(&error));
    EXPECT_FALSE(error);
    ASSERT_TRUE(database->sqliteStore()->executeSQL("UPDATE app_metadata SET remote_config_data = x'0affff'",
                                                    nullptr));
    EXPECT_FALSE(database->queryMeasurementConfigWithError(&error));
    EXPECT_EQ(error->code(), 2);
    EXPECT_EQ(describe(error), "Remote config data is corrupted");
}
