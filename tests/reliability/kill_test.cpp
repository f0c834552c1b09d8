#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <functional>

#include "app/core/user_default_properties.h"
#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_user_defaults.h"
#include "tests/reliability/store_contents.h"
#include "tests/support/killed_writer.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel::testing;

namespace {

namespace fs = std::filesystem;

ino_t inodeOf(const fs::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? status.st_ino : 0;
}

// One store the writer writes: what the data root holds of it, and its database file, if it has one.
struct KilledStore {
    std::string writerMode;
    std::function<std::set<long>(const fs::path& root)> stored;
    std::function<fs::path()> database;
};

// The cloud folder of a test: inside its root, for the writer and every other device it starts.
struct CloudIn {
    explicit CloudIn(const fs::path& root) { ::setenv("QUORVEL_CLOUD", (root / "cloud").c_str(), 1); }
    ~CloudIn() { ::unsetenv("QUORVEL_CLOUD"); }
};

// Kills the writer of `store` at `runs` points drawn from `seed`, each run numbering its writes on from
// a new million. After every kill a fresh reader must find every write any run saw committed, nothing
// may be set aside as damaged, and a database must be sound and still the same file.
void killRepeatedly(const KilledStore& store, unsigned seed, int runs) {
    TempDataRoot root;
    CloudIn cloud(root.path());
    platform::Console::Capture console;  // the readers' start-up lines
    std::set<long> committed;
    ino_t databaseInode = 0;
    int run = 0;
    for (const auto point : randomKillPoints(seed, runs, 25, 3000)) {
        SCOPED_TRACE("run " + std::to_string(run) + ", killed " + std::to_string(point.delayMicroseconds) +
                     " µs after write " + std::to_string(point.afterReports));
        const auto reported = runWriterAndKill(
            STORE_WRITER, {store.writerMode, root.path().string(), std::to_string(run * 1000000L)}, point);
        ASSERT_GE(static_cast<long>(reported.size()), point.afterReports);
        committed.insert(reported.begin(), reported.end());

        const auto stored = store.stored(root.path());
        for (long number : committed) ASSERT_TRUE(stored.count(number)) << "write " << number << " is lost";
        ASSERT_EQ(damagedFiles(root.path()), std::set<fs::path>{});
        if (store.database) {
            const auto database = store.database();
            ASSERT_EQ(integrityOf(database), "ok");
            if (run == 0) databaseInode = inodeOf(database);
            ASSERT_EQ(inodeOf(database), databaseInode) << "the database was replaced";
        }
        ++run;
    }
}

}  // namespace

TEST(KilledWriters, TheSessionStoreKeepsEveryStoredSession) {
    killRepeatedly({"sessions", [](const fs::path&) { return storedSessions(); }, sessionStoreFile}, 1101,
                   25);
}

TEST(KilledWriters, ThePreferencesFilesKeepEveryFlushedValue) {
    const std::string shared = quorvel::UserDefaultProperties::kAppGroupSuiteName;
    killRepeatedly({"preferences",
                    [&](const fs::path&) {
                        auto numbers = storedPreferences(platform::NSUserDefaults::standardSuiteName());
                        // Both suites were flushed before the write was reported.
                        const auto inShared = storedPreferences(shared);
                        std::set<long> both;
                        for (long n : numbers)
                            if (inShared.count(n)) both.insert(n);
                        return both;
                    },
                    nullptr},
                   1102, 25);
}

TEST(KilledWriters, TheMeasurementDatabaseKeepsEveryStoredEvent) {
    killRepeatedly({"measurement", [](const fs::path&) { return storedEvents(); }, measurementDatabaseFile},
                   1103, 25);
}

TEST(KilledWriters, ThePersistentDictionaryKeepsEveryWrittenKey) {
    killRepeatedly({"dictionary", [](const fs::path&) { return storedDictionaryNumbers(); }, nullptr}, 1104,
                   25);
}

// Killed while it stores and merges sessions: another device, merging after each kill, receives every
// session a finished merge exported, and none twice (the reader fails on a duplicate).
TEST(KilledWriters, TheSyncDeliversEveryExportedSessionOnce) {
    killRepeatedly(
        {"sync",
         [](const fs::path& root) {
             const auto synced = runWriterToEnd(STORE_WRITER, {"synced", (root / "reader").string()});
             platform::DataRoot::setPath(root);
             return synced;
         },
         sessionStoreFile},
        1105, 12);
}
