// Two installations on one shared folder: the real quorvel window, and another installation as a
// process of its own storing focus sessions into the folder. Whichever comes first, the window's
// statistics show the other installation's sessions within seconds, not at its next scheduled merge.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <string>

#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/ensembles/cde_icloud_file_system.h"
#include "tests/app/core/sync_device_runner.h"
#include "tests/platform/ensembles/hostile_folder.h"
#include "tests/shell/walking_desktop_test.h"
#include "tests/support/eventually.h"

namespace {

using namespace std::chrono_literals;

class SharedFolderWindow : public quorvel::testing::WalkingDesktopTest {
protected:
    // The other installation's temporary folder made, the window's data root is this process's again.
    SharedFolderWindow() {
        platform::DataRoot::setPath(root.path());
        platform::NSUserDefaults::resetAllForTesting();
    }

    // The other installation stores `count` focus sessions that ended a moment ago and syncs.
    void storeOnTheOtherInstallation(int count) {
        const double now = platform::NSDate::now().timeIntervalSinceReferenceDate();
        ASSERT_EQ(
            quorvel::testing::runSyncDevice(other.path() / "root", cloud(), count, now - 60 * count).size(),
            std::size_t(count));
    }

    std::filesystem::path cloud() const { return other.path() / "cloud"; }
    // The app's folder in the shared folder, once an installation has synced.
    std::filesystem::path container() const { return std::filesystem::directory_iterator(cloud())->path(); }
    // The folder of the other installation's change files.
    std::filesystem::path othersChanges() const {
        for (const auto& device : std::filesystem::directory_iterator(container() / "PomodoroStore" / "changes")) {
            if (!std::filesystem::is_empty(device.path())) return device.path();
        }
        return {};
    }

    // Lines the window printed that hold `text`.
    std::size_t linesWith(const std::string& text) const { return app->count(text); }

    // The window on the statistics screen, its data root new, on the shared folder.
    Window startOnStatistics() {
        markGuidanceSeen();
        const Window window = start({"--device", "iPhone8", "--orientation", "portrait"},
                                    {{"QUORVEL_CLOUD", cloud().string()}});
        app->settle(1s);
        openFromMenu(window, "Charts");
        return window;
    }

    // The statistics screen's two averages (the last 14 and the last 30 days), top first.
    std::vector<std::string> averagesShown(Window window, const std::string& name) {
        std::vector<std::string> averages;
        for (const auto& view : look(window, name).views) {
            if (view.text.starts_with("Average ")) averages.push_back(view.text);
        }
        return averages;
    }

    // The averages once `shown` holds of them: sessions come in when the sync has merged them, in the
    // loaded machine's own time. What shows last when the guard gives up first.
    template <typename Shown>
    std::vector<std::string> averagesOnce(Window window, const std::string& name, Shown shown) {
        std::vector<std::string> averages;
        quorvel::testing::eventually([&] { return shown(averages = averagesShown(window, name)); },
                                     [&] { app->listen(250ms); });
        return averages;
    }
    std::vector<std::string> averagesOnceThey(Window window, const std::string& name,
                                              const std::vector<std::string>& expected) {
        return averagesOnce(window, name, [&](const auto& averages) { return averages == expected; });
    }

    quorvel::testing::TempDataRoot other;
};

// Three sessions of 25 minutes, the 30 days' average above the 14 days'.
const std::vector<std::string> kThreeSessions{"Average 0.1 Focus Sessions (  3 minutes )",
                                              "Average 0.2 Focus Sessions (  6 minutes )"};
const std::vector<std::string> kNone{"Average 0.0 Focus Sessions (  0 minute )",
                                     "Average 0.0 Focus Sessions (  0 minute )"};

}  // namespace

TEST_F(SharedFolderWindow, SessionsStoredBeforeTheFirstStartShowWithinSeconds) {
    storeOnTheOtherInstallation(3);
    const Window window = startOnStatistics();
    EXPECT_EQ(averagesOnceThey(window, "shared_folder_first_start.png", kThreeSessions), kThreeSessions)
        << app->transcript();
    // Brought by the folder's notice, once, not by the scheduled merge; the window's own files made none.
    EXPECT_EQ(app->count("Cloud data did download"), 1u);
    EXPECT_EQ(app->count("data do merging"), 0u);
}

TEST_F(SharedFolderWindow, SessionsStoredWhileTheWindowRunsShowWithinSeconds) {
    const Window window = startOnStatistics();
    EXPECT_EQ(averagesShown(window, "shared_folder_before.png"), kNone);
    EXPECT_EQ(app->count("Cloud data did download"), 0u);
    storeOnTheOtherInstallation(3);
    EXPECT_EQ(averagesOnceThey(window, "shared_folder_while_running.png", kThreeSessions), kThreeSessions)
        << app->transcript();
    EXPECT_GE(app->count("Cloud data did download"), 1u);
    EXPECT_EQ(app->count("data do merging"), 0u);
    // Its merges write files of its own into the folder: they start no further syncs.
    const auto downloads = app->count("Cloud data did download");
    app->listen(3s);
    EXPECT_EQ(app->count("Cloud data did download"), downloads);
}

