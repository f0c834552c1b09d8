#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

#include "tests/platform/ensembles/ensemble_test_support.h"

using namespace platform;
using quorvel::testing::backUp;
using quorvel::testing::changeFiles;
using quorvel::testing::copiesOf;
using quorvel::testing::Device;
using quorvel::testing::filesAddedSince;
using quorvel::testing::putBack;
using quorvel::testing::readChangeFile;
using quorvel::testing::runSQL;
using quorvel::testing::stateFileOf;
using quorvel::testing::TwoDevices;

namespace {

// Runs `edit` once, the first time the ensemble asks for identifiers: while a merge exports.
class InterruptingDelegate : public quorvel::testing::NoteDelegate {
public:
    InterruptingDelegate(std::shared_ptr<NSManagedObjectContext> context, std::function<void()> edit)
        : NoteDelegate(std::move(context)), edit_(std::move(edit)) {}

    std::vector<std::string> persistentStoreEnsembleGlobalIdentifiersForManagedObjects(
        CDEPersistentStoreEnsemble& ensemble, const std::vector<std::shared_ptr<NSManagedObject>>& objects) override {
        if (auto edit = std::exchange(edit_, nullptr)) edit();
        return NoteDelegate::persistentStoreEnsembleGlobalIdentifiersForManagedObjects(ensemble, objects);
    }

private:
    std::function<void()> edit_;
};

// The revisions of one record in the change files, in the order of the files' names.
std::vector<double> revisionTimesOf(const std::vector<std::filesystem::path>& files, const std::string& id) {
    std::vector<double> times;
    for (const auto& path : files) {
        const auto file = readChangeFile(path);
        if (!file) continue;
        for (const auto& change : file->changes) {
            if (change.globalIdentifier == id) times.push_back(change.revision.time);
        }
    }
    return times;
}

void insertEach(Device& device, const std::string& prefix, int count) {
    for (int i = 0; i < count; ++i) device.insert(prefix + std::to_string(i), i);
}

// Merges both devices until nothing more travels, and expects them to hold the same notes.
void settle(TwoDevices& devices) {
    for (int round = 0; round < 2; ++round) {
        ASSERT_FALSE(devices.merge(devices.a));
        ASSERT_FALSE(devices.merge(devices.b));
    }
    EXPECT_EQ(devices.a.notes(), devices.b.notes());
}

std::filesystem::path storeOf(TwoDevices& devices) {
    return devices.root.path() / "A" / "store.sqlite";
}

}  // namespace

// A row saved again by another connection while a merge exports it: the export carries it once, the
// next one carries the later value under a later revision (even within the same instant), and every
// device ends with the last value, whether it takes the two files in one merge or in two.
TEST(EnsembleRestore, ARowSavedAgainDuringAnExportEndsWithItsLastValueEverywhere) {
    for (const bool bothFilesInOneMerge : {false, true}) {
        TwoDevices devices;
        devices.a.insert("r", 1);
        devices.leechBoth();
        ASSERT_FALSE(devices.merge(devices.a));
        ASSERT_FALSE(devices.merge(devices.b));

        devices.clock->advance(60);
        devices.a.update("r", 2);
        const auto store = storeOf(devices);
        const auto interrupting = std::make_shared<InterruptingDelegate>(
            devices.a.context, [&] { EXPECT_TRUE(runSQL(store, "UPDATE Note SET count = 3 WHERE uniqueIdentifier = 'r'")); });
        devices.a.ensemble->setDelegate(interrupting);
        const auto before = changeFiles(devices.cloud);
        ASSERT_FALSE(devices.merge(devices.a));
        const auto first = filesAddedSince(before, devices.cloud);
        EXPECT_EQ(revisionTimesOf(first, "r").size(), 1u) << "one export carries one change of a row";
        if (!bothFilesInOneMerge) {
            ASSERT_FALSE(devices.merge(devices.b));
        }
        // Same instant: the clock has not moved.
        ASSERT_FALSE(devices.merge(devices.a));
        const auto times = revisionTimesOf(filesAddedSince(before, devices.cloud), "r");
        ASSERT_EQ(times.size(), 2u);
        EXPECT_NE(times[0], times[1]);
        settle(devices);
        EXPECT_EQ(devices.a.notes().at("r"), 3);
        EXPECT_EQ(devices.b.notes().at("r"), 3) << (bothFilesInOneMerge ? "two files in one merge" : "two merges");
    }
}

// Sessions saved before and after a store is put back from a copy, more of them than the log grew in
// between, reach every device once; the later values of what the copy holds older are kept; and this
// device takes back from its own change files what it saved after the copy was made.
TEST(EnsembleRestore, AStorePutBackFromACopyLosesNothingSavedBeforeOrAfterAndHoldsNothingTwice) {
    TwoDevices devices;
    insertEach(devices.a, "a", 2);
    insertEach(devices.b, "b", 2);
    devices.leechBoth();
    settle(devices);
    const auto copy = devices.root.path() / "store-copy.sqlite";
    backUp(storeOf(devices), copy);

    devices.clock->advance(60);
    devices.a.insert("made-after-copy", 3);
    devices.a.update("a0", 100);
    settle(devices);
    putBack(devices, copy, storeOf(devices));
    devices.clock->advance(60);
    insertEach(devices.a, "after-restore-", 30);
    settle(devices);

    const auto onA = devices.a.notes();
    EXPECT_EQ(onA.size(), 35u);
    EXPECT_EQ(onA.at("made-after-copy"), 3);
    EXPECT_EQ(onA.at("a0"), 100) << "the copy's older value does not win";
    EXPECT_EQ(onA.at("after-restore-29"), 29);

    // And after a relaunch of both, nothing more moves.
    devices.a = Device();
    devices.b = Device();
    devices.clock->runUntilIdle();
    devices.a = Device(devices.root.path() / "A", devices.model);
    devices.b = Device(devices.root.path() / "B", devices.model);
    const auto before = changeFiles(devices.cloud);
    settle(devices);
    EXPECT_EQ(devices.a.notes(), onA);
    EXPECT_EQ(filesAddedSince(before, devices.cloud).size(), 0u);
}

