#include <gtest/gtest.h>

#include "tests/analytics/storage/sqlite_test_support.h"

using namespace analytics;
using platform::Value;
using quorvel::testing::describe;

namespace {

using ColumnInfo = APMSqliteStore::ColumnInfo;

class SqliteStoreSchema : public quorvel::testing::SqliteStoreTest {
protected:
    void SetUp() override { ASSERT_TRUE(store) << describe(error); }

    std::vector<std::string> columns(const std::string& table) {
        return store->columnsForTableWithName(table, nullptr).value_or(std::vector<std::string>{});
    }

    std::int64_t schemaVersion() {
        return store->numberForQuery("PRAGMA schema_version", {}, nullptr)->intValue().value();
    }

    Error error;
    std::shared_ptr<APMSqliteStore> store = open(&error);
};

const ColumnInfo kRawEvents{{"name", "TEXT NOT NULL"},
                            {"timestamp", "INTEGER NOT NULL"},
                            {"metadata_fingerprint", "INTEGER NOT NULL"},
                            {"data", "BLOB NOT NULL"}};
const ColumnInfo kRawEventsAddOns{{"is_realtime", "INTEGER"}};

void insertRawEvents(APMSqliteStore& store, int count) {
    for (int i = 0; i < count; ++i) {
        const APMSqliteStore::Record record{{"name", Value("_e" + std::to_string(i))},
                                            {"timestamp", Value(1700000000 + i)},
                                            {"metadata_fingerprint", Value(-42)},
                                            {"data", Value(Value::Data{1, 2, std::uint8_t(i)})}};
        ASSERT_TRUE(store.upsertRecord(record, "raw_events", nullptr));
    }
}

}  // namespace

TEST_F(SqliteStoreSchema, TablesAreMadeFromColumnListsAndGainTheirAddOnColumns) {
    ASSERT_TRUE(store->ensureTableWithName("t", ColumnInfo{{"a", "TEXT"}, {"b", "INTEGER"}}, {}, &error));
    EXPECT_EQ(
        store->recordsForQuery("SELECT sql FROM sqlite_master WHERE name='t'", {}, nullptr)->at(0).at("sql"),
        Value("CREATE TABLE t ( a TEXT, b INTEGER)"));
    ASSERT_TRUE(store->upsertRecord({{"a", Value("kept")}, {"b", Value(1)}}, "t", nullptr));

    const ColumnInfo addOns{{"c", "REAL"}, {"d", "BLOB"}};
    ASSERT_TRUE(store->ensureTableWithName("t", ColumnInfo{{"a", "TEXT"}, {"b", "INTEGER"}}, addOns, &error));
    EXPECT_EQ(columns("t"), (std::vector<std::string>{"a", "b", "c", "d"}));
    const auto version = schemaVersion();
    ASSERT_TRUE(store->ensureTableWithName("t", ColumnInfo{{"a", "TEXT"}, {"b", "INTEGER"}}, addOns, &error));
    EXPECT_EQ(schemaVersion(), version);
    EXPECT_EQ(store->columnInfoForTableWithName("t", nullptr)->at("c"), "REAL");
    EXPECT_EQ(store->rowCountForTableWithName("t", nullptr), 1);
}

TEST_F(SqliteStoreSchema, UnknownColumnsPassOnlyWhenTheyMayStayEmpty) {
    struct Case {
        const char* create;
        bool valid;
        const char* failure;
    };
    const Case cases[] = {
        {"CREATE TABLE t (a TEXT, b INTEGER, newer TEXT)", true, ""},
        {"CREATE TABLE t (a TEXT, b INTEGER, newer TEXT NOT NULL)", false,
         "Table contains unknown non-optional columns"},
        {"CREATE TABLE t (a TEXT)", false, "Table is missing required columns"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.create);
        ASSERT_TRUE(store->executeSQL("DROP TABLE IF EXISTS t", nullptr));
        ASSERT_TRUE(store->executeSQL(test.create, nullptr));
        error = nullptr;
        EXPECT_EQ(store->ensureTableWithName("t", ColumnInfo{{"a", "TEXT"}, {"b", "INTEGER"}}, {}, &error),
                  test.valid);
        EXPECT_EQ(describe(error), test.failure);
        if (!test.valid) {
            EXPECT_EQ(error->code(), 2);
            EXPECT_TRUE(APMSqliteStore::isDamage(error));
        }
    }
}

