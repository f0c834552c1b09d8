#include <gtest/gtest.h>

#include <fstream>

#include "platform/coredata/launch_gate.h"
#include "platform/ensembles/cde_notifications.h"
#include "platform/ensembles/change_file.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_thread.h"
#include "platform/foundation/property_list.h"
#include "tests/platform/ensembles/download_notices.h"
#include "tests/platform/ensembles/ensemble_test_support.h"

using namespace platform;
using quorvel::testing::changeFiles;
using quorvel::testing::TwoDevices;

namespace {

// Both devices leeched, A stored "a1" and B "b1", and both hold both.
void holdA1AndB1OnBoth(TwoDevices& devices) {
    devices.a.insert("a1", 1);
    devices.b.insert("b1", 2);
    devices.leech(devices.a);
    devices.leech(devices.b);
    devices.merge(devices.a);
    devices.merge(devices.b);
    devices.merge(devices.a);
}

}  // namespace

TEST(EnsembleSync, TwoStoresExchangeRecordsBothWaysWithoutDuplicates) {
    TwoDevices devices;
    devices.a.insert("a1", 1);
    devices.a.insert("a2", 2);
    devices.b.insert("b1", 10);
    ASSERT_FALSE(devices.leech(devices.a));
    ASSERT_FALSE(devices.leech(devices.b));
    EXPECT_TRUE(devices.a.ensemble->isLeeched());
    for (int round = 0; round < 3; ++round) {
        ASSERT_FALSE(devices.merge(devices.a));
        ASSERT_FALSE(devices.merge(devices.b));
    }
    const std::map<std::string, std::int64_t> expected{{"a1", 1}, {"a2", 2}, {"b1", 10}};
    EXPECT_EQ(devices.a.notes(), expected);
    EXPECT_EQ(devices.b.notes(), expected);
    // Repeated merges export nothing new: one file per device with changes, plus B's first.
    const auto files = changeFiles(devices.cloud).size();
    ASSERT_FALSE(devices.merge(devices.a));
    ASSERT_FALSE(devices.merge(devices.b));
    EXPECT_EQ(changeFiles(devices.cloud).size(), files);
    EXPECT_EQ(files, 2u);
}

TEST(EnsembleSync, TheNewerChangeOfARecordWinsOnBothDevices) {
    TwoDevices devices;
    devices.a.insert("shared", 1);
    devices.leech(devices.a);
    devices.leech(devices.b);
    devices.merge(devices.a);
    devices.merge(devices.b);
    auto onB = devices.b.context->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("Note"));
    ASSERT_EQ(onB->size(), 1u);

    auto onA = devices.a.context->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("Note"));
    (*onA)[0]->setValueForKey(5, "count");
    ASSERT_TRUE(devices.a.context->save());
    devices.merge(devices.a);  // exported at the earlier time
    devices.clock->advance(1);
    (*onB)[0]->setValueForKey(7, "count");
    ASSERT_TRUE(devices.b.context->save());
    devices.merge(devices.b);  // A's older change does not undo B's
    devices.merge(devices.a);
    EXPECT_EQ(devices.a.notes().at("shared"), 7);
    EXPECT_EQ(devices.b.notes().at("shared"), 7);
    // The object A's context holds was brought up to date by the delegate's merge.
    EXPECT_EQ((*onA)[0]->valueForKey("count"), Value(7));
    EXPECT_GT(devices.a.delegate->mergedSaves.load(), 0);
}

TEST(EnsembleSync, AStoreFileThatWasReplacedIsFilledAgainFromTheCloud) {
    TwoDevices devices;
    holdA1AndB1OnBoth(devices);
    ASSERT_EQ(devices.a.notes().size(), 2u);

    // A's store is damaged while the app is not running; the next launch sets it aside.
    devices.a = {};
    const auto store = devices.root.path() / "A" / "store.sqlite";
    for (const char* suffix : {"-wal", "-shm"}) std::filesystem::remove(store.string() + suffix);
    std::ofstream(store, std::ios::trunc) << "damaged";
    Console::Capture console;
    devices.a = quorvel::testing::Device(devices.root.path() / "A", devices.model);
    EXPECT_TRUE(console.contains("damaged"));
    EXPECT_TRUE(devices.a.ensemble->isLeeched());
    EXPECT_TRUE(devices.a.notes().empty());
    EXPECT_FALSE(devices.merge(devices.a));
    EXPECT_EQ(devices.a.notes(), (std::map<std::string, std::int64_t>{{"a1", 1}, {"b1", 2}}));
}