// The sync state put back alone, or the store and the sync state put back together.
TEST(EnsembleRestore, TheSyncStatePutBackAloneOrWithItsStoreLosesNothing) {
    for (const bool withStore : {false, true}) {
        TwoDevices devices;
        insertEach(devices.a, "a", 2);
        devices.leechBoth();
        settle(devices);
        const auto stateCopy = devices.root.path() / "state-copy.sqlite";
        const auto storeCopy = devices.root.path() / "store-copy.sqlite";
        backUp(stateFileOf(devices, "A"), stateCopy);
        backUp(storeOf(devices), storeCopy);

        devices.clock->advance(60);
        insertEach(devices.a, "between-", 5);
        settle(devices);
        putBack(devices, stateCopy, stateFileOf(devices, "A"));
        if (withStore) putBack(devices, storeCopy, storeOf(devices));
        insertEach(devices.a, "after-", 20);
        settle(devices);

        const auto onA = devices.a.notes();
        EXPECT_EQ(onA.size(), 27u) << (withStore ? "both put back" : "the state alone");
        EXPECT_EQ(onA.count("between-4"), 1u);
        EXPECT_EQ(onA.count("after-19"), 1u);
    }
}

// Sessions saved while no merge ran, then the change log dropped, cut or renumbered by hand, and more
// saved than the log had entries: every session still travels.
TEST(EnsembleRestore, AChangeLogDroppedCutOrRenumberedByHandLosesNoSession) {
    const std::vector<std::pair<const char*, const char*>> edits = {
        {"dropped", "DROP TABLE _changes"},
        {"cut", "DELETE FROM _changes"},
        {"renumbered", "DELETE FROM _changes; UPDATE sqlite_sequence SET seq = 0 WHERE name = '_changes'"},
    };
    for (const auto& [name, sql] : edits) {
        TwoDevices devices;
        insertEach(devices.a, "a", 2);
        devices.leechBoth();
        settle(devices);
        insertEach(devices.a, "unmerged-", 5);
        devices.a = Device();
        devices.clock->runUntilIdle();
        ASSERT_TRUE(runSQL(storeOf(devices), sql)) << name;
        devices.a = Device(devices.root.path() / "A", devices.model);
        insertEach(devices.a, "later-", 20);
        settle(devices);

        const auto onB = devices.b.notes();
        EXPECT_EQ(onB.size(), 27u) << name;
        EXPECT_EQ(onB.count("unmerged-4"), 1u) << name;
        EXPECT_EQ(onB.count("later-19"), 1u) << name;
    }
}

// What a merge takes in is not logged as this store's own change, so the next merge reads nothing.
TEST(EnsembleRestore, AMergesOwnImportsLeaveNoEntryInTheChangeLog) {
    TwoDevices devices;
    devices.a.insertMany("n", 200);
    devices.leechBoth();
    ASSERT_FALSE(devices.merge(devices.a));
    const auto coordinator = devices.b.context->persistentStoreCoordinator();
    const auto before = coordinator->changeLogSpan(nullptr)->latest;
    ASSERT_FALSE(devices.merge(devices.b));
    EXPECT_EQ(devices.b.notes().size(), 200u);
    EXPECT_EQ(coordinator->changeLogSpan(nullptr)->latest, before);

    // A change of B's own still is.
    devices.b.update("n5", 55);
    EXPECT_EQ(coordinator->changesAfter(before, 10, nullptr)->size(), 1u);
}

// A change file refused (larger than any reader takes, or not a change file yet, as a synchroniser
// leaves one half written) is not taken for lost; once it changes into a sound one, it comes in.
TEST(EnsembleRestore, ARefusedChangeFileIsTakenInOnceItChanges) {
    for (const bool tooLarge : {false, true}) {
        TwoDevices devices;
        devices.a.insert("a1", 1);
        devices.leechBoth();
        ASSERT_FALSE(devices.merge(devices.a));
        const auto files = changeFiles(devices.cloud);
        ASSERT_EQ(files.size(), 1u);
        std::string contents;
        {
            std::ifstream in(files.front(), std::ios::binary);
            contents.assign(std::istreambuf_iterator<char>(in), {});
        }
        if (tooLarge) {
            std::filesystem::resize_file(files.front(), CDEICloudFileSystem::kLargestFileRead + 1);
        } else {
            std::ofstream(files.front(), std::ios::binary | std::ios::trunc) << contents.substr(0, contents.size() / 2);
        }
        for (int merge = 0; merge < 2; ++merge) {
            ASSERT_FALSE(devices.merge(devices.b));
            EXPECT_TRUE(devices.b.notes().empty());
        }
        std::ofstream(files.front(), std::ios::binary | std::ios::trunc) << contents;
        ASSERT_FALSE(devices.merge(devices.b));
        EXPECT_EQ(devices.b.notes().count("a1"), 1u) << (tooLarge ? "too large" : "half written");
    }
}
