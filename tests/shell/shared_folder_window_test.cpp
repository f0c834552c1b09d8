// Two installations on one shared folder: the real quorvel window, and another installation as a
// process of its own storing focus sessions into the folder. Whichever comes first, the window's
// statistics show the other installation's sessions within seconds, not at its next scheduled merge.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_user_defaults.h"
#include "tests/app/core/sync_device_runner.h"
#include "tests/shell/walking_desktop_test.h"

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

    // The window on the statistics screen, its data root new, on the shared folder.
    Window startOnStatistics() {
        markGuidanceSeen();
        const Window window = start({"--device", "iPhone8", "--orientation", "portrait"},
                                    {{"QUORVEL_CLOUD", cloud().string()}});
        app->listen(1s);
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
    app->listen(1s);
    EXPECT_EQ(averagesShown(window, "shared_folder_first_start.png"), kThreeSessions) << app->transcript();
    // Brought by the folder's notice, once, not by the scheduled merge; the window's own files made none.
    EXPECT_EQ(app->count("Cloud data did download"), 1u);
    EXPECT_EQ(app->count("data do merging"), 0u);
}

TEST_F(SharedFolderWindow, SessionsStoredWhileTheWindowRunsShowWithinSeconds) {
    const Window window = startOnStatistics();
    EXPECT_EQ(averagesShown(window, "shared_folder_before.png"), kNone);
    EXPECT_EQ(app->count("Cloud data did download"), 0u);
    storeOnTheOtherInstallation(3);
    app->listen(3s);
    EXPECT_EQ(averagesShown(window, "shared_folder_while_running.png"), kThreeSessions) << app->transcript();
    EXPECT_GE(app->count("Cloud data did download"), 1u);
    EXPECT_EQ(app->count("data do merging"), 0u);
    // Its merges write files of its own into the folder: they start no further syncs.
    const auto downloads = app->count("Cloud data did download");
    app->listen(3s);
    EXPECT_EQ(app->count("Cloud data did download"), downloads);
}
