// The shared folder as input this installation does not control: other programs may put links, FIFOs,
// devices, huge files or nothing at all where change files should be, and the folder may vanish.
#include "platform/ensembles/cde_icloud_file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/foundation/console.h"
#include "tests/platform/ensembles/download_notices.h"
#include "tests/platform/ensembles/ensemble_test_support.h"
#include "tests/platform/ensembles/hostile_folder.h"

using namespace platform;
using quorvel::testing::DownloadNotices;
using quorvel::testing::TwoDevices;

namespace {

std::string reasonOf(const std::shared_ptr<NSError>& error) {
    return error ? error->localizedDescription() : "no error";
}

// B leeched and merged "b1"; A leeched. Returns B's change folder.
std::filesystem::path bStoredB1(TwoDevices& devices) {
    devices.leech(devices.a);
    devices.leech(devices.b);
    devices.b.insert("b1", 1);
    devices.merge(devices.b);
    std::filesystem::path folder;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(devices.cloud)) {
        if (entry.is_regular_file() && entry.path().parent_path().parent_path().filename() == "changes")
            folder = entry.path().parent_path();
    }
    return folder;
}

}  // namespace

TEST(SharedFolderFiles, OnlyRegularFilesOfAChangeFilesSizeAreReadAndNothingIsWaitedOn) {
    quorvel::testing::TempDataRoot root;
    ::setenv("QUORVEL_CLOUD", (root.path() / "cloud").c_str(), 1);
    CDEICloudFileSystem files(std::string("container"));
    const auto folder = files.containerDirectory() / "changes";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "good.plist") << "whole";
    ASSERT_EQ(::mkfifo((folder / "fifo.plist").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", folder / "zero.plist");
    std::filesystem::create_symlink("good.plist", folder / "link.plist");
    std::filesystem::resize_file((std::ofstream(folder / "huge.plist"), folder / "huge.plist"),
                                 CDEICloudFileSystem::kLargestFileRead + 1);

    EXPECT_EQ(files.readFileAtPath("changes/good.plist", nullptr), "whole");
    const std::vector<std::pair<std::string, std::string>> refused{{"changes/fifo.plist", "a FIFO"},
                                                                  {"changes/zero.plist", "a link"},
                                                                  {"changes/link.plist", "a link"},
                                                                  {"changes/huge.plist", "larger than"},
                                                                  {"changes", "a folder"}};
    for (const auto& [path, why] : refused) {
        std::shared_ptr<NSError> error;
        EXPECT_FALSE(files.readFileAtPath(path, &error)) << path;
        EXPECT_NE(reasonOf(error).find(why), std::string::npos) << reasonOf(error);
        EXPECT_NE(reasonOf(error).find(path), std::string::npos) << reasonOf(error);
    }
}

TEST(SharedFolderFiles, NoLinkBelowTheContainerIsListedThroughButTheContainerMayBeOne) {
    quorvel::testing::TempDataRoot root;
    std::filesystem::create_directories(root.path() / "elsewhere" / "container" / "changes" / "PEER");
    std::ofstream(root.path() / "elsewhere" / "container" / "changes" / "PEER" / "one.plist") << "one";
    // The user's own choice of folder is reached through a link.
    std::filesystem::create_directory_symlink(root.path() / "elsewhere", root.path() / "cloud");
    ::setenv("QUORVEL_CLOUD", (root.path() / "cloud").c_str(), 1);
    CDEICloudFileSystem files(std::string("container"));
    EXPECT_EQ(files.contentsOfDirectoryAtPath("changes/PEER", nullptr), std::vector<std::string>{"one.plist"});
    EXPECT_EQ(files.readFileAtPath("changes/PEER/one.plist", nullptr), "one");

    std::filesystem::create_directory_symlink("PEER", files.containerDirectory() / "changes" / "LOOP");
    std::filesystem::create_directory_symlink("/usr", files.containerDirectory() / "changes" / "LARGE");
    for (const std::string path : {"changes/LOOP", "changes/LARGE"}) {
        std::shared_ptr<NSError> error;
        EXPECT_FALSE(files.contentsOfDirectoryAtPath(path, &error)) << path;
        EXPECT_NE(reasonOf(error).find("a link"), std::string::npos) << reasonOf(error);
        EXPECT_FALSE(files.readFileAtPath(path + "/one.plist", &error)) << path;
    }
    EXPECT_EQ(files.contentsOfDirectoryAtPath("missing", nullptr), std::vector<std::string>{});
}

TEST(SharedFolderSync, AFIFOALinkToADeviceAndAHugeFileAreSkippedWithALineEachAndTheRestArrives) {
    TwoDevices devices;
    const auto folder = bStoredB1(devices);
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(::mkfifo((folder / "000000000000001-fifo.plist").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", folder / "000000000000002-zero.plist");
    const auto huge = folder / "000000000000003-huge.plist";
    std::filesystem::resize_file((std::ofstream(huge), huge), CDEICloudFileSystem::kLargestFileRead + 1);

    // Each is told once, however many merges pass it by.
    for (int merge = 0; merge < 2; ++merge) {
        Console::Capture console;
        EXPECT_FALSE(devices.merge(devices.a));
        const auto lines = console.lines();
        ASSERT_EQ(lines.size(), merge == 0 ? 3u : 0u);
        for (const std::string name : {"fifo", "zero", "huge"}) {
            EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                    [&](const std::string& line) { return line.find(name) != std::string::npos; }),
                      merge == 0 ? 1 : 0)
                << name;
        }
    }
    EXPECT_EQ(devices.a.notes(), (std::map<std::string, std::int64_t>{{"b1", 1}}));
    // Its own changes still reach the folder, and B takes them in.
    devices.a.insert("a1", 2);
    EXPECT_FALSE(devices.merge(devices.a));
    EXPECT_FALSE(devices.merge(devices.b));
    EXPECT_EQ(devices.b.notes(), (std::map<std::string, std::int64_t>{{"a1", 2}, {"b1", 1}}));
}

TEST(SharedFolderComesBack, AFolderWipedAndMadeAgainBringsASyncThatWritesWhatItLacks) {
    TwoDevices devices;
    DownloadNotices notices;
    devices.a.insert("a1", 1);
    devices.leech(devices.a);
    devices.merge(devices.a);
    notices.settle(*devices.clock);
    ASSERT_EQ(notices.downloads, 0);

    std::filesystem::remove_all(devices.cloud);
    std::filesystem::create_directories(devices.cloud);
    ASSERT_TRUE(notices.settleUntil(*devices.clock, 1));
    EXPECT_FALSE(devices.merge(devices.a));
    devices.leech(devices.b);
    devices.merge(devices.b);
    EXPECT_EQ(devices.b.notes(), (std::map<std::string, std::int64_t>{{"a1", 1}}));
}

TEST(SharedFolderComesBack, AFolderMadeAfterAStartThatCouldNotMakeItBringsASync) {
    TwoDevices devices;
    DownloadNotices notices;
    std::ofstream(devices.cloud) << "an unmounted share";
    ASSERT_TRUE(devices.leech(devices.a));
    std::filesystem::remove(devices.cloud);
    std::filesystem::create_directories(devices.cloud);
    ASSERT_TRUE(notices.settleUntil(*devices.clock, 1));
    EXPECT_FALSE(devices.leech(devices.a));
    EXPECT_TRUE(devices.a.ensemble->isLeeched());
}

TEST(SharedFolderRetry, AFolderThatCouldNotBeWatchedIsWatchedAgainAtTheNextMerge) {
    TwoDevices devices;
    devices.leech(devices.b);
    devices.b.insert("b1", 1);
    devices.merge(devices.b);
    devices.b = {};  // gone for now: its watcher would announce A's files
    DownloadNotices notices;
    Console::Capture console;
    {
        quorvel::testing::DescriptorLimit limit(0);
        devices.a.fileSystem->startMonitoringDownloads("TestStore/changes",
                                                       CDEICloudFileSystem::ExistingFiles::Announce);
    }
    ASSERT_EQ(console.lines().size(), 1u);
    EXPECT_NE(console.lines().front().find("Not watching all of"), std::string::npos);
    devices.leech(devices.a);
    devices.merge(devices.a);

    // B's next change reaches A within seconds, announced by the watcher the merge started again.
    devices.b = quorvel::testing::Device(devices.root.path() / "B", devices.model);
    devices.b.insert("b2", 2);
    devices.merge(devices.b);
    ASSERT_TRUE(notices.settleUntil(*devices.clock, 1));
    devices.merge(devices.a);
    EXPECT_EQ(devices.a.notes(), (std::map<std::string, std::int64_t>{{"b1", 1}, {"b2", 2}}));
    EXPECT_EQ(console.lines().size(), 1u);
}

// Another program's folder of thousands of folders beside the store's folder, and a deep tree: a change
// file another installation writes is announced all the same.
TEST(SharedFolderLitter, AChangeFileArrivingIsAnnouncedThoughOtherProgramsFillTheSharedFolder) {
    TwoDevices devices;
    const auto container = devices.a.fileSystem->containerDirectory();
    quorvel::testing::makeWideFolder(container / "Trash", 4200);
    const quorvel::testing::DeepTree deep(container, 100);
    ASSERT_TRUE(deep.made());
    DownloadNotices notices;
    Console::Capture console;
    devices.leech(devices.a);
    devices.leech(devices.b);
    devices.b.insert("b1", 1);
    devices.merge(devices.b);
    ASSERT_TRUE(notices.settleUntil(*devices.clock, 1));
    devices.merge(devices.a);
    EXPECT_EQ(devices.a.notes(), (std::map<std::string, std::int64_t>{{"b1", 1}}));
    EXPECT_EQ(console.lines(), std::vector<std::string>{});
}
