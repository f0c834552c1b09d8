#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/coredata/ns_managed_object_context.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/ensembles/cde_icloud_file_system.h"
#include "platform/ensembles/cde_persistent_store_ensemble_delegate.h"
#include "platform/ensembles/change_file.h"
#include "platform/ensembles/ensemble_state.h"
#include "platform/ensembles/outgoing_changes.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_error.h"

namespace platform {

// Keeps one store file in step with the same store on other devices through the cloud folder.
// Leeching registers this device; a merge then exports the records this device changed since the
// last merge as change files, and imports the change files not yet taken in, record by record by
// global identifier: an unknown record is inserted, a known one takes the newer version. What changed
// is read from the store's change log, which the store writes with every save, so a merge costs what
// changed, not what the store holds; the first merge over a store (or one after the bookkeeping was
// lost) looks at every record once. Change files hold a bounded number of records each. A change
// file that cannot be read is skipped with a console line and tried again at the next merge. When
// the store file is replaced (a damaged one set aside), every change file is taken in again. When
// the folder lacks change files this device wrote or took in (it was wiped, or another folder was
// chosen), the merge exports every record, so a device joining that folder gets them all.
// The work runs on the ensemble's own queue, and completions are called there. The ensemble is the
// one reader of the store's change log: it drops the entries it has exported.
class CDEPersistentStoreEnsemble : public std::enable_shared_from_this<CDEPersistentStoreEnsemble> {
public:
    // Called with no error on success.
    using Completion = std::function<void(std::shared_ptr<NSError>)>;

    static std::shared_ptr<CDEPersistentStoreEnsemble> initWithEnsembleIdentifier(
        const std::string& ensembleIdentifier, const std::filesystem::path& persistentStoreURL,
        const std::filesystem::path& managedObjectModelURL,
        std::shared_ptr<CDEICloudFileSystem> cloudFileSystem);
    ~CDEPersistentStoreEnsemble();

    void setDelegate(std::weak_ptr<CDEPersistentStoreEnsembleDelegate> delegate);
    const std::string& ensembleIdentifier() const { return identifier_; }

    bool isLeeched() const { return leeched_; }
    bool isMerging() const { return merging_; }

    // Each calls its completion exactly once.
    void leechPersistentStoreWithCompletion(Completion completion);
    void mergeWithCompletion(Completion completion);
    // Exports what this device saved since the last merge, without importing.
    void processPendingChangesWithCompletion(Completion completion);

private:
    CDEPersistentStoreEnsemble(std::string identifier, std::filesystem::path storeURL,
                               std::filesystem::path modelURL,
                               std::shared_ptr<CDEICloudFileSystem> fileSystem);
    void observeSaves();
    void startOnQueue(std::function<void()> work);
    std::shared_ptr<NSError> openState();
    std::shared_ptr<NSError> prepare();
    std::shared_ptr<NSError> leech();
    std::shared_ptr<NSError> merge(bool importing);
    std::shared_ptr<CDEPersistentStoreEnsembleDelegate> currentDelegate();

    // One merge's working state, handed from step to step.
    struct MergeRound;
    // A change file not taken in yet.
    struct IncomingFile {
        std::string key;  // "<device>/<file name>"
        ChangeFile file;
    };
    // A record one incoming file changes: its object and new version.
    struct ImportedRecord {
        std::shared_ptr<NSManagedObject> object;
        RecordRevision revision;
    };
    using ImportedRecords = std::map<std::string, ImportedRecord>;
    // How an export looks at the store: what its log names since the last export; every record, as the
    // bookkeeping has never followed the log (sending those that differ from what it knows); every record,
    // as the folder lost files; or every record, as the bookkeeping follows another copy of the log.
    enum class ExportPass { Changed, First, Baseline, Full };
    // The steps of a merge, in order; exchangeChanges and the steps it calls run on the context's queue.
    std::shared_ptr<NSError> exchangeChanges(MergeRound& round, bool importing);
    std::shared_ptr<NSError> exportLocalChanges(MergeRound& round);
    std::shared_ptr<NSError> exportEveryRecord(MergeRound& round, OutgoingChanges& outgoing, ExportPass pass);
    std::shared_ptr<NSError> exportChangedRecords(MergeRound& round, OutgoingChanges& outgoing,
                                                  std::int64_t cursor);
    std::shared_ptr<NSError> exportRows(MergeRound& round, OutgoingChanges& outgoing,
                                        std::vector<SQLiteStore::Change>& rows, ExportPass pass,
                                        const std::vector<std::int64_t>* saved);
    static RecordRevision newRevision(const MergeRound& round, std::uint64_t hash,
                                      const std::optional<KnownRecord>& known);
    std::optional<std::set<std::string>> listChangeFiles(const MergeRound& round,
                                                         std::shared_ptr<NSError>* error) const;
    void noteAbsentFiles(MergeRound& round, const std::set<std::string>& present) const;
    static std::vector<std::string> newChangeFiles(const MergeRound& round, const std::set<std::string>& present);
    std::optional<ChangeFile> readChangeFile(const std::string& key) const;
    std::shared_ptr<NSError> importChangeFile(MergeRound& round, const IncomingFile& incoming);
    void importChange(MergeRound& round, ImportedRecords& imported, const RecordChange& change,
                      const std::string& record, const std::optional<KnownRecord>& known);
    std::shared_ptr<NSManagedObject> localObject(const MergeRound& round, const RecordChange& change,
                                                 const std::optional<KnownRecord>& known);
    bool namesItsOwnRecord(const MergeRound& round, const RecordChange& change,
                           const NSManagedObject* current);
    std::shared_ptr<NSError> recordMerge(const MergeRound& round);
    void announceMergeSave(const MergeRound& round);
    std::string changesFolder() const { return identifier_ + "/changes"; }

    const std::string identifier_;
    const std::filesystem::path storeURL_;
    const std::filesystem::path modelURL_;
    const std::shared_ptr<CDEICloudFileSystem> fileSystem_;
    const std::shared_ptr<DispatchQueue> queue_;
    std::atomic<bool> leeched_{false};
    std::atomic<bool> merging_{false};
    std::atomic<bool> leeching_{false};

    Mutex delegateMutex_;
    std::weak_ptr<CDEPersistentStoreEnsembleDelegate> delegate_ GUARDED_BY(delegateMutex_);

    // Used on the queue only.
    std::unique_ptr<EnsembleState> state_;
    std::shared_ptr<NSManagedObjectContext> context_;
    std::atomic<const void*> ownContext_{nullptr};
    std::optional<NSNotification> lastOwnSave_;
    // The change files skipped so far, each told once: one another program left may stay for good.
    mutable std::set<std::string> toldSkipped_;
    // The change files refused, as they were then: read again only once changed.
    mutable std::map<std::string, std::optional<CDEICloudFileSystem::FileStamp>> refusedFiles_;
};

}  // namespace platform
