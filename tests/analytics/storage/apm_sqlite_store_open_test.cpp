#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "analytics/storage/apm_exclude_path_from_backup.h"
#include "platform/foundation/ns_file_manager.h"
#include "tests/analytics/storage/fault_injecting_vfs.h"
#include "tests/analytics/storage/sqlite_test_support.h"

using namespace analytics;
using platform::Value;
using quorvel::testing::describe;
using quorvel::testing::FaultInjectingVfs;
namespace fs = std::filesystem;

namespace {

using SqliteStoreOpening = quorvel::testing::SqliteStoreTest;

// A database of a few pages holding `rows` rows of 200 bytes.
void makePopulatedDatabase(const std::string& path, int rows) {
    fs::create_directories(fs::path(path).parent_path());
    std::string sql = "CREATE TABLE t (id INTEGER PRIMARY KEY, payload TEXT);";
    for (int i = 0; i < rows; ++i) sql += "INSERT INTO t (payload) VALUES (hex(randomblob(100)));";
    ASSERT_TRUE(quorvel::testing::runOnOwnConnection(path, sql));
}

std::int64_t tableCount(APMSqliteStore& store) {
    return store.numberForQuery("SELECT count(1) FROM sqlite_master WHERE type='table'", {}, nullptr)
        ->intValue()
        .value_or(-1);
}

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

TEST_F(SqliteStoreOpening, MakesItsFolderAndKeepsTheFileOutOfBackups) {
    Error error;
    auto store = open(&error);
    ASSERT_TRUE(store) << describe(error);
    EXPECT_EQ(store->databasePath(), path);
    EXPECT_TRUE(store->sqliteHandle());
    EXPECT_TRUE(fs::is_regular_file(path));
    char mark = 0;
    EXPECT_EQ(::getxattr(path.c_str(), kAPMExcludedFromBackupAttribute, &mark, 1), 1);

    EXPECT_FALSE(APMSqliteStore::initWithDatabasePath("", &error));
    EXPECT_EQ(error->code(), 1);
    EXPECT_EQ(describe(error), "Received empty database path on init");
}

TEST_F(SqliteStoreOpening, DamagedFilesAreDeletedAndMadeAnew) {
    struct Damage {
        const char* name;
        void (*apply)(const std::string& path);
    };
    const Damage damages[] = {
        {"garbage",
         [](const std::string& path) { quorvel::testing::writeBytes(path, std::string(5000, 'x')); }},
        {"bad header",
         [](const std::string& path) {
             makePopulatedDatabase(path, 50);
             auto bytes = quorvel::testing::fileBytes(path);
             bytes.replace(0, 16, "not a database!!");
             quorvel::testing::writeBytes(path, bytes);
         }},
        {"truncated",
         [](const std::string& path) {
             makePopulatedDatabase(path, 200);
             fs::resize_file(path, fs::file_size(path) / 2);
         }},
        {"overwritten table page",
         [](const std::string& path) {
             makePopulatedDatabase(path, 200);
             auto bytes = quorvel::testing::fileBytes(path);
             bytes.replace(4096, 4096, std::string(4096, '\x7f'));
             quorvel::testing::writeBytes(path, bytes);
         }},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.name);
        fs::remove(path);
        damage.apply(path);
        Error error;
        auto store = open(&error);
        ASSERT_TRUE(store) << describe(error);
        EXPECT_EQ(tableCount(*store), 0);
        EXPECT_TRUE(store->ensureTableWithName("t", APMSqliteStore::ColumnInfo{{"a", "TEXT"}}, {}, &error));
        EXPECT_TRUE(store->upsertRecord({{"a", Value("fresh")}}, "t", &error));
    }
}

TEST_F(SqliteStoreOpening, ZeroLengthFileIsAnEmptyDatabaseAndStays) {
    quorvel::testing::writeBytes(path, "");
    const ino_t before = inodeOf(path);
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(inodeOf(path), before);
}

TEST_F(SqliteStoreOpening, BusyLockedOrUnreadableFilesAreKeptAsTheyAre) {
    struct Failure {
        const char* name;
        FaultInjectingVfs::Call call;
        int resultCode;
        int expectedPrimaryCode;
    };
    const Failure failures[] = {
        {"busy lock", FaultInjectingVfs::Call::Lock, SQLITE_BUSY, SQLITE_BUSY},
        {"read error", FaultInjectingVfs::Call::Read, SQLITE_IOERR_READ, SQLITE_IOERR},
        {"cannot open", FaultInjectingVfs::Call::Open, SQLITE_CANTOPEN, SQLITE_CANTOPEN},
    };
    makePopulatedDatabase(path, 100);
    const std::string bytes = quorvel::testing::fileBytes(path);
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.name);
        FaultInjectingVfs vfs;
        vfs.fail(failure.call, failure.resultCode);
        Error error;
        EXPECT_FALSE(open(&error));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), 3);
        EXPECT_EQ(std::atoi(error->userInfo().at(APMSqliteStore::kSqliteResultCodeKey).c_str()) & 0xff,
                  failure.expectedPrimaryCode);
        EXPECT_FALSE(APMSqliteStore::isDamage(error));
        EXPECT_EQ(quorvel::testing::fileBytes(path), bytes);
    }
}

