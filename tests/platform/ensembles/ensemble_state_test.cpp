#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "platform/foundation/console.h"
#include "tests/platform/ensembles/ensemble_test_support.h"

using namespace platform;
using quorvel::testing::changeFiles;
using quorvel::testing::readChangeFile;
using quorvel::testing::runSQL;
using quorvel::testing::stateFileOf;
using quorvel::testing::TwoDevices;
using Notes = std::map<std::string, std::int64_t>;

namespace {

// A and B each hold `count` notes of their own and both hold them all; A's process is gone.
void syncNotesAndCloseA(TwoDevices& devices, int count) {
    devices.a.insertMany("a", count);
    devices.b.insertMany("b", count);
    devices.leechBoth();
    devices.merge(devices.a);
    devices.merge(devices.b);
    devices.merge(devices.a);
    ASSERT_EQ(devices.a.notes().size(), 2u * count);
    devices.a = {};
}

}  // namespace

// The bookkeeping of an older version: revisions without rows, no place in the store's log.
TEST(EnsembleState, AStateFileOfTheVersionBeforeSendsOnlyWhatChangedAndDuplicatesNothing) {
    TwoDevices devices;
    syncNotesAndCloseA(devices, 20);
    ASSERT_TRUE(runSQL(stateFileOf(devices, "A"),
                    "CREATE TABLE older (record TEXT PRIMARY KEY, hash INTEGER, time REAL, device TEXT);"
                    "INSERT INTO older SELECT record, hash, time, device FROM revisions;"
                    "DROP TABLE revisions; ALTER TABLE older RENAME TO revisions;"
                    "DELETE FROM meta WHERE key = 'changeCursor';"));

    devices.a = quorvel::testing::Device(devices.root.path() / "A", devices.model);
    devices.clock->advance(60);  // later versions than the ones held
    devices.a.update("b3", 33);
    const auto before = changeFiles(devices.cloud);
    ASSERT_FALSE(devices.merge(devices.a));
    const auto added = quorvel::testing::filesAddedSince(before, devices.cloud);
    ASSERT_EQ(added.size(), 1u);
    const auto file = readChangeFile(added.front());
    ASSERT_TRUE(file);
    ASSERT_EQ(file->changes.size(), 1u);
    EXPECT_EQ(file->changes.front().globalIdentifier, "b3");

    // From then on the log is followed, and B's changes come in without a second copy of anything.
    devices.b.update("b4", 44);
    ASSERT_FALSE(devices.merge(devices.b));
    ASSERT_FALSE(devices.merge(devices.a));
    devices.a.update("a5", 55);
    ASSERT_FALSE(devices.merge(devices.a));
    ASSERT_FALSE(devices.merge(devices.b));
    const auto onA = devices.a.notes();
    EXPECT_EQ(onA.size(), 40u);
    EXPECT_EQ(onA.at("b3"), 33);
    EXPECT_EQ(onA.at("b4"), 44);
    EXPECT_EQ(onA.at("a5"), 55);
    EXPECT_EQ(devices.b.notes(), onA);
}

// Only the header and the tables are read at launch; the rest is checked before the first merge
// uses the file, and damage there is handled as damage anywhere: the file is set aside and the
// device syncs again.
TEST(EnsembleState, AStateFileDamagedInsideIsSetAsideAtTheFirstMergeNotAtLaunch) {
    TwoDevices devices;
    syncNotesAndCloseA(devices, 1500);
    const auto state = stateFileOf(devices, "A");
    ASSERT_FALSE(std::filesystem::exists(state.string() + "-wal"));
    const auto size = std::filesystem::file_size(state);
    ASSERT_GT(size, 16u * 4096);
    {
        std::fstream file(state, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(size / 2 / 4096 * 4096));
        const std::string garbage(4096, '\x5a');
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }

    Console::Capture console;
    devices.a = quorvel::testing::Device(devices.root.path() / "A", devices.model);
    EXPECT_TRUE(devices.a.ensemble->isLeeched());
    EXPECT_FALSE(console.contains("The sync state"));
    EXPECT_FALSE(std::filesystem::exists(state.string() + ".damaged-1"));

    devices.a.insert("late", 7);
    ASSERT_FALSE(devices.merge(devices.a));
    EXPECT_TRUE(console.contains("The sync state"));
    EXPECT_TRUE(std::filesystem::exists(state.string() + ".damaged-1"));
    ASSERT_FALSE(devices.merge(devices.b));
    const auto onA = devices.a.notes();
    EXPECT_EQ(onA.size(), 3001u);
    EXPECT_EQ(onA.at("late"), 7);
    EXPECT_EQ(devices.b.notes(), onA);
}
