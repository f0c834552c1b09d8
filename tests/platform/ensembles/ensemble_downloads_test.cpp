// What one installation's cloud folder announces as downloads while another installation, or a file
// synchroniser on its behalf, writes into it.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/ensembles/change_file.h"
#include "platform/foundation/console.h"
#include "tests/platform/ensembles/download_notices.h"
#include "tests/platform/ensembles/ensemble_test_support.h"

using namespace platform;
using quorvel::testing::DownloadNotices;
using quorvel::testing::TwoDevices;

namespace {

// A change file of another installation, "PEER", holding one note.
std::string peerChangeFile(const std::string& id, std::int64_t count) {
    ChangeFile file{"PEER", 10.0, {}};
    file.changes.push_back(RecordChange{
        "Note", id, RecordRevision{0, 10.0, "PEER"}, {{"count", count}, {"uniqueIdentifier", id}}});
    return file.serialize().value();
}

std::filesystem::path peerFolder(const quorvel::testing::Device& device) {
    return device.fileSystem->containerDirectory() / "TestStore" / "changes" / "PEER";
}

// Written in place, as a synchroniser that does not rename writes a file.
void writeInPlace(const std::filesystem::path& file, const std::string& contents) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
}

}  // namespace

TEST(EnsembleDownloads, ItsOwnMergesAreNeverAnnouncedHoweverManyThereAre) {
    TwoDevices devices;
    DownloadNotices notices;
    devices.leech(devices.a);
    for (int i = 0; i < 5; ++i) {
        devices.a.insert("a" + std::to_string(i), i);
        devices.merge(devices.a);
        notices.settle(*devices.clock);
    }
    EXPECT_EQ(notices.progress, 0);
    EXPECT_EQ(notices.downloads, 0);
    // The watcher is alive all the same, and a burst of another installation's files is one download.
    for (int i = 0; i < 4; ++i)
        writeInPlace(peerFolder(devices.a) / ("00" + std::to_string(i) + ".plist"), peerChangeFile("p", i));
    ASSERT_TRUE(notices.settleUntil(*devices.clock, 1));
    notices.settle(*devices.clock);
    EXPECT_EQ(notices.progress, 1);
    EXPECT_EQ(notices.downloads, 1);
    EXPECT_TRUE(notices.onMainThread);
}

TEST(EnsembleDownloads, AFirstLeechAnnouncesTheChangesAlreadyThereAndALaterStartDoesNot) {
    TwoDevices devices;
    devices.leech(devices.b);
    devices.b.insert("b1", 1);
    devices.merge(devices.b);
    devices.b = {};  // the other installation has gone; its files stay
    DownloadNotices notices;
    devices.leech(devices.a);
    ASSERT_TRUE(notices.settleUntil(*devices.clock, 1));
    devices.merge(devices.a);
    EXPECT_EQ(devices.a.notes(), (std::map<std::string, std::int64_t>{{"b1", 1}}));

    // Started again on the same folder: its first merge takes in whatever is there, unannounced.
    devices.a = {};
    devices.a = quorvel::testing::Device(devices.root.path() / "A", devices.model);
    ASSERT_TRUE(devices.a.ensemble->isLeeched());
    notices.settle(*devices.clock);
    EXPECT_EQ(notices.downloads, 1);
}

TEST(EnsembleDownloads, AHalfWrittenChangeFileIsTakenInOnceTheRestOfItArrives) {
    TwoDevices devices;
    DownloadNotices notices;
    devices.leech(devices.a);
    const auto whole = peerChangeFile("p1", 7);
    const auto file = peerFolder(devices.a) / "000000000010000-PIECES.plist";
    writeInPlace(file, whole.substr(0, whole.size() / 2));
    ASSERT_TRUE(notices.settleUntil(*devices.clock, 1));
    {
        Console::Capture console;
        devices.merge(devices.a);
        EXPECT_TRUE(console.contains("Skipped change file PEER/000000000010000-PIECES.plist"));
    }
    EXPECT_TRUE(devices.a.notes().empty());

    writeInPlace(file, whole);
    ASSERT_TRUE(notices.settleUntil(*devices.clock, 2));
    devices.merge(devices.a);
    EXPECT_EQ(devices.a.notes(), (std::map<std::string, std::int64_t>{{"p1", 7}}));
    Console::Capture console;
    devices.merge(devices.a);
    EXPECT_FALSE(console.contains("Skipped"));
    EXPECT_EQ(devices.a.notes().size(), 1u);
}
