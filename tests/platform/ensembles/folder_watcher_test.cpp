#include "platform/ensembles/folder_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/atomic_file.h"
#include "tests/support/temp_data_root.h"

using platform::FolderWatcher;

namespace {

// The paths a watcher reported, in order, from its thread.
class ReportedPaths {
public:
    FolderWatcher::Handler handler() {
        return [this](const std::string& path) {
            std::lock_guard lock(mutex_);
            paths_.push_back(path);
            arrived_.notify_all();
        };
    }

    // Waits (ten seconds at most) until `path` has been reported.
    bool waitFor(const std::string& path) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, std::chrono::seconds(10), [&] {
            return std::find(paths_.begin(), paths_.end(), path) != paths_.end();
        });
    }

    std::vector<std::string> paths() {
        std::lock_guard lock(mutex_);
        return paths_;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::string> paths_;
};

void write(const std::filesystem::path& file, const std::string& text = "changes") {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

}  // namespace

TEST(FolderWatcher, ReportsFilesWrittenOrMovedInAnywhereInTheTree) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    std::filesystem::create_directories(folder / "store" / "changes");
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    ASSERT_TRUE(watcher.isWatching());

    write(folder / "top.plist");
    ASSERT_TRUE(reported.waitFor("top.plist"));
    write(folder / "store" / "changes" / "deep.plist");
    EXPECT_TRUE(reported.waitFor("store/changes/deep.plist"));
    // Written into a temporary hidden file and renamed into place.
    ASSERT_TRUE(platform::AtomicFile::write(folder / "store" / "moved.plist", "whole"));
    EXPECT_TRUE(reported.waitFor("store/moved.plist"));
    // A folder made and filled at once, before the watcher can have looked into it.
    write(folder / "store" / "changes" / "PEER" / "first.plist");
    EXPECT_TRUE(reported.waitFor("store/changes/PEER/first.plist"));
    write(folder / "store" / "changes" / "PEER" / "second.plist");
    EXPECT_TRUE(reported.waitFor("store/changes/PEER/second.plist"));
}

TEST(FolderWatcher, HiddenFilesAndFoldersAreNotReported) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    std::filesystem::create_directories(folder);
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    write(folder / ".half-written.plist");
    write(folder / ".sync" / "part.plist");
    write(folder / "after.plist");
    // Events come in order: once the last file is reported, the hidden ones would have been too.
    ASSERT_TRUE(reported.waitFor("after.plist"));
    EXPECT_EQ(reported.paths(), std::vector<std::string>{"after.plist"});
}

TEST(FolderWatcher, FilesAlreadyThereAreReportedOnlyWhenAsked) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "PEER" / "earlier.plist");
    write(folder / ".hidden.plist");
    {
        ReportedPaths reported;
        FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
        write(folder / "later.plist");
        ASSERT_TRUE(reported.waitFor("later.plist"));
        EXPECT_EQ(reported.paths(), std::vector<std::string>{"later.plist"});
    }
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Report);
    EXPECT_TRUE(reported.waitFor("PEER/earlier.plist"));
    EXPECT_TRUE(reported.waitFor("later.plist"));
    EXPECT_EQ(reported.paths().size(), 2u);
}

TEST(FolderWatcher, AFolderThatDoesNotExistYetIsWatchedOnceItAppears) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "not" / "yet" / "cloud";
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    ASSERT_TRUE(watcher.isWatching());
    write(folder / "store" / "first.plist");
    EXPECT_TRUE(reported.waitFor("store/first.plist"));
    write(folder / "store" / "second.plist");
    EXPECT_TRUE(reported.waitFor("store/second.plist"));
}

TEST(FolderWatcher, AFolderDeletedAndMadeAgainIsStillWatched) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "store" / "old.plist");
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    std::filesystem::remove_all(folder);
    // A file where the folder was (an unmounted share) is no folder to watch.
    write(folder, "not a folder");
    std::filesystem::remove(folder);
    write(folder / "store" / "new.plist");
    EXPECT_TRUE(reported.waitFor("store/new.plist"));
    write(folder / "store" / "newer.plist");
    EXPECT_TRUE(reported.waitFor("store/newer.plist"));
    const auto paths = reported.paths();
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "store/old.plist"), 0);
}
