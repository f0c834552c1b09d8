#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ensembles/cde_icloud_file_system.h"
#include "platform/ensembles/cde_persistent_store_ensemble.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/foundation/ns_timer.h"

namespace quorvel {

// Keeps the session store merged with the user's other devices: after every local save, after
// files arrive in the cloud folder and every 120 seconds; files that arrive during a merge get a merge
// of their own right after it. The activity indicator shows while files are arriving. Each finished
// attempt posts "didChangeCloudContent" on the main thread. Without a model or store directory sync is off.
class CloudSyncManager : public platform::CDEPersistentStoreEnsembleDelegate,
                         public std::enable_shared_from_this<CloudSyncManager> {
public:
    static constexpr const char* kEnsembleIdentifier = "PomodoroStore";
    static constexpr double kMergeInterval = 120.0;

    static std::shared_ptr<CloudSyncManager> shared();
    // Tests: forgets the manager, so the next one syncs the store of the data root then in use.
    static void resetSharedForTesting();
    ~CloudSyncManager() override;

    const std::shared_ptr<platform::CDEPersistentStoreEnsemble>& ensemble() const { return ensemble_; }
    const std::shared_ptr<platform::CDEICloudFileSystem>& cloudFileSystem() const { return cloudFileSystem_; }
    const std::shared_ptr<platform::NSTimer>& mergeTimer() const { return mergeTimer_; }

    // Leeches the first time, merges afterwards. Dropped, without calling the completion, when sync
    // is off or a merge is running. From any thread; the work starts on the main thread.
    void synchronize(std::function<void()> completion = nullptr);

    void performScheduledMerge(platform::NSTimer& timer);
    void localSaveOccurred(const platform::NSNotification& notification);
    void cloudDataDidDownload(const platform::NSNotification& notification);
    void cloudDataDidDownloadProgress(const platform::NSNotification& notification);

    void persistentStoreEnsembleDidSaveMergeChangesWithNotification(
        platform::CDEPersistentStoreEnsemble& ensemble,
        const platform::NSNotification& notification) override;
    std::vector<std::string> persistentStoreEnsembleGlobalIdentifiersForManagedObjects(
        platform::CDEPersistentStoreEnsemble& ensemble,
        const std::vector<std::shared_ptr<platform::NSManagedObject>>& objects) override;

private:
    CloudSyncManager() = default;
    void setupEnsemble();
    void leechOrMerge(std::function<void()> completion);
    // On the main thread: now, or right after the merge that runs.
    void synchronizeOnceMergeEnds();

    std::shared_ptr<platform::CDEPersistentStoreEnsemble> ensemble_;
    std::shared_ptr<platform::CDEICloudFileSystem> cloudFileSystem_;
    std::shared_ptr<platform::NSTimer> mergeTimer_;
    // Files arrived or a local save came while a merge ran; read on the main thread only.
    bool changedWhileMerging_ = false;
};

}  // namespace quorvel
