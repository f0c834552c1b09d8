#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_database.h"
#include "platform/foundation/clock.h"
#include "tests/support/killed_writer.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;

namespace {

// The event numbers stored after `afterRow`, in row order, and the last row read.
std::vector<long> storedNumbers(APMDatabase& database, std::int64_t& afterRow) {
    std::vector<long> numbers;
    const auto records = database.sqliteStore()->recordsForQuery(
        "SELECT rowid, * FROM raw_events WHERE rowid > ? ORDER BY rowid", {afterRow}, nullptr);
    for (const auto& record : records.value()) {
        const auto event = database.rawEventDataFromDictionary(record, nullptr);
        EXPECT_TRUE(event) << "row " << *record.at("rowid").intValue() << " cannot be read";
        if (!event) continue;
        numbers.push_back(static_cast<long>(event->rawEvent().parameters().at("seq").int64Value()));
        afterRow = event->rowID();
    }
    return numbers;
}

ino_t inodeOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

}  // namespace

// A hundred times the app is killed at a random moment while it logs: every event it saw stored is
// still there, each run's events are a gap-free prefix of what it logged, and the file is never replaced.
TEST(MeasurementKill, KilledWhileLoggingItLosesNoStoredEventAndKeepsItsDatabase) {
    quorvel::testing::TempDataRoot root;
    const auto clock = platform::VirtualClock::install();
    const std::string path = APMMeasurementDirectoryFilePath(APMDatabase::kDatabaseName);
    std::mt19937 random(20240611);
    std::int64_t lastRow = 0;
    std::size_t storedBefore = 0;
    ino_t inode = 0;
    for (long run = 0; run < 100; ++run) {
        const long first = run * 1000000;
        const long killAfter = std::uniform_int_distribution<long>(1, 40)(random);
        const auto reported = quorvel::testing::runWriterAndKill(
            MEASUREMENT_WRITER, {root.path().string(), std::to_string(first)}, killAfter);
        ASSERT_GE(static_cast<long>(reported.size()), killAfter);

        std::shared_ptr<platform::NSError> error;
        const auto database = APMDatabase::initWithDatabaseName(APMDatabase::kDatabaseName, nullptr, &error);
        ASSERT_TRUE(database) << "run " << run << ": " << (error ? error->localizedDescription() : "");
        if (run == 0) inode = inodeOf(path);
        ASSERT_EQ(inodeOf(path), inode) << "run " << run << " replaced the database";
        const auto earlier = database->sqliteStore()->numberForQuery(
            "SELECT count(1) FROM raw_events WHERE rowid <= ?", {lastRow}, nullptr);
        ASSERT_EQ(earlier.value_or(platform::Value(0)),
                  platform::Value(static_cast<std::int64_t>(storedBefore)))
            << "run " << run << " lost earlier events";

        const auto numbers = storedNumbers(*database, lastRow);
        ASSERT_GE(numbers.size(), reported.size()) << "run " << run << " lost events it saw stored";
        for (std::size_t i = 0; i < numbers.size(); ++i)
            ASSERT_EQ(numbers[i], first + static_cast<long>(i)) << "run " << run << " left a gap";
        storedBefore += numbers.size();
    }
}

// The process may end while the worker queue is still storing events, and then ends cleanly.
TEST(MeasurementKill, TheAppMayEndWhileItsEventsAreBeingStored) {
    quorvel::testing::TempDataRoot root;
    for (int run = 0; run < 20; ++run) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl(MEASUREMENT_WRITER, MEASUREMENT_WRITER, root.path().c_str(), "0", "exit",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "run " << run << " ended with status " << status;
    }
}
