#include "app/core/cloud_sync_manager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "app/core/app_notification_names.h"
#include "app/core/core_data_manager.h"
#include "platform/ensembles/cde_notifications.h"
#include "platform/ensembles/change_file.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_thread.h"
#include "platform/foundation/property_list.h"
#include "platform/uikit/application/ui_application.h"
#include "tests/app/core/launch_environment.h"
#include "tests/app/core/store_test_support.h"
#include "tests/platform/ensembles/download_notices.h"
#include "tests/support/eventually.h"
#include "tests/support/scoped_environment_variable.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel;

namespace {

// Counts "didChangeCloudContent" and notes whether every post came on the main thread.
struct CloudContentPosts {
    CloudContentPosts() {
        platform::NSNotificationCenter::defaultCenter().addObserver(
            this, NotificationName::didChangeCloudContent(), [this](const platform::NSNotification&) {
                ++count;
                onMainThread = onMainThread && platform::NSThread::isMainThread();
            });
    }
    ~CloudContentPosts() { platform::NSNotificationCenter::defaultCenter().removeObserver(this); }

    std::atomic<int> count{0};
    std::atomic<bool> onMainThread{true};
};

// A launched app: a data root, the virtual clock, a cloud folder of its own and the store; its sync
// manager and the cloud folder's variable are put back when it ends.
struct SyncedApp {
    SyncedApp() { quorvel::testing::launchStore(); }

    std::size_t changeFileCount() const {
        std::size_t files = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(cloud))
            files += entry.is_regular_file() && entry.path().extension() == ".plist" &&
                     entry.path().parent_path().parent_path().filename() == "changes";
        return files;
    }

    // Another device's change file holding one session, as the synchroniser would drop it into the
    // shared folder.
    void writeOtherDevicesSession(const std::string& id, double timestamp) const {
        platform::ChangeFile file{"OTHER-DEVICE", 10.0, {}};
        file.changes.push_back(platform::RecordChange{"Session",
                                                      id,
                                                      platform::RecordRevision{0, 10.0, "OTHER-DEVICE"},
                                                      {{"timestamp", platform::NSDate(timestamp)},
                                                       {"duration", 25},
                                                       {"type", 0},
                                                       {"uniqueIdentifier", id}}});
        const auto folder = platform::CDEICloudFileSystem(std::nullopt).containerDirectory() /
                            CloudSyncManager::kEnsembleIdentifier / "changes" / "OTHER-DEVICE";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / (id + ".plist")) << file.serialize().value();
    }

    std::vector<std::string> sessionIdentifiers() const {
        std::vector<std::string> ids;
        for (const auto& session : CoreDataManager::shared()->fetchAllSessions())
            ids.push_back(session->uniqueIdentifier());
        return ids;
    }

    // Lets the folder watcher's reports reach the main queue until the store holds `ids`, newest first;
    // a burst of arrivals ends after its quiet period on the virtual clock. The watcher reports in real
    // time: a file it reports late (a loaded machine) comes in with a burst of its own.
    bool sessionsArrive(const quorvel::testing::DownloadNotices& notices, const std::vector<std::string>& ids) {
        return quorvel::testing::eventually([&] { return sessionIdentifiers() == ids; }, [&] {
            clock->runUntilIdle();
            if (notices.progress > notices.downloads)
                clock->advance(platform::CDEICloudFileSystem::kArrivalQuietPeriod);
        });
    }

    quorvel::testing::TempDataRoot root;
    quorvel::testing::LaunchEnvironment environment{root.path()};
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::filesystem::path cloud = root.path() / "cloud";
    quorvel::testing::ScopedEnvironmentVariable cloudVariable{"QUORVEL_CLOUD", cloud.string()};
};

}  // namespace

TEST(CloudSync, TheFirstSyncLeechesAndTheNextMerges) {
    SyncedApp app;
    CloudContentPosts posts;
    auto sync = CloudSyncManager::shared();
    ASSERT_TRUE(sync->ensemble());
    EXPECT_FALSE(sync->ensemble()->isLeeched());
    int completions = 0;
    sync->synchronize([&] { ++completions; });
    app.clock->runUntilIdle();
    EXPECT_TRUE(sync->ensemble()->isLeeched());
    EXPECT_EQ(app.changeFileCount(), 0u);  // a leech exports nothing
    sync->synchronize([&] { ++completions; });
    app.clock->runUntilIdle();
    EXPECT_EQ(app.changeFileCount(), 1u);  // the merge exported the NumberHolder
    EXPECT_EQ(completions, 2);
    EXPECT_EQ(posts.count.load(), 2);
    EXPECT_TRUE(posts.onMainThread.load());
}

