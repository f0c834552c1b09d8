#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "tests/analytics/storage/sqlite_test_support.h"

using namespace analytics;
using platform::Value;
using quorvel::testing::describe;
using Record = APMSqliteStore::Record;

namespace {

class SqliteStoreRecords : public quorvel::testing::SqliteStoreTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(store) << describe(error);
        ASSERT_TRUE(store->ensureTableWithName(
            "t", APMSqliteStore::ColumnInfo{{"id", "INTEGER"}, {"value", "BLOB"}}, {}, &error));
    }

    void insert(std::int64_t id, Value value) {
        ASSERT_TRUE(store->upsertRecord({{"id", Value(id)}, {"value", std::move(value)}}, "t", &error))
            << describe(error);
    }

    std::vector<std::int64_t> ids(const std::vector<Record>& records) {
        std::vector<std::int64_t> found;
        for (const auto& record : records) found.push_back(record.at("id").intValue().value_or(-1));
        return found;
    }

    // Statements alive on the connection: the cached ones, once every use is cleaned up.
    int liveStatements() {
        int count = 0;
        for (sqlite3_stmt* s = sqlite3_next_stmt(store->sqliteHandle(), nullptr); s;
             s = sqlite3_next_stmt(store->sqliteHandle(), s)) {
            ++count;
        }
        return count;
    }

    // Each call fails with its text and `code`.
    template <std::size_t N>
    void expectRefusals(
        const std::pair<const char*, std::function<bool(APMSqliteStore&, Error*)>> (&cases)[N], int code) {
        for (const auto& [text, call] : cases) {
            SCOPED_TRACE(text);
            error = nullptr;
            EXPECT_FALSE(call(*store, &error));
            ASSERT_TRUE(error);
            EXPECT_EQ(error->code(), code);
            EXPECT_EQ(describe(error), text);
        }
    }

    Error error;
    std::shared_ptr<APMSqliteStore> store = open(&error);
};

}  // namespace

TEST_F(SqliteStoreRecords, ValuesComeBackByStorageClass) {
    const Value values[] = {
        Value(std::numeric_limits<std::int64_t>::min()),
        Value(std::numeric_limits<std::int64_t>::max()),
        Value(0.25),
        Value(std::string("nul\0inside", 10)),
        Value("é ✓"),
        Value(Value::Data{0, 255, 7}),
        Value(),
    };
    for (std::size_t i = 0; i < std::size(values); ++i) insert(static_cast<std::int64_t>(i), values[i]);
    insert(100, Value(true));
    insert(101, Value(std::numeric_limits<std::uint64_t>::max()));

    const auto records = store->recordsForQuery("SELECT id, value FROM t ORDER BY id", {}, &error);
    ASSERT_TRUE(records) << describe(error);
    for (std::size_t i = 0; i < std::size(values); ++i) EXPECT_EQ((*records)[i].at("value"), values[i]);
    EXPECT_EQ((*records)[7].at("value"), Value(1));
    EXPECT_EQ((*records)[8].at("value"), Value(std::numeric_limits<std::int64_t>::max()));
}

TEST_F(SqliteStoreRecords, ZeroLengthBlobIsStoredButReadsAsAMissingValue) {
    ASSERT_TRUE(store->executeSQL("CREATE TABLE strict (data BLOB NOT NULL)", nullptr));
    ASSERT_TRUE(store->upsertRecord({{"data", Value(Value::Data{})}}, "strict", &error)) << describe(error);
    const auto records = store->recordsForQuery("SELECT data, length(data) AS size FROM strict", {}, &error);
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ(records->at(0), (Record{{"size", Value(0)}}));
    EXPECT_TRUE(logged("34004"));
}

TEST_F(SqliteStoreRecords, ValuesOfNoColumnTypeAreRefused) {
    const Record withDate{{"id", Value(1)}, {"value", Value(platform::NSDate(5))}};
    EXPECT_FALSE(store->upsertRecord(withDate, "t", &error));
    EXPECT_FALSE(error);  // as the store always has: the log line says why
    EXPECT_TRUE(logged("34020"));

    insert(1, Value("old"));
    EXPECT_FALSE(store->updateRecord({{"value", Value(Value::Array{})}}, "t", "id", Value(1), &error));
    EXPECT_EQ(error->code(), 1);
    EXPECT_EQ(describe(error), "Failed to bind parameter of unexpected type to update statement");
    EXPECT_TRUE(logged("34021"));
    EXPECT_EQ(store->numberForQuery("SELECT count(1) FROM t WHERE value = 'old'", {}, nullptr), Value(1));
}