TEST_F(SqliteStoreSchema, TypeChangeRebuildKeepsEveryRowOnceAndOnlyOnce) {
    ASSERT_TRUE(store->ensureTableWithName("raw_events", kRawEvents, kRawEventsAddOns, &error));
    insertRawEvents(*store, 25);
    const auto before = store->recordsForQuery("SELECT rowid, * FROM raw_events ORDER BY rowid", {}, nullptr);

    const APMSqliteStore::ModifyColumnInfo modify{{"timestamp", "REAL NOT NULL"}};
    ASSERT_TRUE(store->ensureTableWithName("raw_events", kRawEvents, kRawEventsAddOns, modify, &error))
        << describe(error);
    EXPECT_EQ(store->columnInfoForTableWithName("raw_events", nullptr)->at("timestamp"), "REAL");
    EXPECT_FALSE(*store->tableExists("raw_events_old", nullptr));
    const auto after = store->recordsForQuery("SELECT rowid, * FROM raw_events ORDER BY rowid", {}, nullptr);
    ASSERT_EQ(after->size(), before->size());
    for (std::size_t i = 0; i < after->size(); ++i) {
        EXPECT_EQ((*after)[i].at("name"), (*before)[i].at("name"));
        EXPECT_EQ((*after)[i].at("timestamp"),
                  Value(static_cast<double>(*(*before)[i].at("timestamp").intValue())));
        EXPECT_EQ((*after)[i].at("data"), (*before)[i].at("data"));
    }

    const auto version = schemaVersion();
    ASSERT_TRUE(store->ensureTableWithName("raw_events", kRawEvents, kRawEventsAddOns, modify, &error));
    EXPECT_EQ(schemaVersion(), version);
}

TEST_F(SqliteStoreSchema, RebuildCarriesAColumnThisVersionDoesNotKnow) {
    ASSERT_TRUE(store->ensureTableWithName("raw_events", kRawEvents, kRawEventsAddOns, &error));
    ASSERT_TRUE(store->executeSQL("ALTER TABLE raw_events ADD COLUMN from_a_newer_version TEXT", nullptr));
    insertRawEvents(*store, 3);
    ASSERT_TRUE(store->updateAllRecordsInTableWithName("raw_events", "from_a_newer_version", Value("keep me"),
                                                       &error));

    ASSERT_TRUE(store->ensureTableWithName("raw_events", kRawEvents, kRawEventsAddOns,
                                           {{"timestamp", "REAL NOT NULL"}}, &error))
        << describe(error);
    EXPECT_EQ(
        store->rowCountForTableWithName("raw_events", "from_a_newer_version", Value("keep me"), nullptr), 3);
    EXPECT_EQ(store->columnInfoForTableWithName("raw_events", nullptr)->at("timestamp"), "REAL");
}

TEST_F(SqliteStoreSchema, RebuildKeepsTheTablesCompositeKey) {
    const ColumnInfo filters{{"audience_id", "INTEGER NOT NULL"},
                             {"filter_id", "INTEGER NOT NULL"},
                             {"data", "BLOB NOT NULL"},
                             {"PRIMARY KEY", "(audience_id, filter_id)"}};
    ASSERT_TRUE(
        store->ensureTableWithName("event_filters", filters, {{"session_scoped", "INTEGER"}}, &error));
    ASSERT_TRUE(store->ensureTableWithName("event_filters", filters, {{"session_scoped", "INTEGER"}},
                                           {{"data", "TEXT NOT NULL"}}, &error))
        << describe(error);
    EXPECT_EQ(store->columnInfoForTableWithName("event_filters", nullptr)->at("data"), "TEXT");
    for (const char* data : {"first", "second"}) {
        ASSERT_TRUE(
            store->upsertRecord({{"audience_id", Value(1)}, {"filter_id", Value(2)}, {"data", Value(data)}},
                                "event_filters", nullptr));
    }
    EXPECT_EQ(store->rowCountForTableWithName("event_filters", nullptr), 1);
}