TEST(CloudSync, ASyncRequestedWhileMergingIsDroppedWithoutItsCompletion) {
    SyncedApp app;
    auto sync = CloudSyncManager::shared();
    sync->synchronize();
    app.clock->runUntilIdle();
    CloudContentPosts posts;
    int first = 0, second = 0;
    sync->synchronize([&] { ++first; });
    EXPECT_TRUE(sync->ensemble()->isMerging());
    sync->synchronize([&] { ++second; });
    app.clock->runUntilIdle();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(posts.count.load(), 1);
}

TEST(CloudSync, AFailedMergeIsLoggedAndStillPostsOnce) {
    SyncedApp app;
    auto sync = CloudSyncManager::shared();
    sync->synchronize();
    app.clock->runUntilIdle();
    std::filesystem::remove_all(app.cloud);
    std::ofstream(app.cloud) << "the cloud folder is gone";
    CloudContentPosts posts;
    platform::Console::Capture console;
    int completions = 0;
    sync->synchronize([&] { ++completions; });
    app.clock->runUntilIdle();
    EXPECT_TRUE(console.contains("Error in merge: "));
    EXPECT_EQ(posts.count.load(), 1);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(posts.onMainThread.load());
}

TEST(CloudSync, ASyncFromABackgroundThreadRunsOnTheMainThread) {
    SyncedApp app;
    auto sync = CloudSyncManager::shared();
    CloudContentPosts posts;
    std::atomic<bool> completedOnMain{false};
    std::thread([&] {
        sync->synchronize([&] { completedOnMain = platform::NSThread::isMainThread(); });
    }).join();
    // Nothing has started until the main thread runs the request.
    EXPECT_FALSE(sync->ensemble()->isLeeched());
    EXPECT_EQ(posts.count.load(), 0);
    app.clock->runUntilIdle();
    EXPECT_TRUE(sync->ensemble()->isLeeched());
    EXPECT_TRUE(completedOnMain.load());
    EXPECT_EQ(posts.count.load(), 1);
}

TEST(CloudSync, WithoutAModelSyncIsOffButTheManagerExists) {
    quorvel::testing::TempDataRoot root;
    quorvel::testing::LaunchEnvironment environment{root.path()};
    auto clock = platform::VirtualClock::install();
    quorvel::testing::MainBundleAt bundle(root.path());
    quorvel::testing::ScopedEnvironmentVariable cloudVariable{"QUORVEL_CLOUD", (root.path() / "cloud").string()};
    CloudContentPosts posts;
    auto sync = CloudSyncManager::shared();
    EXPECT_FALSE(sync->ensemble());
    EXPECT_FALSE(sync->cloudFileSystem());
    EXPECT_FALSE(sync->mergeTimer());
    bool completed = false;
    sync->synchronize([&] { completed = true; });
    platform::NSNotificationCenter::defaultCenter().postNotificationName(
        platform::CDEMonitoredManagedObjectContextDidSaveNotification);
    clock->advance(CloudSyncManager::kMergeInterval * 2);
    EXPECT_FALSE(completed);
    EXPECT_EQ(posts.count.load(), 0);
}

TEST(CloudSync, EveryStoredSessionAndEveryTwoMinutesMerge) {
    SyncedApp app;
    auto sync = CloudSyncManager::shared();
    sync->synchronize();
    app.clock->runUntilIdle();
    CloudContentPosts posts;
    ASSERT_TRUE(CoreDataManager::shared()->insertSession(25, SessionType::focus, platform::NSDate::now()));
    app.clock->runUntilIdle();
    EXPECT_EQ(posts.count.load(), 1);
    EXPECT_EQ(app.changeFileCount(), 1u);  // the session and the NumberHolder

    platform::Console::Capture console;
    app.clock->advance(CloudSyncManager::kMergeInterval);
    EXPECT_TRUE(console.contains("!!!! data do merging"));
    EXPECT_EQ(posts.count.load(), 2);
    EXPECT_EQ(app.changeFileCount(), 1u);  // nothing new to export
}

TEST(CloudSync, ArrivingCloudFilesAreLoggedAndMerged) {
    SyncedApp app;
    auto sync = CloudSyncManager::shared();
    sync->synchronize();
    app.clock->runUntilIdle();
    CloudContentPosts posts;
    platform::Console::Capture console;
    auto& center = platform::NSNotificationCenter::defaultCenter();
    auto& application = platform::UIApplication::sharedApplication();
    center.postNotificationName(platform::CDEICloudFileSystemDidMakeDownloadProgressNotification);
    EXPECT_TRUE(application.isNetworkActivityIndicatorVisible());
    center.postNotificationName(platform::CDEICloudFileSystemDidDownloadFilesNotification);
    EXPECT_FALSE(application.isNetworkActivityIndicatorVisible());
    app.clock->runUntilIdle();
    EXPECT_TRUE(console.contains("!!!! Cloud data download progress"));
    EXPECT_TRUE(console.contains("!!!! Cloud data did download"));
    EXPECT_EQ(posts.count.load(), 1);
}

