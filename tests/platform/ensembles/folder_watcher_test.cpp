#include "platform/ensembles/folder_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <atomic>
#include <thread>

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/console.h"
#include "tests/platform/ensembles/hostile_folder.h"
#include "tests/support/temp_data_root.h"

using platform::Console;
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

// A file changed in the same tick of the file system's clock as a watcher starts may count as changed
// since: waits until that tick is over.
void letTheClockPass(const std::filesystem::path& file) {
    struct stat status{};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    for (;;) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        if (now.tv_sec > status.st_ctim.tv_sec ||
            (now.tv_sec == status.st_ctim.tv_sec && now.tv_nsec > status.st_ctim.tv_nsec))
            return;
        std::this_thread::yield();
    }
}

std::vector<std::string> sortedOnce(std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

}  // namespace

TEST(FolderWatcher, ReportsFilesWrittenOrMovedInAnywhereInTheTreeButNotHiddenOnes) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "store" / "changes" / "before.plist");
    letTheClockPass(folder / "store" / "changes" / "before.plist");
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
    EXPECT_EQ(sortedOnce(reported.paths()), (std::vector<std::string>{"store/changes/PEER/first.plist", "store/changes/deep.plist",
                                               "store/moved.plist"}));
}

TEST(FolderWatcher, FilesAlreadyThereAreReportedWhenAsked) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "PEER" / "earlier.plist");
    write(folder / ".hidden.plist");
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Report);
    ASSERT_TRUE(reported.waitFor("PEER/earlier.plist"));
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
    EXPECT_EQ(sortedOnce(reported.paths()), (std::vector<std::string>{"kept/inside.plist", "moved.plist"}));
}

TEST(FolderWatcher, AFolderThatAppearsOrComesBackEmptyIsNoticedThoughItHoldsNoFile) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud" / "container";
    std::atomic<int> appeared{0};
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Ignore, [&] { ++appeared; });
    write(temp.path() / "unrelated.plist");
    std::filesystem::create_directories(temp.path() / "cloud");
    write(folder / "marker.plist");
    ASSERT_TRUE(reported.waitFor("marker.plist"));
    EXPECT_GE(appeared.load(), 1);

    // Wiped and made again empty: only the folder itself comes back.
    std::filesystem::remove_all(temp.path() / "cloud");
    write(temp.path() / "wiped.plist");
    const int before = appeared;
    std::filesystem::create_directories(temp.path() / "cloud");
    write(folder / "after.plist");
    ASSERT_TRUE(reported.waitFor("after.plist"));
    EXPECT_GT(appeared.load(), before);
}

// Trees written by other programs: links back into the tree or out of it, loops, great depths.
TEST(FolderWatcherHostileTree, LinksIntoTheTreeRoundALoopOrOutOfItAreNeverFollowed) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "d" / "inside.plist");
    std::filesystem::create_directory_symlink("..", folder / "d" / "up");
    std::filesystem::create_directory_symlink(".", folder / "d" / "self");
    std::filesystem::create_directory_symlink("/usr", folder / "large");
    std::filesystem::create_symlink("/dev/zero", folder / "zero.plist");
    ReportedPaths reported;
    FolderWatcher watcher(folder, reported.handler(), FolderWatcher::ExistingFiles::Report);
    ASSERT_TRUE(reported.waitFor("d/inside.plist"));
    // Written after the walk: were it still going round the loop, it would never be reported.
    write(folder / "d" / "later.plist");
    ASSERT_TRUE(reported.waitFor("d/later.plist"));
    EXPECT_EQ(sortedOnce(reported.paths()), (std::vector<std::string>{"d/inside.plist", "d/later.plist"}));

    // The same links in a folder moved in while it runs.
    const auto outside = temp.path() / "incoming";
    write(outside / "loop" / "first.plist");
    std::filesystem::create_directory_symlink("..", outside / "loop" / "up");
    std::filesystem::create_directory_symlink(".", outside / "loop" / "self");
    std::filesystem::rename(outside, folder / "incoming");
    ASSERT_TRUE(reported.waitFor("incoming/loop/first.plist"));
    write(folder / "incoming" / "loop" / "second.plist");
    ASSERT_TRUE(reported.waitFor("incoming/loop/second.plist"));
    for (const auto& path : reported.paths()) {
        EXPECT_EQ(path.find("up/"), std::string::npos) << path;
        EXPECT_EQ(path.find("self/"), std::string::npos) << path;
        EXPECT_EQ(path.find("large/"), std::string::npos) << path;
    }
}

