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

TEST(FolderWatcher, ReportsFilesWrittenOrMovedInAnywhereInTheTreeButNotHiddenOnes) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "store" / "changes" / "before.plist");
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    ASSERT_TRUE(watcher.isWatching());

    write(folder / ".half-written.plist");
    write(folder / ".sync" / "part.plist");
    write(folder / "store" / "changes" / "deep.plist");
    // Written into a hidden temporary file and renamed into place.
    ASSERT_TRUE(platform::AtomicFile::write(folder / "store" / "moved.plist", "whole"));
    // A folder made and filled at once, before the watcher can have looked into it.
    write(folder / "store" / "changes" / "PEER" / "first.plist");
    ASSERT_TRUE(reported.waitFor("store/changes/PEER/first.plist"));
    // Events come in order: by now every file above would have been reported.
    auto paths = reported.paths();
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"store/changes/PEER/first.plist", "store/changes/deep.plist",
                                               "store/moved.plist"}));
}

TEST(FolderWatcher, FilesAlreadyThereAreReportedWhenAsked) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "PEER" / "earlier.plist");
    write(folder / ".hidden.plist");
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Report);
    EXPECT_EQ(reported.paths(), std::vector<std::string>{"PEER/earlier.plist"});
}

TEST(FolderWatcher, AFolderMadeLaterOrDeletedAndMadeAgainIsWatchedOnceItIsThere) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "not" / "yet" / "cloud";
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    ASSERT_TRUE(watcher.isWatching());
    write(folder / "store" / "first.plist");
    ASSERT_TRUE(reported.waitFor("store/first.plist"));

    std::filesystem::remove_all(temp.path() / "not");
    // A file where the folder was (an unmounted share) is no folder to watch.
    write(folder, "not a folder");
    std::filesystem::remove(folder);
    write(folder / "store" / "second.plist");
    EXPECT_TRUE(reported.waitFor("store/second.plist"));
    write(folder / "store" / "third.plist");
    EXPECT_TRUE(reported.waitFor("store/third.plist"));
}

TEST(FolderWatcher, AFolderMovedOutOfTheTreeIsNoLongerReportedOnAndOneMovedWithinItStill) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    std::filesystem::create_directories(folder / "leaving");
    std::filesystem::create_directories(folder / "renamed");
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    std::filesystem::rename(folder / "leaving", temp.path() / "elsewhere");
    std::filesystem::rename(folder / "renamed", folder / "kept");
    write(folder / "moved.plist");
    ASSERT_TRUE(reported.waitFor("moved.plist"));
    write(temp.path() / "elsewhere" / "outside.plist");
    write(folder / "kept" / "inside.plist");
    ASSERT_TRUE(reported.waitFor("kept/inside.plist"));
    EXPECT_EQ(reported.paths(), (std::vector<std::string>{"moved.plist", "kept/inside.plist"}));
}