// Folders written by other programs: links round a loop or out of the folder, a tree thousands of
// folders deep. The launch finishes, the program still ends when asked, and arrivals still come.
TEST_F(SharedFolderWindow, LinksAndADeepTreeInTheFolderHoldNeitherTheLaunchNorLaterArrivals) {
    // This data folder has synced before, so the launch itself starts watching the folder.
    ASSERT_TRUE(quorvel::testing::runSyncDevice(root.path(), cloud(), 0, 0).empty());
    std::filesystem::create_directories(container() / "d");
    std::filesystem::create_directory_symlink("..", container() / "d" / "up");
    std::filesystem::create_directory_symlink(".", container() / "d" / "self");
    std::filesystem::create_directory_symlink("/usr", container() / "large");
    const quorvel::testing::DeepTree deep(container() / "deep", 3000);
    ASSERT_TRUE(deep.made());

    const Window window = startOnStatistics();
    // The same links moved in while it runs.
    const auto incoming = other.path() / "incoming";
    std::filesystem::create_directories(incoming);
    std::filesystem::create_directory_symlink("..", incoming / "up");
    std::filesystem::create_directory_symlink(".", incoming / "self");
    std::filesystem::rename(incoming, container() / "incoming");
    storeOnTheOtherInstallation(3);
    EXPECT_EQ(averagesOnceThey(window, "shared_folder_links.png", kThreeSessions), kThreeSessions)
        << app->transcript();
    EXPECT_EQ(linesWith("data do merging"), 0u);
    ::kill(app->pid(), SIGTERM);
    EXPECT_TRUE(app->waitForExit()) << app->transcript();
}

// Another installation's folder holds a FIFO, a link to an endless device and a huge file named like
// change files: each is skipped with one line of its own, however many merges pass them by, and its
// sessions arrive all the same.
TEST_F(SharedFolderWindow, SpecialFilesAmongChangeFilesAreSkippedWithALineEachWhileTheRestSyncs) {
    storeOnTheOtherInstallation(3);
    const auto changes = othersChanges();
    ASSERT_FALSE(changes.empty());
    ASSERT_EQ(::mkfifo((changes / "000000000000001-fifo.plist").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", changes / "000000000000002-zero.plist");
    const auto huge = changes / "000000000000003-huge.plist";
    std::filesystem::resize_file((std::ofstream(huge), huge), platform::CDEICloudFileSystem::kLargestFileRead + 1);

    const Window window = startOnStatistics();
    EXPECT_EQ(averagesOnceThey(window, "shared_folder_special_files.png", kThreeSessions), kThreeSessions)
        << app->transcript();
    // Two more sessions there, for a merge more past the same files.
    const double now = platform::NSDate::now().timeIntervalSinceReferenceDate();
    ASSERT_EQ(quorvel::testing::runSyncDevice(other.path() / "root", cloud(), 2, now - 400).size(), 5u);
    const auto later = averagesOnce(window, "shared_folder_special_files_later.png", [](const auto& averages) {
        return !averages.empty() && averages.front().find(" 5 minutes") != std::string::npos;
    });
    ASSERT_FALSE(later.empty()) << app->transcript();
    EXPECT_NE(later.front().find(" 5 minutes"), std::string::npos) << later.front() << app->transcript();
    EXPECT_EQ(linesWith("-fifo.plist"), 1u) << app->transcript();
    EXPECT_EQ(linesWith("-zero.plist"), 1u);
    EXPECT_EQ(linesWith("-huge.plist"), 1u);
    EXPECT_EQ(linesWith("Skipped change file"), 3u) << app->transcript();
}

// The shared folder wiped and made again while the window runs comes back empty: within seconds the
// window writes what it holds there again, and a new installation on the folder gets every session.
TEST_F(SharedFolderWindow, AWipedFolderMadeAgainGetsThisInstallationsSessionsWithinSeconds) {
    storeOnTheOtherInstallation(3);
    const Window window = startOnStatistics();
    ASSERT_EQ(averagesOnceThey(window, "shared_folder_before_wipe.png", kThreeSessions), kThreeSessions)
        << app->transcript();
    std::filesystem::remove_all(cloud());
    std::filesystem::create_directories(cloud());

    // Each try is an installation new to the folder; one that came before the window wrote there again
    // found nothing.
    quorvel::testing::TempDataRoot joining;
    int tries = 0;
    std::size_t got = 0;
    quorvel::testing::eventually(
        [&] {
            const auto newcomer = joining.path() / ("root-" + std::to_string(++tries));
            return (got = quorvel::testing::runSyncDevice(newcomer, cloud(), 0, 0).size()) == 3u;
        },
        [&] { app->listen(1s); });
    EXPECT_EQ(got, 3u) << app->transcript();
    EXPECT_EQ(linesWith("data do merging"), 0u) << "brought by the folder's notice, not the scheduled merge";
}
