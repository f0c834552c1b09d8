#include "platform/ensembles/folder_watcher.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/console.h"
#include "tests/platform/ensembles/hostile_folder.h"
#include "tests/support/temp_data_root.h"

using platform::Console;
using platform::FolderWatcher;

namespace {

// The folders the sync reads: the store's folder, its changes folder and every device's folder in it.
const FolderWatcher::Reach kStoreReach{"store", "changes", std::nullopt};
// Every folder in the folder.
const FolderWatcher::Reach kFolders{std::nullopt};

// The paths a watcher reported, in order, and the notices it gave, from its thread.
class ReportedPaths {
public:
    FolderWatcher::Handler handler() {
        return [this](const std::string& path) {
            std::lock_guard lock(mutex_);
            paths_.push_back(path);
            noticesBefore_.push_back(notices_);
            changed_.notify_all();
        };
    }
    FolderWatcher::Notice notice() {
        return [this] {
            std::lock_guard lock(mutex_);
            ++notices_;
            changed_.notify_all();
        };
    }

    // Waits (ten seconds at most) until `path` has been reported.
    bool waitFor(const std::string& path) {
        return waitUntil([&] { return std::find(paths_.begin(), paths_.end(), path) != paths_.end(); });
    }
    // Waits (ten seconds at most) until `count` paths have been reported.
    bool waitForPaths(std::size_t count) {
        return waitUntil([&] { return paths_.size() >= count; });
    }
    // Waits (ten seconds at most) until more than `count` notices were given.
    bool waitForNoticesAbove(int count) {
        return waitUntil([&] { return notices_ > count; });
    }

    std::vector<std::string> paths() {
        std::lock_guard lock(mutex_);
        return paths_;
    }
    int notices() {
        std::lock_guard lock(mutex_);
        return notices_;
    }
    // How many notices had been given when `path` was first reported.
    int noticesBefore(const std::string& path) {
        std::lock_guard lock(mutex_);
        const auto at = std::find(paths_.begin(), paths_.end(), path);
        return at == paths_.end() ? -1 : noticesBefore_[static_cast<std::size_t>(at - paths_.begin())];
    }

private:
    bool waitUntil(const std::function<bool()>& holds) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), holds);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> paths_;
    std::vector<int> noticesBefore_;
    int notices_ = 0;
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

TEST(FolderWatcher, ReportsFilesWrittenOrMovedIntoTheFoldersItReachesButNotHiddenOnesNorAnyElsewhere) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "store" / "changes" / "PEER" / "before.plist");
    letTheClockPass(folder / "store" / "changes" / "PEER" / "before.plist");
    ReportedPaths reported;
    FolderWatcher watcher(folder, kStoreReach, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    ASSERT_TRUE(watcher.isWatching());

    write(folder / "store" / "changes" / "PEER" / ".half-written.plist");
    write(folder / "store" / "changes" / ".sync" / "part.plist");
    // Out of reach: beside the folders the sync reads, or deeper than it reads.
    write(folder / "top.plist");
    write(folder / "other" / "changes" / "PEER" / "beside.plist");
    write(folder / "store" / "loose.plist");
    write(folder / "store" / "changes" / "loose.plist");
    write(folder / "store" / "changes" / "PEER" / "deeper" / "inside.plist");
    write(folder / "store" / "changes" / "PEER" / "written.plist");
    // Written into a hidden temporary file and renamed into place.
    ASSERT_TRUE(platform::AtomicFile::write(folder / "store" / "changes" / "PEER" / "moved.plist", "whole"));
    // A folder made and filled at once, before the watcher can have looked into it.
    write(folder / "store" / "changes" / "NEW" / "first.plist");
    for (const std::string path : {"PEER/written.plist", "PEER/moved.plist", "NEW/first.plist"})
        ASSERT_TRUE(reported.waitFor("store/changes/" + path)) << path;
    EXPECT_EQ(sortedOnce(reported.paths()),
              (std::vector<std::string>{"store/changes/NEW/first.plist", "store/changes/PEER/moved.plist",
                                        "store/changes/PEER/written.plist"}));
}