TEST(CloudSync, GlobalIdentifiersAreTheRecordsUniqueIdentifiersInOrder) {
    SyncedApp app;
    auto context = CoreDataManager::context();
    std::vector<std::shared_ptr<platform::NSManagedObject>> objects{
        context->insertNewObjectForEntityForName("Session"),
        context->insertNewObjectForEntityForName("GoalDaily")};
    auto sync = CloudSyncManager::shared();
    const auto ids =
        sync->persistentStoreEnsembleGlobalIdentifiersForManagedObjects(*sync->ensemble(), objects);
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[0], *objects[0]->valueForKey("uniqueIdentifier").stringValue());
    EXPECT_EQ(ids[1], *objects[1]->valueForKey("uniqueIdentifier").stringValue());
}

TEST(CloudSync, ASessionFromAnotherDeviceArrivesInTheStoreOnce) {
    SyncedApp app;
    auto sync = CloudSyncManager::shared();
    sync->synchronize();
    app.clock->runUntilIdle();
    app.writeOtherDevicesSession("REMOTE-1", 5000);

    for (int merge = 0; merge < 3; ++merge) {
        sync->synchronize();
        app.clock->runUntilIdle();
    }
    const auto sessions = CoreDataManager::shared()->fetchAllSessions();
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0]->uniqueIdentifier(), "REMOTE-1");
    EXPECT_EQ(sessions[0]->duration(), 25);
    EXPECT_EQ(sessions[0]->timestamp(), platform::NSDate(5000));
}

TEST(CloudSync, FilesArrivingDuringAMergeGetAMergeOfTheirOwnRightAfterIt) {
    SyncedApp app;
    auto sync = CloudSyncManager::shared();
    sync->synchronize();
    app.clock->runUntilIdle();
    CloudContentPosts posts;
    sync->synchronize();
    ASSERT_TRUE(sync->ensemble()->isMerging());
    platform::NSNotificationCenter::defaultCenter().postNotificationName(
        platform::CDEICloudFileSystemDidDownloadFilesNotification);
    app.clock->runUntilIdle();
    EXPECT_EQ(posts.count.load(), 2);
    app.clock->runUntilIdle();
    EXPECT_EQ(posts.count.load(), 2);  // one merge after, not a loop of them
}

// A session saved while a merge exports goes with the merge right after it, not the next scheduled one.
TEST(CloudSync, ASessionSavedDuringAMergeGetsAMergeOfItsOwnRightAfterIt) {
    SyncedApp app;
    auto sync = CloudSyncManager::shared();
    sync->synchronize();
    app.clock->runUntilIdle();
    app.clock->runUntilIdle();
    CloudContentPosts posts;
    sync->synchronize();
    ASSERT_TRUE(sync->ensemble()->isMerging());
    platform::NSNotificationCenter::defaultCenter().postNotificationName(
        platform::CDEMonitoredManagedObjectContextDidSaveNotification);
    app.clock->runUntilIdle();
    EXPECT_EQ(posts.count.load(), 2);
    app.clock->runUntilIdle();
    EXPECT_EQ(posts.count.load(), 2);
}

// A first start on a folder where another device stored a session, and a session stored there while
// running: both arrive within moments, long before the scheduled merge.
TEST(CloudSync, AnotherDevicesSessionsArriveWithoutWaitingForTheScheduledMerge) {
    SyncedApp app;
    app.writeOtherDevicesSession("BEFORE-START", 5000);
    auto sync = CloudSyncManager::shared();
    quorvel::testing::DownloadNotices notices;
    sync->synchronize();
    EXPECT_TRUE(app.sessionsArrive(notices, {"BEFORE-START"}));
    EXPECT_EQ(app.sessionIdentifiers(), std::vector<std::string>{"BEFORE-START"});

    app.writeOtherDevicesSession("WHILE-RUNNING", 6000);
    EXPECT_TRUE(app.sessionsArrive(notices, {"WHILE-RUNNING", "BEFORE-START"}));
    EXPECT_EQ(app.sessionIdentifiers(), (std::vector<std::string>{"WHILE-RUNNING", "BEFORE-START"}));
    EXPECT_LT(app.clock->now() - platform::VirtualClock::kDefaultStart, CloudSyncManager::kMergeInterval);
}

TEST(CloudSync, ItsOwnStoredSessionsStartNoSyncThroughTheFolder) {
    SyncedApp app;
    quorvel::testing::DownloadNotices notices;
    auto sync = CloudSyncManager::shared();
    sync->synchronize();
    app.clock->runUntilIdle();
    notices.settle(*app.clock);
    CloudContentPosts posts;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(
            CoreDataManager::shared()->insertSession(25, SessionType::focus, platform::NSDate::now()));
        app.clock->runUntilIdle();
        notices.settle(*app.clock);
    }
    EXPECT_EQ(notices.downloads, 0);
    EXPECT_EQ(posts.count.load(), 3);  // one merge for each save
}