TEST(EnsembleSync, ProcessingPendingChangesExportsWithoutImporting) {
    TwoDevices devices;
    devices.leech(devices.a);
    devices.leech(devices.b);
    devices.a.insert("a1", 1);
    devices.b.insert("b1", 1);
    EXPECT_FALSE(quorvel::testing::finish(
        *devices.clock, [&](auto done) { devices.a.ensemble->processPendingChangesWithCompletion(done); }));
    EXPECT_EQ(devices.a.notes().size(), 1u);
    devices.merge(devices.b);
    EXPECT_EQ(devices.b.notes().size(), 2u);
}

TEST(EnsembleLeech, MergingNeedsALeechAndALeechHappensOnce) {
    TwoDevices devices;
    EXPECT_FALSE(devices.a.ensemble->isLeeched());
    EXPECT_TRUE(devices.merge(devices.a));
    ASSERT_FALSE(devices.leech(devices.a));
    EXPECT_TRUE(devices.leech(devices.a));
    EXPECT_TRUE(devices.a.ensemble->isLeeched());
    // The leech is remembered by the next process.
    quorvel::testing::Device again(devices.root.path() / "A", devices.model);
    EXPECT_TRUE(again.ensemble->isLeeched());
}

// A merge asked for while the app draws its first frame starts once the frame shows.
TEST(EnsembleLeech, AMergeAskedForDuringTheLaunchRunsOnceTheGateOpens) {
    TwoDevices devices;
    devices.a.insert("a1", 1);
    devices.leechBoth();
    LaunchGate::hold();
    std::atomic<int> calls{0};
    devices.a.ensemble->mergeWithCompletion([&](std::shared_ptr<NSError> error) {
        EXPECT_FALSE(error);
        ++calls;
    });
    devices.clock->runUntilIdle();
    EXPECT_EQ(calls.load(), 0);
    EXPECT_TRUE(devices.a.ensemble->isMerging());
    EXPECT_TRUE(changeFiles(devices.cloud).empty());
    LaunchGate::open();
    devices.clock->runUntilIdle();
    EXPECT_EQ(calls.load(), 1);
    EXPECT_EQ(changeFiles(devices.cloud).size(), 1u);
}

TEST(EnsembleLeech, ACloudFolderThatCannotBeMadeFailsTheLeech) {
    TwoDevices devices;
    std::ofstream(devices.cloud) << "not a folder";
    const auto error = devices.leech(devices.a);
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->localizedDescription().empty());
    EXPECT_FALSE(devices.a.ensemble->isLeeched());
}

TEST(EnsembleFaults, ADamagedChangeFileIsSkippedRetriedLaterAndBlocksNoOtherFile) {
    TwoDevices devices;
    devices.leech(devices.a);
    devices.leech(devices.b);
    devices.b.insert("early", 1);
    devices.merge(devices.b);
    const auto damaged = changeFiles(devices.cloud).front();
    const auto whole = std::filesystem::file_size(damaged);
    std::string contents(whole, '\0');
    std::ifstream(damaged).read(contents.data(), static_cast<std::streamsize>(whole));
    std::filesystem::resize_file(damaged, whole / 2);  // half-written by the synchroniser
    devices.clock->advance(1);
    devices.b.insert("later", 2);
    devices.merge(devices.b);

    Console::Capture console;
    EXPECT_FALSE(devices.merge(devices.a));
    EXPECT_TRUE(console.contains("Skipped change file"));
    EXPECT_EQ(devices.a.notes(), (std::map<std::string, std::int64_t>{{"later", 2}}));

    std::ofstream(damaged, std::ios::trunc) << contents;  // the rest arrives
    EXPECT_FALSE(devices.merge(devices.a));
    EXPECT_EQ(devices.a.notes(), (std::map<std::string, std::int64_t>{{"early", 1}, {"later", 2}}));
}