// A statement run again binds text without copying it, so nothing of an earlier run's text may stay
// bound: each row keeps its own text, and a value left out reads as null, not as the text before it.
TEST_F(SqliteStoreRecords, EachRunOfACachedStatementStoresItsOwnText) {
    const std::string insertRow = "INSERT INTO t (id, value) VALUES (?, ?)";
    for (int id = 1; id <= 3; ++id) {
        const std::string text(40, 'a' + id);
        const APMSqliteStore::BoundValue values[] = {std::int64_t{id}, std::string_view(text)};
        ASSERT_TRUE(store->executeStatement(insertRow, values, &error)) << describe(error);
    }
    const APMSqliteStore::BoundValue idOnly[] = {std::int64_t{4}};
    ASSERT_TRUE(store->executeStatement(insertRow, idOnly, &error)) << describe(error);
    const auto records = store->recordsForQuery("SELECT id, value FROM t ORDER BY id", {}, &error);
    ASSERT_TRUE(records && records->size() == 4) << describe(error);
    for (int id = 1; id <= 3; ++id) {
        const Value& value = (*records)[id - 1].at("value");
        ASSERT_TRUE(value.stringValue()) << id;
        EXPECT_EQ(*value.stringValue(), std::string(40, 'a' + id));
    }
    const auto left = (*records)[3].find("value");
    EXPECT_TRUE(left == (*records)[3].end() || left->second.isNull());
}

TEST_F(SqliteStoreRecords, UpdatesDeletesAndCounts) {
    for (int id = 1; id <= 5; ++id) insert(id, Value(id * 10));
    EXPECT_TRUE(store->updateRecord({{"value", Value(99)}}, "t", "id", Value(2), &error));
    EXPECT_EQ(store->rowCountForTableWithName("t", "value", Value(99), &error), 1);
    EXPECT_TRUE(store->increaseColumn("id", 100, "t", "value > ?", {Value(35)}, &error)) << describe(error);
    EXPECT_EQ(store->rowCountForTableWithName("t", "id", Value(104), &error), 1);
    EXPECT_EQ(store->deleteRecordsFromTableWithName("t", "id > ?", {Value(100)}, &error), 3);  // 2 (99), 4, 5
    EXPECT_TRUE(store->deleteRecordFromTableWithName("t", "id", Value(1), &error));
    EXPECT_EQ(store->rowCountForTableWithName("t", &error), 1);
    EXPECT_TRUE(store->updateAllRecordsInTableWithName("t", "value", Value(), &error));
    EXPECT_EQ(store->numberForQuery("SELECT count(value) FROM t", {}, &error), Value(0));
    EXPECT_TRUE(store->deleteAllRecordsFromTableWithName("t", &error));
    EXPECT_EQ(store->rowCountForTableWithName("t", &error), 0);

    ASSERT_TRUE(store->executeSQL("CREATE TABLE counters (n INTEGER NOT NULL, label TEXT)", nullptr));
    EXPECT_FALSE(store->increaseColumn("label", 1, "counters", "1", {}, &error));
    EXPECT_EQ(describe(error), "Column type is not integer.");
    EXPECT_FALSE(store->increaseColumn("missing", 1, "counters", "1", {}, &error));
    EXPECT_EQ(describe(error), "Invalid column or table name");
}

TEST_F(SqliteStoreRecords, QueriesAreOneSelectStatement) {
    insert(1, Value("a"));
    for (const char* query :
         {"SELECT id FROM t", "select id FROM t", "SeLeCt id FROM t;", "SELECT id FROM t;\n  "}) {
        EXPECT_TRUE(store->recordsForQuery(query, {}, &error)) << query << ": " << describe(error);
    }
    const std::pair<const char*, const char*> refused[] = {
        {"WITH x AS (SELECT 1) SELECT * FROM x", "Received invalid select query"},
        {" select id FROM t", "Received invalid select query"},
        {"DELETE FROM t", "Received invalid select query"},
        {"SELECT id FROM t; DELETE FROM t", "Query contained more than one SQL statement."},
        {"", "Received empty query for records for query"},
        {"SELECT id FROM t WHERE id = ?", "Received empty parameters"},
    };
    for (const auto& [query, text] : refused) {
        error = nullptr;
        EXPECT_FALSE(store->recordsForQuery(query, {}, &error)) << query;
        EXPECT_EQ(describe(error), text);
        EXPECT_EQ(error->code(), 1);
    }
    EXPECT_FALSE(store->executeSQL("DELETE FROM t; DROP TABLE t", &error));
    EXPECT_EQ(describe(error), "Query contained more than one SQL statement.");
    EXPECT_EQ(store->rowCountForTableWithName("t", nullptr), 1);

    EXPECT_FALSE(store->recordsForQuery("SELECT id FROM t WHERE id = ?", {Value(1), Value(2)}, &error));
    EXPECT_EQ(error->code(), 3);
    EXPECT_EQ(error->userInfo().at(kAPMMonitorContextKey).rfind("bind values,25,A,", 0), 0u);
}

