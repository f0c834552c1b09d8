#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/ensembles/outgoing_changes.h"
#include "tests/platform/ensembles/ensemble_test_support.h"
#include "tests/support/killed_writer.h"

using namespace platform;
using quorvel::testing::backUp;
using quorvel::testing::changeFiles;
using quorvel::testing::copiesOf;
using quorvel::testing::Device;
using quorvel::testing::filesAddedSince;
using quorvel::testing::putBack;
using quorvel::testing::readChangeFile;
using quorvel::testing::TwoDevices;

namespace {

// The one file a merge added, holding the one record named.
void expectOneFileWithOnly(const std::vector<std::filesystem::path>& added, const std::string& id,
                           std::int64_t count) {
    ASSERT_EQ(added.size(), 1u);
    const auto file = readChangeFile(added.front());
    ASSERT_TRUE(file);
    ASSERT_EQ(file->changes.size(), 1u);
    EXPECT_EQ(file->changes.front().globalIdentifier, id);
    EXPECT_EQ(file->changes.front().values.at("count"), Value(count));
}

}  // namespace

TEST(EnsembleExport, AMergeAfterOneSavedChangeExportsThatRecordAlone) {
    TwoDevices devices;
    devices.a.insertMany("n", 50);
    devices.leechBoth();
    ASSERT_FALSE(devices.merge(devices.a));
    ASSERT_FALSE(devices.merge(devices.b));

    auto before = changeFiles(devices.cloud);
    devices.clock->advance(60);  // a later version than the one B holds
    devices.a.update("n7", 700);
    ASSERT_FALSE(devices.merge(devices.a));
    expectOneFileWithOnly(filesAddedSince(before, devices.cloud), "n7", 700);

    before = changeFiles(devices.cloud);
    devices.a.insert("fresh", 1);
    ASSERT_FALSE(devices.merge(devices.a));
    expectOneFileWithOnly(filesAddedSince(before, devices.cloud), "fresh", 1);

    // What B took in is not sent back, and nothing changed sends nothing.
    ASSERT_FALSE(devices.merge(devices.b));
    before = changeFiles(devices.cloud);
    ASSERT_FALSE(devices.merge(devices.a));
    ASSERT_FALSE(devices.merge(devices.b));
    EXPECT_EQ(changeFiles(devices.cloud), before);
    const auto onB = devices.b.notes();
    EXPECT_EQ(onB.size(), 51u);
    EXPECT_EQ(onB.at("n7"), 700);
    EXPECT_EQ(onB, devices.a.notes());
}

// Saved, then the process is gone before any merge: the store's own log still names the change.
TEST(EnsembleExport, NotesSavedByAProcessKilledBeforeItsMergeAreExportedByTheNextOne) {
    TwoDevices devices;
    devices.a.insert("a1", 1);
    devices.leechBoth();
    ASSERT_FALSE(devices.merge(devices.a));

    const auto store = devices.root.path() / "A" / "store.sqlite";
    const auto saved =
        quorvel::testing::runWriterAndKill(NOTE_WRITER, {devices.model.string(), store.string(), "100"}, 5);
    ASSERT_GE(saved.size(), 5u);
    devices.a = {};
    devices.a = quorvel::testing::Device(devices.root.path() / "A", devices.model);
    ASSERT_FALSE(devices.merge(devices.a));
    ASSERT_FALSE(devices.merge(devices.b));

    const auto onB = devices.b.notes();
    for (const long number : saved) EXPECT_EQ(onB.count("k" + std::to_string(number)), 1u) << number;
    EXPECT_EQ(onB, devices.a.notes());
}

// A reader takes a file whole or not at all, so a store's first export comes in files of a bounded
// number of records, each read by the parser every installation runs.
TEST(EnsembleExport, AFirstMergeOfALargeStoreWritesSeveralBoundedFilesThatEveryReaderTakes) {
    TwoDevices devices;
    const int total = 2 * static_cast<int>(OutgoingChanges::kRecordsPerFile) + 500;
    devices.a.insertMany("n", total);
    devices.leech(devices.a);
    ASSERT_FALSE(devices.merge(devices.a));

    const auto files = changeFiles(devices.cloud);
    EXPECT_EQ(files.size(), 3u);
    std::set<std::string> sent;
    for (const auto& path : files) {
        const auto file = readChangeFile(path);
        ASSERT_TRUE(file);
        EXPECT_LE(file->changes.size(), OutgoingChanges::kRecordsPerFile);
        for (const auto& change : file->changes) EXPECT_TRUE(sent.insert(change.globalIdentifier).second);
    }
    EXPECT_EQ(sent.size(), static_cast<std::size_t>(total));

    devices.leech(devices.b);
    ASSERT_FALSE(devices.merge(devices.b));
    EXPECT_EQ(devices.b.notes(), devices.a.notes());
}

// A store or its sync bookkeeping put back from a backup no longer matches the other: the next merge
// looks at every record, so a session saved after the restore still travels and none is stored twice.
TEST(EnsembleExport, AStoreOrItsBookkeepingPutBackFromABackupLosesAndDoublesNothing) {
    {
        TwoDevices devices;
        devices.a.insertMany("n", 5);
        devices.leechBoth();
        ASSERT_FALSE(devices.merge(devices.a));
        ASSERT_FALSE(devices.merge(devices.b));
        const auto store = devices.root.path() / "A" / "store.sqlite";
        const auto copy = devices.root.path() / "store-copy.sqlite";
        backUp(store, copy);
        for (int round = 0; round < 4; ++round) {
            devices.clock->advance(60);
            for (int i = 0; i < 5; ++i) devices.a.update("n" + std::to_string(i), 100 * round + i);
            ASSERT_FALSE(devices.merge(devices.a));
        }
        putBack(devices, copy, store);
        devices.clock->advance(60);
        devices.a.insert("fresh", 1);
        ASSERT_FALSE(devices.merge(devices.a));
        ASSERT_FALSE(devices.merge(devices.b));
        EXPECT_EQ(copiesOf(devices.b, "fresh"), 1u) << "a session saved after the store's restore";
    }
    {
        TwoDevices devices;
        devices.a.insertMany("n", 3);
        devices.leechBoth();
        ASSERT_FALSE(devices.merge(devices.a));
        ASSERT_FALSE(devices.merge(devices.b));
        const auto state = quorvel::testing::stateFileOf(devices, "A");
        const auto copy = devices.root.path() / "state-copy.sqlite";
        backUp(state, copy);
        devices.clock->advance(60);
        devices.a.insert("fresh", 1);
        ASSERT_FALSE(devices.merge(devices.a));
        putBack(devices, copy, state);
        ASSERT_FALSE(devices.merge(devices.a));
        EXPECT_EQ(copiesOf(devices.a, "fresh"), 1u) << "a session exported after the bookkeeping's backup";
        ASSERT_FALSE(devices.merge(devices.b));
        EXPECT_EQ(copiesOf(devices.b, "fresh"), 1u);
    }
}