TEST_F(SqliteStoreSchema, ArgumentsAreCheckedWithTheirTexts) {
    struct Case {
        const char* text;
        std::int64_t code;
        std::function<bool(APMSqliteStore&, Error*)> call;
    };
    const ColumnInfo some{{"a", "TEXT"}};
    const std::vector<Case> cases{
        {"Received empty table name for ensure table", 1,
         [&](auto& s, Error* e) { return s.ensureTableWithName("", some, {}, e); }},
        {"Received no table columns for ensure table", 1,
         [&](auto& s, Error* e) { return s.ensureTableWithName("t", "CREATE TABLE t (a)", {}, {}, e); }},
        {"Received empty table name for ensure table schema", 1,
         [&](auto& s, Error* e) { return s.ensureSchemaOfTableWithName("", some, {}, e); }},
        {"Table does not exist for ensure table schema", 2,
         [&](auto& s, Error* e) { return s.ensureSchemaOfTableWithName("missing", some, {}, e); }},
        {"Received empty table name for validate table", 1,
         [&](auto& s, Error* e) { return s.validateTableWithName("", {"a"}, {}, e).value_or(false); }},
        {"Received empty table name for table exists", 1,
         [&](auto& s, Error* e) { return s.tableExists("", e).has_value(); }},
        {"Received empty old name for rename table", 1,
         [&](auto& s, Error* e) { return s.renameTable("", "b", e); }},
        {"Received duplicate name for rename table", 1,
         [&](auto& s, Error* e) { return s.renameTable("a", "a", e); }},
        {"Received empty source name for copy table", 1,
         [&](auto& s, Error* e) { return s.copyContentsFromTable("", "b", e); }},
        {"Received duplicate name for copy table", 1,
         [&](auto& s, Error* e) { return s.copyContentsFromTable("a", "a", e); }},
        {"Received empty table name for drop table", 1,
         [&](auto& s, Error* e) { return s.dropTableWithName("", e); }},
        {"Received empty table name for get columns", 1,
         [&](auto& s, Error* e) { return s.columnsForTableWithName("", e).has_value(); }},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        error = nullptr;
        EXPECT_FALSE(test.call(*store, &error));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), test.code);
        EXPECT_EQ(describe(error), test.text);
    }
}

TEST_F(SqliteStoreSchema, TableCopyMatchesColumnsByName) {
    ASSERT_TRUE(store->executeSQL("CREATE TABLE a (x TEXT, y INTEGER, only_here TEXT)", nullptr));
    ASSERT_TRUE(store->executeSQL("CREATE TABLE b (y INTEGER, x TEXT)", nullptr));
    ASSERT_TRUE(store->upsertRecord({{"x", Value("text")}, {"y", Value(7)}, {"only_here", Value("-")}}, "a",
                                    nullptr));
    ASSERT_TRUE(store->copyContentsFromTable("a", "b", &error)) << describe(error);
    const auto rows = store->recordsForQuery("SELECT * FROM b", {}, nullptr);
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->at(0), (APMSqliteStore::Record{{"x", Value("text")}, {"y", Value(7)}}));
    ASSERT_TRUE(store->renameTable("b", "c", &error));
    EXPECT_TRUE(*store->tableExists("c", nullptr));
    ASSERT_TRUE(store->dropTableWithName("c", &error));
    EXPECT_FALSE(*store->tableExists("c", nullptr));
}