// An older machine wrote change files as XML, where a string need not be UTF-8; a file whose text
// could not be written on is refused whole, with its reason, rather than read in part.
TEST(EnsembleFaults, AnXMLChangeFileWithTextThatIsNotUTF8IsRefusedWhole) {
    ChangeFile file;
    file.device = "older";
    file.time = 800000000;
    file.changes.push_back(
        RecordChange{"Session", "one", RecordRevision{0, 800000000, "older"}, {{"note", "ok"}}});
    const auto binary = file.serialize();
    ASSERT_TRUE(binary);
    auto xml = PropertyList::serialize(*PropertyList::parse(*binary));
    ASSERT_TRUE(xml);
    ASSERT_TRUE(ChangeFile::parse(*xml, nullptr));
    xml->replace(xml->find("<string>ok</string>"), 19, "<string>o\xff</string>");
    std::string reason;
    EXPECT_FALSE(ChangeFile::parse(*xml, &reason));
    EXPECT_EQ(reason, "\"changes\": \"values\": \"note\": a string that is not UTF-8");
}

// The bookkeeping is rebuilt from the store and the cloud: without that, no merge could run again.
TEST(EnsembleFaults, ADamagedStateFileIsSetAsideAndTheDeviceSyncsAgainWithoutDuplicates) {
    TwoDevices devices;
    holdA1AndB1OnBoth(devices);

    devices.a = {};
    const auto state = quorvel::testing::stateFileOf(devices, "A");
    ASSERT_TRUE(std::filesystem::exists(state));
    for (const char* suffix : {"-wal", "-shm"}) std::filesystem::remove(state.string() + suffix);
    std::ofstream(state, std::ios::trunc)
        << "not a database, but long enough to be read as a header by SQLite";
    Console::Capture console;
    devices.a = quorvel::testing::Device(devices.root.path() / "A", devices.model);
    ASSERT_FALSE(devices.leech(devices.a));
    EXPECT_TRUE(console.contains("The sync state"));
    EXPECT_TRUE(std::filesystem::exists(state.string() + ".damaged-1"));
    devices.a.insert("a2", 3);
    EXPECT_FALSE(devices.merge(devices.a));
    EXPECT_FALSE(devices.merge(devices.b));
    const std::map<std::string, std::int64_t> all{{"a1", 1}, {"a2", 3}, {"b1", 2}};
    EXPECT_EQ(devices.a.notes(), all);
    EXPECT_EQ(devices.b.notes(), all);
}

// A record's values carrying another record's identity would be a second copy of that record.
TEST(EnsembleFaults, AChangeWhoseValuesNameAnotherRecordIsSkippedAndMakesNoDuplicate) {
    TwoDevices devices;
    devices.a.insert("a1", 1);
    devices.leech(devices.a);
    devices.leech(devices.b);
    devices.merge(devices.a);
    devices.b.insert("b1", 2);
    devices.merge(devices.b);
    std::filesystem::path folderOfB;
    for (const auto& file : changeFiles(devices.cloud)) {
        std::ifstream in(file);
        const std::string contents{std::istreambuf_iterator<char>(in), {}};
        if (contents.find("b1") != std::string::npos) folderOfB = file.parent_path();
    }
    ASSERT_FALSE(folderOfB.empty());
    const std::string device = folderOfB.filename().string();
    const ChangeFile written{device,
                             1e6,
                             {{"Note", "b2", {0, 1e6, device}, {{"uniqueIdentifier", "a1"}, {"count", 9}}},
                              {"Note", "b3", {0, 1e6, device}, {{"uniqueIdentifier", "b3"}, {"count", 3}}}}};
    std::ofstream(folderOfB / "999999999999999-written-elsewhere.plist") << *written.serialize();

    Console::Capture console;
    EXPECT_FALSE(devices.merge(devices.a));
    EXPECT_TRUE(console.contains("Skipped a change of Note/b2"));
    EXPECT_EQ(devices.a.notes(), (std::map<std::string, std::int64_t>{{"a1", 1}, {"b1", 2}, {"b3", 3}}));
}