TEST_F(SqliteStoreRecords, FilterDecidesWhereTheScanEnds) {
    for (int id = 1; id <= 5; ++id) insert(id, Value(id));
    const auto firstTwo = store->recordsForQuery("SELECT id FROM t ORDER BY id", {}, &error,
                                                 [](std::size_t kept, const Record&) { return kept < 2; });
    EXPECT_EQ(ids(*firstTwo), (std::vector<std::int64_t>{1, 2}));

    const auto odd =
        store->recordsForQuery("SELECT id FROM t ORDER BY id", {}, &error,
                               [](std::size_t, const Record& r) { return *r.at("id").intValue() != 4; });
    EXPECT_EQ(ids(*odd), (std::vector<std::int64_t>{1, 2, 3}));

    const auto none = store->recordsForQuery("SELECT id FROM t", {}, &error,
                                             [](std::size_t, const Record&) { return false; });
    EXPECT_TRUE(none && none->empty());
    EXPECT_TRUE(logged("34005"));
}

TEST_F(SqliteStoreRecords, FilterMayRunTheSameQueryAgain) {
    for (int id = 1; id <= 3; ++id) insert(id, Value(id));
    const std::string query = "SELECT id FROM t WHERE id >= ? ORDER BY id";
    std::vector<std::size_t> innerSizes;
    const auto outer =
        store->recordsForQuery(query, {Value(1)}, &error, [&](std::size_t, const Record& record) {
            innerSizes.push_back(store->recordsForQuery(query, {record.at("id")}, nullptr)->size());
            return true;
        });
    ASSERT_TRUE(outer) << describe(error);
    EXPECT_EQ(ids(*outer), (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_EQ(innerSizes, (std::vector<std::size_t>{3, 2, 1}));
}

TEST_F(SqliteStoreRecords, NumbersComeFromTheFirstColumnOfTheFirstRow) {
    EXPECT_FALSE(store->numberForQuery("SELECT max(id) FROM t", {}, &error));
    EXPECT_FALSE(error);
    insert(7, Value("text"));
    EXPECT_EQ(store->numberForQuery("SELECT max(id) FROM t", {}, &error), Value(7));
    EXPECT_FALSE(store->numberForQuery("SELECT value FROM t", {}, &error));
    EXPECT_EQ(describe(error), "Found result that was not numeric");
    EXPECT_FALSE(store->numberForQuery("SELECT id FROM t WHERE id = ?", {Value(8)}, &error));
    EXPECT_EQ(error->code(), 3);
    EXPECT_EQ(error->userInfo().at(kAPMMonitorContextKey).rfind("query numeric result,", 0), 0u);
}

TEST_F(SqliteStoreRecords, StatementsWithLiteralConditionsAreNotCached) {
    for (int id = 1; id <= 3; ++id) insert(id, Value(id));
    const int before = liveStatements();
    for (int id = 1; id <= 3; ++id) {
        ASSERT_TRUE(store->recordsForQuery("SELECT value FROM t WHERE id = ?", {Value(id)}, &error));
        ASSERT_TRUE(
            store->recordsForQuery("SELECT value FROM t WHERE id = " + std::to_string(id), {}, &error));
        ASSERT_TRUE(store->recordsForQuery("SELECT count(1) FROM t", {}, &error));
    }
    EXPECT_EQ(liveStatements(), before + 2);
    sqlite3_stmt* first = store->statementForQuery("SELECT value FROM t WHERE id = ?", {Value(1)}, &error);
    store->cleanUpStatement(first, "SELECT value FROM t WHERE id = ?");
    EXPECT_EQ(store->statementForQuery("SELECT value FROM t WHERE id = ?", {Value(2)}, &error), first);
    store->cleanUpStatement(first, "SELECT value FROM t WHERE id = ?");
}

// A call on the store `s` with the error out-parameter `e`, reduced to whether it succeeded.
#define CALL(expr) [&](APMSqliteStore& s, Error* e) { return bool(expr); }

TEST_F(SqliteStoreRecords, ArgumentsAreCheckedWithTheirTexts) {
    const Record some{{"id", Value(1)}};
    const std::pair<const char*, std::function<bool(APMSqliteStore&, Error*)>> cases[] = {
        {"Received empty record for upsert", CALL(s.upsertRecord({}, "t", e))},
        {"Nil column value for update", CALL(s.updateRecord(some, "t", "id", std::nullopt, e))},
        {"Nil column value for update", CALL(s.updateAllRecordsInTableWithName("t", "id", std::nullopt, e))},
        {"Empty condition for increase column", CALL(s.increaseColumn("id", 1, "t", "", {}, e))},
        {"Received nil value for delete record",
         CALL(s.deleteRecordFromTableWithName("t", "id", std::nullopt, e))},
        {"Received empty condition for delete record",
         CALL(s.deleteRecordsFromTableWithName("t", "", {}, e))},
        {"Received empty table name for row count", CALL(s.rowCountForTableWithName("", e))},
        {"Received empty query to get numeric result", CALL(s.numberForQuery("", {}, e))},
        {"Received empty filter for selecting records", CALL(s.recordsForQuery("SELECT 1", {}, e, nullptr))},
        {"Received empty SQL string to prepare", CALL(s.prepareSQL("  -- nothing", e))},
        {"Execute SQL statement failed. Statement is NULL.", CALL(s.executeSQLStatement(nullptr, e))},
        {"Failed to bind to NULL statement", CALL(s.bindValues({Value(1)}, nullptr, e))},
        {"Received nil transaction block", CALL(s.performTransactionWithError(e, nullptr))},
    };
    expectRefusals(cases, 1);
}

TEST_F(SqliteStoreRecords, ClosedDatabaseAnswersCodeTwo) {
    ASSERT_TRUE(store->closeAndDeleteDatabase());
    const std::pair<const char*, std::function<bool(APMSqliteStore&, Error*)>> cases[] = {
        {"Upsert record failed. Database not open.", CALL(s.upsertRecord({{"id", Value(1)}}, "t", e))},
        {"Row count failed. Database not open.", CALL(s.rowCountForTableWithName("t", e))},
        {"Ensure table failed. Database not open.",
         CALL(s.ensureTableWithName("t", "CREATE TABLE t (a)", {"a"}, {}, e))},
        {"Statement for query failed. Database not open.", CALL(s.statementForQuery("SELECT 1", e))},
        {"Database not open", CALL(s.performTransactionWithError(e, [] { return true; }))},
    };
    expectRefusals(cases, 2);
}
#undef CALL

TEST_F(SqliteStoreRecords, TransactionsCommitOnlyWhatTheBlockAccepts) {
    EXPECT_TRUE(store->performTransactionWithError(&error, [&] {
        insert(1, Value("committed"));
        return true;
    }));

    EXPECT_FALSE(store->performTransactionWithError(&error, [&] {
        insert(2, Value("refused"));
        return false;
    }));
    EXPECT_EQ(describe(error), "Transaction failed");
    EXPECT_EQ(error->code(), 3);

    EXPECT_THROW(store->performTransactionWithError(&error,
                                                    [&]() -> bool {
                                                        insert(3, Value("thrown"));
                                                        throw std::runtime_error("block failed");
                                                    }),
                 std::runtime_error);
    EXPECT_TRUE(sqlite3_get_autocommit(store->sqliteHandle()));

    Error inner;
    EXPECT_TRUE(store->performTransactionWithError(&error, [&] {
        EXPECT_FALSE(store->performTransactionWithError(&inner, [] { return true; }));
        return true;
    }));
    EXPECT_EQ(describe(inner), "Failed to begin transaction");

    const auto records = store->recordsForQuery("SELECT id FROM t", {}, &error);
    EXPECT_EQ(ids(*records), (std::vector<std::int64_t>{1}));
}

TEST_F(SqliteStoreRecords, CommitRefusedWhileAWriteIsUnfinishedRollsBackAndLeavesNoTransaction) {
    insert(1, Value("before"));
    sqlite3_stmt* unfinished = nullptr;
    EXPECT_FALSE(store->performTransactionWithError(&error, [&] {
        insert(2, Value("inside"));
        unfinished = store->prepareSQL("UPDATE t SET value = 'changed' WHERE id = 1 RETURNING id", nullptr);
        return sqlite3_step(unfinished) == SQLITE_ROW;
    }));
    sqlite3_finalize(unfinished);
    EXPECT_EQ(describe(error), "Failed to end transaction");
    EXPECT_TRUE(sqlite3_get_autocommit(store->sqliteHandle()));

    insert(3, Value("after"));
    const auto records = store->recordsForQuery("SELECT id, value FROM t ORDER BY id", {}, &error);
    EXPECT_EQ(ids(*records), (std::vector<std::int64_t>{1, 3}));
    EXPECT_EQ(records->at(0).at("value"), Value("before"));
}