TEST(FolderWatcher, FilesAlreadyThereAreReportedWhenAsked) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "PEER" / "earlier.plist");
    write(folder / "PEER" / ".hidden.plist");
    ReportedPaths reported;
    FolderWatcher watcher(folder, kFolders, reported.handler(), FolderWatcher::ExistingFiles::Report);
    ASSERT_TRUE(reported.waitFor("PEER/earlier.plist"));
    EXPECT_EQ(reported.paths(), std::vector<std::string>{"PEER/earlier.plist"});
}

// Whoever must know that nothing more is coming asks every watcher to catch up, and waits for no time.
TEST(FolderWatcher, ACatchUpReturnsWithEverythingWrittenBeforeItReported) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    write(folder / "store" / "changes" / "PEER" / "earlier.plist");
    ReportedPaths reported, second;  // the second watches a folder nobody writes to
    FolderWatcher watcher(folder, kStoreReach, reported.handler(), FolderWatcher::ExistingFiles::Report);
    FolderWatcher elsewhere(temp.path() / "elsewhere", kFolders, second.handler(),
                            FolderWatcher::ExistingFiles::Report);
    FolderWatcher::catchUpAll();  // the first walk is over
    EXPECT_EQ(reported.paths(), std::vector<std::string>{"store/changes/PEER/earlier.plist"});

    for (int round = 0; round < 20; ++round) {
        const auto name = std::to_string(round) + ".plist";
        write(folder / "store" / "changes" / "PEER" / name);
        write(folder / "store" / "changes" / ("NEW" + std::to_string(round)) / name);
        FolderWatcher::catchUpAll();
        const auto paths = reported.paths();
        const auto made = "store/changes/NEW" + std::to_string(round) + "/" + name;
        for (const auto& path : {"store/changes/PEER/" + name, made})
            EXPECT_NE(std::find(paths.begin(), paths.end(), path), paths.end()) << path;
    }
    EXPECT_TRUE(second.paths().empty());
}

TEST(FolderWatcher, AFolderMadeLaterOrDeletedAndMadeAgainIsWatchedOnceItIsThere) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "not" / "yet" / "cloud";
    ReportedPaths reported;
    FolderWatcher watcher(folder, kFolders, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
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
    for (const std::string name : {"leaving", "renamed", "staying"})
        std::filesystem::create_directories(folder / name);
    ReportedPaths reported;
    FolderWatcher watcher(folder, kFolders, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    std::filesystem::rename(folder / "leaving", temp.path() / "elsewhere");
    std::filesystem::rename(folder / "renamed", folder / "kept");
    write(folder / "staying" / "moved.plist");
    ASSERT_TRUE(reported.waitFor("staying/moved.plist"));
    write(temp.path() / "elsewhere" / "outside.plist");
    write(folder / "kept" / "inside.plist");
    ASSERT_TRUE(reported.waitFor("kept/inside.plist"));
    EXPECT_EQ(sortedOnce(reported.paths()),
              (std::vector<std::string>{"kept/inside.plist", "staying/moved.plist"}));
}

TEST(FolderWatcher, AFolderThatAppearsOrComesBackEmptyIsNoticedThoughItHoldsNoFile) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud" / "container";
    ReportedPaths reported;
    FolderWatcher watcher(folder, kFolders, reported.handler(), FolderWatcher::ExistingFiles::Ignore,
                          reported.notice());
    write(temp.path() / "unrelated.plist");
    std::filesystem::create_directories(temp.path() / "cloud");
    write(folder / "PEER" / "marker.plist");
    ASSERT_TRUE(reported.waitFor("PEER/marker.plist"));
    // Its coming is told before the files found in it.
    EXPECT_GE(reported.noticesBefore("PEER/marker.plist"), 1);

    // Wiped: its going is noticed; made again empty, its coming is.
    const int before = reported.notices();
    std::filesystem::remove_all(temp.path() / "cloud");
    ASSERT_TRUE(reported.waitForNoticesAbove(before));
    const int gone = reported.notices();
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(reported.waitForNoticesAbove(gone));
    write(folder / "PEER" / "after.plist");
    EXPECT_TRUE(reported.waitFor("PEER/after.plist"));
}