TEST_F(SqliteStoreOpening, AnotherConnectionsExclusiveLockFailsTheOpenAndKeepsTheFile) {
    makePopulatedDatabase(path, 100);
    const std::string bytes = quorvel::testing::fileBytes(path);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; DELETE FROM t;", nullptr, nullptr, nullptr), SQLITE_OK);

    Error error;
    EXPECT_FALSE(open(&error));
    ASSERT_TRUE(error);
    EXPECT_EQ(describe(error),
              "Database operation \"validate database\" failed with sqlite code 5 and error message "
              "\"database is locked\"");
    EXPECT_EQ(error->userInfo().at(kAPMMonitorContextKey).rfind("validate database,5,A,", 0), 0u);

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(quorvel::testing::fileBytes(path), bytes);
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->rowCountForTableWithName("t", nullptr), 100);
}

TEST_F(SqliteStoreOpening, FolderStandingAtThePathIsNotDeleted) {
    fs::create_directories(fs::path(path) / "inside");
    Error error;
    EXPECT_FALSE(open(&error));
    ASSERT_TRUE(error);
    EXPECT_TRUE(fs::is_directory(fs::path(path) / "inside"));
}

TEST_F(SqliteStoreOpening, ImmutableFileIsMadeMutableBeforeOpeningAndDeleting) {
    makePopulatedDatabase(path, 10);
    auto files = platform::NSFileManager::defaultManager();
    if (!files->setImmutable(true, path)) GTEST_SKIP() << "no immutable flag here";
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_FALSE(files->attributesOfItemAtPath(path)->immutable);
    EXPECT_TRUE(store->upsertRecord({{"payload", Value("new")}}, "t", nullptr));

    files->setImmutable(true, path);
    EXPECT_TRUE(store->closeAndDeleteDatabase());
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(SqliteStoreOpening, DeletingTakesTheJournalAlongSoItIsNeverPlayedIntoTheNewFile) {
    auto store = open();
    ASSERT_TRUE(store);
    quorvel::testing::writeBytes(path + "-journal", std::string(2048, 'j'));
    EXPECT_TRUE(store->closeAndDeleteDatabase());
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + "-journal"));
    EXPECT_FALSE(store->sqliteHandle());

    Error error;
    EXPECT_FALSE(store->recordsForQuery("SELECT 1", {}, &error));
    EXPECT_EQ(error->code(), 2);
    EXPECT_EQ(describe(error), "Query records failed. Database not open.");
    EXPECT_FALSE(store->lastErrorMessage());
    EXPECT_TRUE(logged("34022"));
}

TEST_F(SqliteStoreOpening, DamageIsCorruptionOrATableThatDoesNotFit) {
    const auto error = [](std::int64_t code, const std::string& description, int resultCode) {
        platform::NSError::UserInfo info{{platform::NSLocalizedDescriptionKey, description}};
        if (resultCode) info[APMSqliteStore::kSqliteResultCodeKey] = std::to_string(resultCode);
        return platform::NSError::errorWithDomain(kAPMErrorDomain, code, info);
    };
    EXPECT_TRUE(APMSqliteStore::isDamage(error(3, "", SQLITE_CORRUPT)));
    EXPECT_TRUE(APMSqliteStore::isDamage(error(3, "", SQLITE_NOTADB)));
    EXPECT_TRUE(APMSqliteStore::isDamage(error(2, "Table is missing required columns", 0)));
    EXPECT_TRUE(APMSqliteStore::isDamage(error(2, "Table contains unknown non-optional columns", 0)));
    EXPECT_FALSE(APMSqliteStore::isDamage(error(3, "", SQLITE_BUSY)));
    EXPECT_FALSE(APMSqliteStore::isDamage(error(3, "", SQLITE_IOERR_SHORT_READ)));
    EXPECT_FALSE(APMSqliteStore::isDamage(error(3, "", SQLITE_FULL)));
    EXPECT_FALSE(APMSqliteStore::isDamage(error(2, "Database not open", 0)));
    EXPECT_FALSE(APMSqliteStore::isDamage(nullptr));
}
