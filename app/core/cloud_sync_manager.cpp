#include "app/core/cloud_sync_manager.h"

#include "app/core/app_notification_names.h"
#include "app/core/core_data_manager.h"
#include "app/core/p_file_manager.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/ensembles/cde_notifications.h"
#include "platform/foundation/console.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_thread.h"
#include "platform/uikit/application/ui_application.h"

namespace quorvel {

namespace {

// Never destroyed: the ensemble's queue and the download monitor may still call in while the process
// exits.
struct SharedManager {
    platform::Mutex mutex;
    std::shared_ptr<CloudSyncManager> manager GUARDED_BY(mutex);
};

SharedManager& sharedManager() {
    static auto* slot = new SharedManager;
    return *slot;
}

}  // namespace

std::shared_ptr<CloudSyncManager> CloudSyncManager::shared() {
    auto& slot = sharedManager();
    platform::MutexLock lock(slot.mutex);
    if (!slot.manager) {
        std::shared_ptr<CloudSyncManager> manager(new CloudSyncManager());
        manager->setupEnsemble();
        auto& center = platform::NSNotificationCenter::defaultCenter();
        center.addObserver(manager, &CloudSyncManager::localSaveOccurred,
                           platform::CDEMonitoredManagedObjectContextDidSaveNotification);
        center.addObserver(manager, &CloudSyncManager::cloudDataDidDownload,
                           platform::CDEICloudFileSystemDidDownloadFilesNotification);
        center.addObserver(manager, &CloudSyncManager::cloudDataDidDownloadProgress,
                           platform::CDEICloudFileSystemDidMakeDownloadProgressNotification);
        slot.manager = std::move(manager);
    }
    return slot.manager;
}

void CloudSyncManager::resetSharedForTesting() {
    std::shared_ptr<CloudSyncManager> forgotten;
    {
        auto& slot = sharedManager();
        platform::MutexLock lock(slot.mutex);
        forgotten = std::move(slot.manager);
    }
    // Released outside the lock: its end stops its timer and its observers.
}

CloudSyncManager::~CloudSyncManager() {
    platform::NSNotificationCenter::defaultCenter().removeObserver(this);
    if (mergeTimer_) mergeTimer_->invalidate();
}

void CloudSyncManager::setupEnsemble() {
    auto files = PFileManager::shared();
    const auto modelURL = files->modelURL();
    if (!modelURL) return;
    const auto directory = files->storeDirectoryURL();
    if (!directory) return;
    cloudFileSystem_ = std::make_shared<platform::CDEICloudFileSystem>(std::nullopt);
    ensemble_ = platform::CDEPersistentStoreEnsemble::initWithEnsembleIdentifier(
        kEnsembleIdentifier, *directory / "store.sqlite", *modelURL, cloudFileSystem_);
    ensemble_->setDelegate(weak_from_this());
    if (mergeTimer_) mergeTimer_->invalidate();
    mergeTimer_ = platform::NSTimer::scheduledTimerWithTimeInterval(
        kMergeInterval, true, [weak = weak_from_this()](platform::NSTimer& timer) {
            if (auto self = weak.lock()) self->performScheduledMerge(timer);
        });
}

void CloudSyncManager::synchronize(std::function<void()> completion) {
    if (!ensemble_ || ensemble_->isMerging()) return;
    if (!platform::NSThread::isMainThread()) {
        platform::DispatchQueue::main()->async(
            [self = shared_from_this(), completion = std::move(completion)]() mutable {
                self->leechOrMerge(std::move(completion));
            });
        return;
    }
    leechOrMerge(std::move(completion));
}

void CloudSyncManager::leechOrMerge(std::function<void()> completion) {
    // A merge may have started while this request waited for the main thread.
    if (!ensemble_ || ensemble_->isMerging()) return;
    const bool leeched = ensemble_->isLeeched();
    const std::string label = leeched ? "Error in merge: " : "Error in leech: ";
    auto finished = [label, completion = std::move(completion),
                     weak = weak_from_this()](std::shared_ptr<platform::NSError> error) {
        // The ensemble calls back on its own queue; observers of the post update the screen.
        platform::DispatchQueue::main()->async([label, completion, error, weak] {
            if (error)
                platform::Console::print(label + " " + error->domain() + " " + std::to_string(error->code()) +
                                         ": " + error->localizedDescription());
            platform::NSNotificationCenter::defaultCenter().postNotificationName(
                NotificationName::didChangeCloudContent());
            if (completion) completion();
            if (auto self = weak.lock(); self && self->changedWhileMerging_) {
                self->changedWhileMerging_ = false;
                self->synchronize();
            }
        });
    };
    if (leeched) {
        ensemble_->mergeWithCompletion(std::move(finished));
    } else {
        ensemble_->leechPersistentStoreWithCompletion(std::move(finished));
    }
}

void CloudSyncManager::performScheduledMerge(platform::NSTimer&) {
    platform::Console::print("!!!! data do merging.......................");
    synchronize();
}

// A save during a merge comes after the entries that merge exports: one more merge follows it.
void CloudSyncManager::localSaveOccurred(const platform::NSNotification&) {
    if (platform::NSThread::isMainThread()) return synchronizeOnceMergeEnds();
    platform::DispatchQueue::main()->async([weak = weak_from_this()] {
        if (auto self = weak.lock()) self->synchronizeOnceMergeEnds();
    });
}

void CloudSyncManager::synchronizeOnceMergeEnds() {
    if (ensemble_ && ensemble_->isMerging()) {
        changedWhileMerging_ = true;
        return;
    }
    synchronize();
}

void CloudSyncManager::cloudDataDidDownload(const platform::NSNotification&) {
    platform::Console::print("!!!! Cloud data did download.......................");
    platform::UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(false);
    // The running merge may have listed the folder before these files were whole: one more follows it.
    synchronizeOnceMergeEnds();
}

void CloudSyncManager::cloudDataDidDownloadProgress(const platform::NSNotification&) {
    platform::Console::print("!!!! Cloud data download progress .......................");
    platform::UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(true);
}

void CloudSyncManager::persistentStoreEnsembleDidSaveMergeChangesWithNotification(
    platform::CDEPersistentStoreEnsemble&, const platform::NSNotification& notification) {
    auto context = CoreDataManager::context();
    if (!context) return;
    context->performBlockAndWait([&] { context->mergeChangesFromContextDidSaveNotification(notification); });
}

std::vector<std::string> CloudSyncManager::persistentStoreEnsembleGlobalIdentifiersForManagedObjects(
    platform::CDEPersistentStoreEnsemble&,
    const std::vector<std::shared_ptr<platform::NSManagedObject>>& objects) {
    std::vector<std::string> identifiers;
    identifiers.reserve(objects.size());
    for (const auto& object : objects) {
        const auto value = object->valueForKeyPath("uniqueIdentifier");
        identifiers.push_back(value.stringValue() ? *value.stringValue() : std::string());
    }
    return identifiers;
}

}  // namespace quorvel