TEST(EnsembleFaults, FilesThatAreNotChangeFilesAreSkippedToo) {
    TwoDevices devices;
    devices.leech(devices.a);
    devices.leech(devices.b);
    devices.b.insert("b1", 1);
    devices.merge(devices.b);
    const auto folder = changeFiles(devices.cloud).front().parent_path();
    std::ofstream(folder / "000000000000000-garbage.plist") << "\x01\x02 not xml";
    std::ofstream(folder / "000000000000001-wrong.plist")
        << R"(<?xml version="1.0"?><plist version="1.0"><dict><key>format</key><integer>1</integer></dict></plist>)";
    Console::Capture console;
    EXPECT_FALSE(devices.merge(devices.a));
    EXPECT_EQ(console.lines().size(), 2u);
    EXPECT_EQ(devices.a.notes().size(), 1u);
}

// A device's folder that cannot be listed for a while (here a link to itself) has not lost its files:
// the merge goes on without sending every record again, and nothing is taken in twice once it is back.
TEST(EnsembleFaults, ADeviceFolderThatCannotBeListedForAWhileSetsOffNoBaseline) {
    TwoDevices devices;
    holdA1AndB1OnBoth(devices);
    const auto files = changeFiles(devices.cloud);
    const auto folder = files.front().parent_path();
    const auto aside = folder.string() + "-aside";
    std::filesystem::rename(folder, aside);
    std::filesystem::create_directory_symlink(folder.filename(), folder);

    EXPECT_FALSE(devices.merge(devices.a));
    std::filesystem::remove(folder);
    std::filesystem::rename(aside, folder);
    EXPECT_EQ(changeFiles(devices.cloud), files);

    EXPECT_FALSE(devices.merge(devices.a));
    EXPECT_FALSE(devices.merge(devices.b));
    const std::map<std::string, std::int64_t> expected{{"a1", 1}, {"b1", 2}};
    EXPECT_EQ(devices.a.notes(), expected);
    EXPECT_EQ(devices.b.notes(), expected);
    EXPECT_EQ(changeFiles(devices.cloud), files);
}

TEST(EnsembleNotifications, SavesOverTheStoreAreAnnouncedButTheEnsemblesOwnAreNot) {
    TwoDevices devices;
    devices.leech(devices.a);
    devices.leech(devices.b);
    int monitored = 0;
    auto token = NSNotificationCenter::defaultCenter().addObserverForName(
        CDEMonitoredManagedObjectContextDidSaveNotification, [&](const NSNotification&) { ++monitored; });
    devices.a.insert("a1", 1);
    EXPECT_EQ(monitored, 1);
    devices.b.insert("b1", 1);
    EXPECT_EQ(monitored, 2);
    devices.merge(devices.b);
    devices.merge(devices.a);  // saves what it imported into A's store
    EXPECT_EQ(devices.a.notes().size(), 2u);
    EXPECT_EQ(monitored, 2);
    NSNotificationCenter::defaultCenter().removeObserver(token.get());
}

TEST(EnsembleNotifications, FilesFromAnotherDeviceAreAnnouncedAsDownloadsOnTheMainThread) {
    TwoDevices devices;
    quorvel::testing::DownloadNotices notices;
    devices.leech(devices.a);
    devices.leech(devices.b);
    // Each device's registration lies outside what the sync reads: neither is announced.
    notices.settle(*devices.clock);
    EXPECT_EQ(notices.downloads, 0);
    devices.b.insert("b1", 1);
    devices.merge(devices.b);
    // A notices B's file; B wrote it itself and stays quiet.
    ASSERT_TRUE(notices.settleUntil(*devices.clock, 1));
    notices.settle(*devices.clock);
    EXPECT_EQ(notices.downloads, 1);
    EXPECT_EQ(notices.progress, 1);
    EXPECT_TRUE(notices.onMainThread);
}

namespace {

using Notes = std::map<std::string, std::int64_t>;

// The device's next launch finds $QUORVEL_CLOUD naming another folder.
void relaunchOn(TwoDevices& devices, quorvel::testing::Device& device, const std::string& name,
                const std::filesystem::path& cloud) {
    ::setenv("QUORVEL_CLOUD", cloud.c_str(), 1);
    device = {};
    device = quorvel::testing::Device(devices.root.path() / name, devices.model);
}

// A device that has never synced, joining the folder $QUORVEL_CLOUD names.
quorvel::testing::Device joiner(TwoDevices& devices, const std::string& name) {
    quorvel::testing::Device device(devices.root.path() / name, devices.model);
    EXPECT_FALSE(devices.leech(device));
    return device;
}

}  // namespace