// Trees written by other programs: links back into the tree or out of it, loops, great depths, litter.
TEST(FolderWatcherHostileTree, LinksIntoTheTreeRoundALoopOrOutOfItAreNeverFollowed) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    const FolderWatcher::Reach twoLevels{std::nullopt, std::nullopt};
    write(folder / "d" / "e" / "inside.plist");
    std::filesystem::create_directory_symlink("..", folder / "d" / "up");
    std::filesystem::create_directory_symlink(".", folder / "d" / "self");
    std::filesystem::create_directory_symlink("/usr", folder / "large");
    std::filesystem::create_directory_symlink("/usr", folder / "d" / "large");
    std::filesystem::create_symlink("/dev/zero", folder / "d" / "e" / "zero.plist");
    ReportedPaths reported;
    FolderWatcher watcher(folder, twoLevels, reported.handler(), FolderWatcher::ExistingFiles::Report);
    ASSERT_TRUE(reported.waitFor("d/e/inside.plist"));
    write(folder / "d" / "e" / "later.plist");
    ASSERT_TRUE(reported.waitFor("d/e/later.plist"));
    EXPECT_EQ(sortedOnce(reported.paths()),
              (std::vector<std::string>{"d/e/inside.plist", "d/e/later.plist"}));

    // The same links in a folder moved in while it runs.
    const auto outside = temp.path() / "incoming";
    write(outside / "loop" / "first.plist");
    std::filesystem::create_directory_symlink("..", outside / "up");
    std::filesystem::create_directory_symlink(".", outside / "self");
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

// Beside the store's folder, in it and in a device's folder: folders of many folders (one of more than it
// would ever watch) and deep trees, there before the watcher starts and made while it runs.
TEST(FolderWatcherHostileTree, LitterAroundTheFoldersItReachesCostsNoWatchAndHoldsNeitherCallerNorArrivals) {
    quorvel::testing::TempDataRoot temp;
    const auto folder = temp.path() / "cloud";
    const auto peer = folder / "store" / "changes" / "PEER";
    write(peer / "there.plist");
    for (const std::string name : {"Trash", "tmp", "backup", "node_modules", "a"})
        quorvel::testing::makeWideFolder(folder / name, name == "Trash" ? 4200 : 50);
    quorvel::testing::makeWideFolder(folder / "store" / "Trash", 50);
    quorvel::testing::makeWideFolder(peer / "Trash", 50);
    const quorvel::testing::DeepTree besideTheStore(folder, 100);
    const quorvel::testing::DeepTree inADevicesFolder(peer, 100);
    ASSERT_TRUE(besideTheStore.made() && inADevicesFolder.made());
    const int descriptorsBefore = quorvel::testing::openDescriptors();

    Console::Capture console;
    std::atomic<bool> constructed{false};
    std::atomic<bool> reportedBeforeConstructed{false};
    std::atomic<int> mostDescriptors{0};
    ReportedPaths reported;
    auto handler = reported.handler();
    {
        FolderWatcher watcher(
            folder, kStoreReach,
            [&](const std::string& path) {
                // Held until the constructor has returned: a walk on the caller's thread would wait here.
                quorvel::testing::waitUntil([&] { return constructed.load(); });
                reportedBeforeConstructed = reportedBeforeConstructed || !constructed;
                mostDescriptors = std::max(mostDescriptors.load(), quorvel::testing::openDescriptors());
                handler(path);
            },
            FolderWatcher::ExistingFiles::Report);
        constructed = true;
        ASSERT_TRUE(reported.waitFor("store/changes/PEER/there.plist"));
        // The top folder, the store's, its changes folder and the device's: nothing else.
        EXPECT_TRUE(quorvel::testing::waitUntil([] { return quorvel::testing::inotifyWatches() == 4; }))
            << quorvel::testing::inotifyWatches();

        quorvel::testing::makeWideFolder(folder, 500);
        quorvel::testing::makeWideFolder(folder / "store", 50);
        quorvel::testing::makeWideFolder(peer, 50);
        write(peer / "arrived.plist");
        ASSERT_TRUE(reported.waitFor("store/changes/PEER/arrived.plist"));
        EXPECT_EQ(quorvel::testing::inotifyWatches(), 4);
    }
    EXPECT_FALSE(reportedBeforeConstructed);
    // Its inotify instance, its wake-up, the folder it reads and the count's own listing.
    EXPECT_LE(mostDescriptors.load(), descriptorsBefore + 4);
    EXPECT_EQ(console.lines(), std::vector<std::string>{});
}

