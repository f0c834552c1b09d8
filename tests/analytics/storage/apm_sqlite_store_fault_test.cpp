#include <gtest/gtest.h>

#include <set>

#include "tests/analytics/storage/fault_injecting_vfs.h"
#include "tests/support/killed_writer.h"
#include "tests/analytics/storage/sqlite_test_support.h"

using namespace analytics;
using platform::Value;
using quorvel::testing::describe;
using quorvel::testing::FaultInjectingVfs;
namespace fs = std::filesystem;

namespace {

const APMSqliteStore::ColumnInfo kRows{{"id", "INTEGER NOT NULL"}, {"payload", "TEXT"}};

class SqliteStoreFaults : public quorvel::testing::SqliteStoreTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(store) << describe(error);
        ASSERT_TRUE(store->ensureTableWithName("t", kRows, {}, &error));
        ASSERT_TRUE(store->performTransactionWithError(&error, [&] {
            for (int id = 0; id < 50; ++id) insert(id);
            return true;
        }));
    }

    bool insert(std::int64_t id) {
        return store->upsertRecord({{"id", Value(id)}, {"payload", Value(std::string(3000, 'p'))}}, "t",
                                   nullptr);
    }

    std::set<std::int64_t> storedIDs(APMSqliteStore& from) {
        std::set<std::int64_t> ids;
        const auto records = from.recordsForQuery("SELECT id FROM t", {}, nullptr);
        for (const auto& record : records.value()) ids.insert(*record.at("id").intValue());
        return ids;
    }

    // Declared before the store: the store's connection must close first.
    FaultInjectingVfs vfs;
    Error error;
    std::shared_ptr<APMSqliteStore> store = open(&error);
};

}  // namespace

TEST_F(SqliteStoreFaults, FaultAtEachWriteStepIsReportedAndLosesNoCommittedRow) {
    std::set<std::int64_t> expected = storedIDs(*store);
    int round = 0;
    // Two new rows and one removed old row in one transaction.
    const auto change = [&](Error* failure) {
        const std::int64_t first = 1000 + 2 * round;
        const std::int64_t old = round++;
        const bool done = store->performTransactionWithError(failure, [&] {
            return insert(first) && insert(first + 1) &&
                   store->deleteRecordsFromTableWithName("t", "id = ?", {Value(old)}, failure).has_value();
        });
        if (done) {
            expected.insert({first, first + 1});
            expected.erase(old);
        }
        return done;
    };

    vfs.resetCounts();
    ASSERT_TRUE(change(&error));
    const int steps = vfs.writeSteps();
    ASSERT_GT(steps, 4);
    for (int step = 0; step < steps; ++step) {
        for (int code : {SQLITE_IOERR, SQLITE_FULL}) {
            SCOPED_TRACE("write step " + std::to_string(step) +
                         (code == SQLITE_FULL ? " full" : " I/O error"));
            vfs.resetCounts();
            vfs.failWriteStep(step, code);
            error = nullptr;
            const bool done = change(&error);
            // Later changes take fewer steps; a step they never reach fails nothing.
            const bool faulted = vfs.writeSteps() > step;
            vfs.clear();
            EXPECT_NE(done, faulted);
            if (faulted) {
                ASSERT_TRUE(error);
                EXPECT_EQ(error->code(), 3);
            }
            EXPECT_TRUE(sqlite3_get_autocommit(store->sqliteHandle()));
            EXPECT_EQ(storedIDs(*store), expected);
        }
    }

    store.reset();
    auto reopened = open(&error);
    ASSERT_TRUE(reopened) << describe(error);
    EXPECT_EQ(storedIDs(*reopened), expected);
}

TEST_F(SqliteStoreFaults, FailedCommitLeavesNoTransactionOpen) {
    EXPECT_FALSE(store->performTransactionWithError(&error, [&] {
        insert(500);
        vfs.fail(FaultInjectingVfs::Call::Sync, SQLITE_IOERR_FSYNC);
        return true;
    }));
    vfs.clear();
    EXPECT_EQ(describe(error), "Failed to end transaction");
    EXPECT_TRUE(sqlite3_get_autocommit(store->sqliteHandle()));
    EXPECT_FALSE(storedIDs(*store).count(500));

    ASSERT_TRUE(insert(501));
    store.reset();
    auto reopened = open();
    ASSERT_TRUE(reopened);
    EXPECT_TRUE(storedIDs(*reopened).count(501));
    EXPECT_EQ(storedIDs(*reopened).size(), 51u);
}

TEST_F(SqliteStoreFaults, FailedReadIsAnErrorNotAShorterAnswer) {
    vfs.fail(FaultInjectingVfs::Call::Lock, SQLITE_BUSY, 0, 1);
    EXPECT_FALSE(store->recordsForQuery("SELECT id FROM t", {}, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->userInfo().at(kAPMMonitorContextKey).rfind("query records,5,", 0), 0u);

    // Part-way through: a small page cache sends every page read to the file.
    ASSERT_TRUE(store->executeSQL("PRAGMA cache_size=2", &error));
    vfs.fail(FaultInjectingVfs::Call::Read, SQLITE_IOERR_READ, 10, 1);
    error = nullptr;
    EXPECT_FALSE(store->recordsForQuery("SELECT id, payload FROM t", {}, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), 3);
    EXPECT_EQ(storedIDs(*store).size(), 50u);
}

TEST_F(SqliteStoreFaults, RebuildStoppedAtAnyWriteStepKeepsTheOldTableWhole) {
    store.reset();
    const std::string pristine = path + ".pristine";
    fs::copy_file(path, pristine);
    const APMSqliteStore::ModifyColumnInfo modify{{"id", "REAL NOT NULL"}};
    const auto rebuildFrom = [&](int failingStep) {
        fs::copy_file(pristine, path, fs::copy_options::overwrite_existing);
        auto rebuilt = open(&error);
        EXPECT_TRUE(rebuilt) << describe(error);
        vfs.resetCounts();
        if (failingStep >= 0) vfs.failWriteStep(failingStep, SQLITE_IOERR);
        const bool done = rebuilt->ensureTableWithName("t", kRows, {}, modify, &error);
        vfs.clear();
        return std::make_pair(done, rebuilt);
    };

    const int steps = (rebuildFrom(-1), vfs.writeSteps());
    ASSERT_GT(steps, 4);
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE("write step " + std::to_string(step));
        auto [done, rebuilt] = rebuildFrom(step);
        const auto type = rebuilt->columnInfoForTableWithName("t", nullptr).value()["id"];
        EXPECT_EQ(type, done ? "REAL" : "INTEGER");
        EXPECT_FALSE(*rebuilt->tableExists("t_old", nullptr));
        EXPECT_EQ(storedIDs(*rebuilt).size(), 50u);
    }
}

TEST_F(SqliteStoreFaults, KilledWriterLeavesEveryCommittedRowAndNoDamage) {
    store.reset();
    std::set<long> reported;
    for (long killAfter : {1L, 25L, 150L}) {
        const auto round = quorvel::testing::runWriterAndKill(STORAGE_WRITER, {"sqlite", path}, killAfter);
        ASSERT_GE(static_cast<long>(round.size()), killAfter);
        reported.insert(round.begin(), round.end());

        auto reopened = open(&error);
        ASSERT_TRUE(reopened) << describe(error);
        ASSERT_TRUE(*reopened->tableExists("t", nullptr)) << "the database was made anew";
        const auto stored = storedIDs(*reopened);
        for (long id : reported)
            ASSERT_TRUE(stored.count(id)) << "row " << id << " was committed but is gone";
    }
}