TEST(EnsembleNewFolder, AStoreMovedToAnEmptyFolderSendsEveryRecordThereOnceInEitherOrder) {
    for (const bool joinerFirst : {false, true}) {
        SCOPED_TRACE(joinerFirst ? "the joiner syncs first" : "the moved store syncs first");
        TwoDevices devices;
        devices.a.insert("a1", 1);
        devices.a.insert("a2", 2);
        devices.leech(devices.a);
        ASSERT_FALSE(devices.merge(devices.a));

        const auto fresh = devices.root.path() / "fresh-cloud";  // not made yet
        relaunchOn(devices, devices.a, "A", fresh);
        Notes expected{{"a1", 1}, {"a2", 2}};
        std::optional<quorvel::testing::Device> c;
        if (joinerFirst) {
            c.emplace(joiner(devices, "C"));
            c->insert("c1", 3);
            ASSERT_FALSE(devices.merge(*c));
            expected["c1"] = 3;
        }
        Console::Capture console;
        EXPECT_FALSE(devices.merge(devices.a));
        EXPECT_TRUE(console.lines().empty()) << console.lines().front();
        if (!c) c.emplace(joiner(devices, "C"));
        EXPECT_FALSE(devices.merge(*c));
        EXPECT_FALSE(devices.merge(devices.a));
        EXPECT_EQ(c->notes(), expected);
        EXPECT_EQ(devices.a.notes(), expected);

        // Sent once: later merges find the folder holding what A sent and export nothing more.
        const auto files = changeFiles(fresh).size();
        EXPECT_FALSE(devices.merge(devices.a));
        EXPECT_FALSE(devices.merge(*c));
        EXPECT_EQ(changeFiles(fresh).size(), files);

        // Wiped while A runs: its next merge sends everything again, C's records included.
        std::filesystem::remove_all(fresh);
        EXPECT_FALSE(devices.merge(devices.a));
        auto d = joiner(devices, "D");
        EXPECT_FALSE(devices.merge(d));
        EXPECT_EQ(d.notes(), expected);
    }
}

// What A took in from B goes to the new folder with A's own, as the versions they were: a change
// made there since is not undone when B follows with the same records.
TEST(EnsembleNewFolder, TwoStoresMovedOneAfterTheOtherGiveAJoinerBothSetsWithNoneUndoneOrTwice) {
    for (const bool joinerFirst : {false, true}) {
        SCOPED_TRACE(joinerFirst ? "the joiner syncs first" : "the moved store syncs first");
        TwoDevices devices;
        holdA1AndB1OnBoth(devices);
        const auto moved = devices.root.path() / "moved-cloud";
        std::filesystem::create_directories(moved);
        ::setenv("QUORVEL_CLOUD", moved.c_str(), 1);
        std::optional<quorvel::testing::Device> c;
        if (joinerFirst) c.emplace(joiner(devices, "C"));
        relaunchOn(devices, devices.a, "A", moved);
        ASSERT_FALSE(devices.merge(devices.a));
        if (!c) c.emplace(joiner(devices, "C"));
        ASSERT_FALSE(devices.merge(*c));
        EXPECT_EQ(c->notes(), (Notes{{"a1", 1}, {"b1", 2}}));

        devices.clock->advance(60);
        auto onC = c->context->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("Note"));
        for (auto& note : *onC) {
            if (note->valueForKey("uniqueIdentifier") == Value("b1")) note->setValueForKey(5, "count");
        }
        ASSERT_TRUE(c->context->save());
        ASSERT_FALSE(devices.merge(*c));

        devices.clock->advance(60);
        relaunchOn(devices, devices.b, "B", moved);
        ASSERT_FALSE(devices.merge(devices.b));
        ASSERT_FALSE(devices.merge(*c));
        ASSERT_FALSE(devices.merge(devices.a));
        const Notes all{{"a1", 1}, {"b1", 5}};
        EXPECT_EQ(c->notes(), all);
        EXPECT_EQ(devices.a.notes(), all);
        EXPECT_EQ(devices.b.notes(), all);
    }
}