// A folder whose folders wait to be walked is renamed, swapped for a link or moved out of the tree, and
// put back: they are watched all the same. The first report is taken as the moment to move it, while
// the rest still wait.
TEST(FolderWatcherHostileTree, FoldersMovedAwayAndBackWhileTheFirstWalkWaitsToReadThemAreWatched) {
    using Step =
        std::function<void(const std::filesystem::path& folder, const std::filesystem::path& elsewhere)>;
    struct Move {
        const char* what;
        Step away, back;
    };
    const std::vector<Move> moves{
        {"renamed within the tree",
         [](const auto& folder, const auto&) { std::filesystem::rename(folder / "p", folder / "p.away"); },
         [](const auto& folder, const auto&) { std::filesystem::rename(folder / "p.away", folder / "p"); }},
        {"swapped for a link",
         [](const auto& folder, const auto& elsewhere) {
             std::filesystem::rename(folder / "p", elsewhere);
             std::filesystem::create_directory_symlink(elsewhere, folder / "p");
         },
         [](const auto& folder, const auto& elsewhere) {
             std::filesystem::remove(folder / "p");
             std::filesystem::rename(elsewhere, folder / "p");
         }},
        {"moved out of the tree",
         [](const auto& folder, const auto& elsewhere) { std::filesystem::rename(folder / "p", elsewhere); },
         [](const auto& folder, const auto& elsewhere) { std::filesystem::rename(elsewhere, folder / "p"); }},
    };
    const std::vector<std::string> inner{"A", "B", "C"};
    for (const auto& move : moves) {
        SCOPED_TRACE(move.what);
        quorvel::testing::TempDataRoot temp;
        const auto folder = temp.path() / "cloud";
        const auto elsewhere = temp.path() / "elsewhere";
        for (const auto& name : inner) write(folder / "p" / name / "there.plist");
        ReportedPaths reported;
        const auto handler = reported.handler();
        std::atomic<bool> moved{false};
        FolderWatcher watcher(
            folder, {std::nullopt, std::nullopt},
            [&](const std::string& path) {
                if (!moved.exchange(true)) move.away(folder, elsewhere);
                handler(path);
            },
            FolderWatcher::ExistingFiles::Report);
        ASSERT_TRUE(reported.waitForPaths(1));
        move.back(folder, elsewhere);
        for (const auto& name : inner) write(folder / "p" / name / "later.plist");
        for (const auto& name : inner) EXPECT_TRUE(reported.waitFor("p/" + name + "/later.plist")) << name;
    }
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

TEST_F(FolderWatcherRetry, AWatcherThatCouldNotStartSaysWhySoOnceAndStartsWhenAskedAgain) {
    const auto handler = reported.handler();
    // No descriptor at all, or one for inotify and none for its wake-up.
    for (const int spare : {0, 1}) {
        SCOPED_TRACE(spare);
        Console::Capture console;
        quorvel::testing::DescriptorLimit limit(spare);
        FolderWatcher watcher(folder, kFolders, handler, FolderWatcher::ExistingFiles::Ignore);
        EXPECT_FALSE(watcher.isWatching());
        watcher.retryIfIncomplete();
        limit.lift();
        ASSERT_EQ(console.lines().size(), 1u);
        EXPECT_NE(console.lines().front().find("too many open files"), std::string::npos)
            << console.lines().front();

        watcher.retryIfIncomplete();
        ASSERT_TRUE(watcher.isWatching());
        const auto arrived = "store/arrived-" + std::to_string(spare) + ".plist";
        write(folder / arrived);
        EXPECT_TRUE(reported.waitFor(arrived));
    }
}

TEST_F(FolderWatcherRetry, AFolderThatCouldNotBeReadIsWatchedAfterTheNextTry) {
    {
        // A sanitizer checks an object's type once, and needs descriptors to do it: the watcher's
        // thread is checked before descriptors run short.
        const auto handler = reported.handler();
        FolderWatcher(folder, kFolders, handler, FolderWatcher::ExistingFiles::Ignore);
        // Enough to set inotify up, too few to open a folder.
        quorvel::testing::DescriptorLimit limit(2);
        FolderWatcher watcher(folder, kFolders, handler, FolderWatcher::ExistingFiles::Ignore);
        ASSERT_TRUE(watcher.isWatching());
        ASSERT_TRUE(quorvel::testing::waitForLine(console, "Not watching all of"));
        limit.lift();
        watcher.retryIfIncomplete();
        write(folder / "store" / "seen.plist");
        EXPECT_TRUE(reported.waitFor("store/seen.plist"));
    }
    EXPECT_EQ(console.lines().size(), 1u);
}

// More device folders than it watches: once they are gone, the next try watches the one that matters.
TEST_F(FolderWatcherRetry, AFolderLeftOutAtItsBoundIsWatchedAfterTheNextTryOnceThereIsRoom) {
    const auto changes = folder / "store" / "changes";
    quorvel::testing::makeWideFolder(changes, FolderWatcher::kMaxFolders);
    std::filesystem::create_directory(changes / "PEER");
    FolderWatcher watcher(folder, kStoreReach, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    ASSERT_TRUE(quorvel::testing::waitForLine(console, "(more than 4096 folders)"));
    for (std::size_t i = 0; i < FolderWatcher::kMaxFolders; ++i)
        std::filesystem::remove(changes / std::to_string(i));

    watcher.retryIfIncomplete();
    write(changes / "PEER" / "arrived.plist");
    EXPECT_TRUE(reported.waitFor("store/changes/PEER/arrived.plist"));
    EXPECT_EQ(console.lines().size(), 1u) << ::testing::PrintToString(console.lines());
}

// Its bound filled exactly, a device's folder made while it runs is left out, with a line, rather than
// watched past the bound; once there is room, the next try watches it.
TEST_F(FolderWatcherRetry, AFolderMadeWhileItIsFullIsLeftOutWithALineAndWatchedAfterTheNextTry) {
    const auto changes = folder / "store" / "changes";
    // With the top folder, the store's folder and its changes folder.
    quorvel::testing::makeWideFolder(changes, FolderWatcher::kMaxFolders - 3);
    FolderWatcher watcher(folder, kStoreReach, reported.handler(), FolderWatcher::ExistingFiles::Ignore);
    ASSERT_TRUE(quorvel::testing::waitUntil([] { return quorvel::testing::inotifyWatches() == 4096; }));
    EXPECT_TRUE(console.lines().empty());
    std::filesystem::create_directory(changes / "PEER");
    ASSERT_TRUE(quorvel::testing::waitForLine(console, "(more than 4096 folders)"));
    EXPECT_EQ(quorvel::testing::inotifyWatches(), 4096);
    for (std::size_t i = 0; i < FolderWatcher::kMaxFolders - 3; ++i)
        std::filesystem::remove(changes / std::to_string(i));

    watcher.retryIfIncomplete();
    write(changes / "PEER" / "arrived.plist");
    EXPECT_TRUE(reported.waitFor("store/changes/PEER/arrived.plist"));
    EXPECT_EQ(console.lines().size(), 1u) << ::testing::PrintToString(console.lines());
}