TEST(FolderWatcherHostileTree, ADeepTreeIsWalkedOffTheCallersThreadToABoundWithOneDescriptorAtATime) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    const quorvel::testing::DeepTree tree(folder, 3000);
    ASSERT_TRUE(tree.made());
    auto shallow = folder;
    for (int level = 0; level < 5; ++level) shallow /= "d";
    write(shallow / "shallow.plist");
    const int descriptorsBefore = quorvel::testing::openDescriptors();

    Console::Capture console;
    std::atomic<bool> constructed{false};
    std::atomic<bool> reportedBeforeConstructed{false};
    std::atomic<int> mostDescriptors{0};
    ReportedPaths reported;
    auto handler = reported.handler();
    {
        FolderWatcher watcher(
            folder,
            [&](const std::string& path) {
                // Held until the constructor has returned: a walk on the caller's thread would wait here.
                for (int i = 0; i < 2000 && !constructed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
                reportedBeforeConstructed = reportedBeforeConstructed || !constructed;
                mostDescriptors = std::max(mostDescriptors.load(), quorvel::testing::openDescriptors());
                handler(path);
            },
            FolderWatcher::ExistingFiles::Report);
        constructed = true;
        ASSERT_TRUE(reported.waitFor("d/d/d/d/d/shallow.plist"));
        ASSERT_TRUE(quorvel::testing::waitForLine(console, "folders deep"));
        write(shallow / "written.plist");
        ASSERT_TRUE(reported.waitFor("d/d/d/d/d/written.plist"));
    }
    EXPECT_FALSE(reportedBeforeConstructed);
    // Its inotify instance, its wake-up, the folder it reads and the count's own listing.
    EXPECT_LE(mostDescriptors.load(), descriptorsBefore + 4);
    const auto lines = console.lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.find("folders deep") != std::string::npos; }),
              1);
}

// The watcher does not give up: what it could not watch it tries again when asked.
class FolderWatcherRetry : public ::testing::Test {
protected:
    FolderWatcherRetry() { std::filesystem::create_directories(folder / "store"); }

    quorvel::testing::TempDataRoot temp;
    const std::filesystem::path folder = temp.path() / "cloud";
    Console::Capture console;
    ReportedPaths reported;
};

TEST_F(FolderWatcherRetry, AWatcherThatCouldNotStartSaysSoOnceAndStartsWhenAskedAgain) {
    const auto handler = reported.handler();
    quorvel::testing::DescriptorLimit limit(0);
    FolderWatcher watcher(folder, handler, FolderWatcher::ExistingFiles::Ignore);
    EXPECT_FALSE(watcher.isWatching());
    watcher.retryIfIncomplete();
    limit.lift();
    ASSERT_EQ(console.lines().size(), 1u);
    EXPECT_NE(console.lines().front().find("too many open files"), std::string::npos) << console.lines().front();

    watcher.retryIfIncomplete();
    ASSERT_TRUE(watcher.isWatching());
    write(folder / "store" / "arrived.plist");
    EXPECT_TRUE(reported.waitFor("store/arrived.plist"));
}

TEST_F(FolderWatcherRetry, AFolderThatCouldNotBeReadIsWatchedAfterTheNextTry) {
    {
        // A sanitizer checks an object's type once, and needs descriptors to do it: the watcher's
        // thread is checked before descriptors run short.
        const auto handler = reported.handler();
        FolderWatcher(folder, handler, FolderWatcher::ExistingFiles::Ignore);
        // Enough to set inotify up, too few to open a folder.
        quorvel::testing::DescriptorLimit limit(2);
        FolderWatcher watcher(folder, handler, FolderWatcher::ExistingFiles::Ignore);
        ASSERT_TRUE(watcher.isWatching());
        ASSERT_TRUE(quorvel::testing::waitForLine(console, "Not watching all of"));
        limit.lift();
        watcher.retryIfIncomplete();
        write(folder / "store" / "seen.plist");
        EXPECT_TRUE(reported.waitFor("store/seen.plist"));
    }
    EXPECT_EQ(console.lines().size(), 1u);
}
