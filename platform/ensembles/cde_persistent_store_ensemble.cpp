#include "platform/ensembles/cde_persistent_store_ensemble.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/coredata/ns_managed_object_model.h"
#include "platform/ensembles/cde_notifications.h"
#include "platform/ensembles/change_file.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_uuid.h"
#include "platform/foundation/property_list.h"

namespace platform {

namespace {

constexpr const char* kDomain = "CDEErrorDomain";

std::shared_ptr<NSError> error(std::int64_t code, const std::string& reason) {
    return NSError::errorWithDomain(kDomain, code, {{NSLocalizedDescriptionKey, reason}});
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    const bool equivalent = std::filesystem::equivalent(a, b, ec);
    return ec ? a.lexically_normal() == b.lexically_normal() : equivalent;
}

// Sorts by time, so a file written later is applied later.
std::string changeFileName(double time) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%015lld", static_cast<long long>(std::max(0.0, time) * 1000));
    return std::string(stamp) + "-" + NSUUID().UUIDString() + ".plist";
}

}  // namespace

CDEPersistentStoreEnsemble::CDEPersistentStoreEnsemble(std::string identifier, std::filesystem::path storeURL,
                                                       std::filesystem::path modelURL,
                                                       std::shared_ptr<CDEICloudFileSystem> fileSystem)
    : identifier_(std::move(identifier)),
      storeURL_(std::move(storeURL)),
      modelURL_(std::move(modelURL)),
      fileSystem_(std::move(fileSystem)),
      queue_(DispatchQueue::createSerial("CDEPersistentStoreEnsemble." + identifier_)) {}

std::shared_ptr<CDEPersistentStoreEnsemble> CDEPersistentStoreEnsemble::initWithEnsembleIdentifier(
    const std::string& ensembleIdentifier, const std::filesystem::path& persistentStoreURL,
    const std::filesystem::path& managedObjectModelURL,
    std::shared_ptr<CDEICloudFileSystem> cloudFileSystem) {
    std::shared_ptr<CDEPersistentStoreEnsemble> ensemble(new CDEPersistentStoreEnsemble(
        ensembleIdentifier, persistentStoreURL, managedObjectModelURL, std::move(cloudFileSystem)));
    // Nothing runs on the queue yet, so the state may be read here. The store itself is opened on the
    // queue when the first leech or merge needs it, never on the caller's thread.
    if (!ensemble->openState() && ensemble->state_->isLeeched()) {
        ensemble->leeched_ = true;
        // The first merge takes in what is there already; only what comes later needs announcing.
        ensemble->fileSystem_->startMonitoringDownloads(CDEICloudFileSystem::ExistingFiles::AlreadyTaken);
    }
    ensemble->observeSaves();
    return ensemble;
}

CDEPersistentStoreEnsemble::~CDEPersistentStoreEnsemble() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

void CDEPersistentStoreEnsemble::setDelegate(std::weak_ptr<CDEPersistentStoreEnsembleDelegate> delegate) {
    MutexLock lock(delegateMutex_);
    delegate_ = std::move(delegate);
}

void CDEPersistentStoreEnsemble::observeSaves() {
    NSNotificationCenter::defaultCenter().addObserver(
        this, NSManagedObjectContextDidSaveNotification,
        [weak = weak_from_this()](const NSNotification& note) {
            auto self = weak.lock();
            const auto* saved = note.objectAs<NSManagedObjectContextDidSave>();
            if (!self || !saved) return;
            if (saved->context == self->ownContext_.load()) {
                self->lastOwnSave_ = note;  // posted on the ensemble's own queue
            } else if (!saved->storeURL.empty() && sameFile(saved->storeURL, self->storeURL_)) {
                NSNotificationCenter::defaultCenter().postNotificationName(
                    CDEMonitoredManagedObjectContextDidSaveNotification);
            }
        });
}

// Opens the bookkeeping, once.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::openState() {
    if (state_) return nullptr;
    const auto file = storeURL_.parent_path() /
                      (std::string(".") + storeURL_.filename().string() + ".ensembles") / identifier_ /
                      "state.sqlite";
    std::shared_ptr<NSError> failure;
    state_ = EnsembleState::open(file, &failure);
    return state_ ? nullptr : failure;
}

// Opens the bookkeeping and a context of our own over the store, once.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::prepare() {
    if (auto failure = openState()) return failure;
    if (!context_) {
        std::string reason;
        auto model = NSManagedObjectModel::initWithContentsOfURL(modelURL_, &reason);
        if (!model) return error(201, "cannot load the model: " + reason);
        auto coordinator = std::make_shared<NSPersistentStoreCoordinator>(model);
        std::shared_ptr<NSError> failure;
        if (!coordinator->addPersistentStoreWithType(NSSQLiteStoreType, std::nullopt, storeURL_,
                                                     {{NSMigratePersistentStoresAutomaticallyOption, true},
                                                      {NSInferMappingModelAutomaticallyOption, true}},
                                                     &failure))
            return failure;
        context_ = NSManagedObjectContext::initWithConcurrencyType(
            NSManagedObjectContextConcurrencyType::PrivateQueue);
        context_->setPersistentStoreCoordinator(coordinator);
        context_->setMergePolicy(NSMergePolicy::MergeByPropertyObjectTrump);
        if (!state_->adoptStore(coordinator->storeIdentifier(), &failure)) {
            context_.reset();
            return failure;
        }
        ownContext_ = context_.get();
    }
    return nullptr;
}

void CDEPersistentStoreEnsemble::leechPersistentStoreWithCompletion(Completion completion) {
    if (leeched_ || leeching_.exchange(true)) {
        queue_->async([completion = std::move(completion)] {
            if (completion) completion(error(202, "the store is leeched already"));
        });
        return;
    }
    queue_->async([self = shared_from_this(), completion = std::move(completion)] {
        auto failure = self->leech();
        self->leeching_ = false;
        if (completion) completion(failure);
    });
}

std::shared_ptr<NSError> CDEPersistentStoreEnsemble::leech() {
    if (auto failure = prepare()) return failure;
    const auto& device = state_->deviceIdentifier();
    std::string problem;
    const auto record = PropertyList::serializeBinary(
        Value::Dictionary{{"device", device}, {"leeched", NSDate(Clock::shared().now())}}, &problem);
    if (!record) return error(206, "cannot write the device record: " + problem);
    std::shared_ptr<NSError> failure;
    if (!fileSystem_->createDirectoryAtPath(changesFolder() + "/" + device, &failure) ||
        !fileSystem_->createDirectoryAtPath(identifier_ + "/devices", &failure) ||
        !fileSystem_->writeFileAtPath(identifier_ + "/devices/" + device + ".plist", *record, &failure) ||
        !state_->setLeeched(true, &failure))
        return failure;
    leeched_ = true;
    // A leech takes nothing in: other devices' changes already in the folder are announced, so a merge
    // brings them at once rather than at the next scheduled one.
    fileSystem_->startMonitoringDownloads(CDEICloudFileSystem::ExistingFiles::Announce);
    return nullptr;
}

void CDEPersistentStoreEnsemble::mergeWithCompletion(Completion completion) {
    if (merging_.exchange(true)) {
        queue_->async([completion = std::move(completion)] {
            if (completion) completion(error(203, "a merge is running already"));
        });
        return;
    }
    queue_->async([self = shared_from_this(), completion = std::move(completion)] {
        auto failure = self->merge(true);
        self->merging_ = false;
        if (completion) completion(failure);
    });
}

void CDEPersistentStoreEnsemble::processPendingChangesWithCompletion(Completion completion) {
    queue_->async([self = shared_from_this(), completion = std::move(completion)] {
        auto failure = self->leeched_ ? self->merge(false) : nullptr;
        if (completion) completion(failure);
    });
}

// What one merge works with and what it has done so far, handed from step to step.
struct CDEPersistentStoreEnsemble::MergeRound {
    std::shared_ptr<CDEPersistentStoreEnsembleDelegate> delegate;
    double now = 0;
    std::string device;
    std::shared_ptr<const NSManagedObjectModel> model;
    // Each record's version as kept from earlier merges, and the context's object for it.
    std::map<std::string, RecordRevision> revisions;
    std::map<std::string, std::shared_ptr<NSManagedObject>> objects;
    // The change files exported or taken in by earlier merges.
    std::set<std::string> importedBefore;
    // The records this merge exported or imported, with their new versions, and the files it took in.
    std::map<std::string, RecordRevision> changed;
    std::vector<std::string> importedKeys;
    // Files exported or taken in before that the folder no longer holds; any makes this merge a
    // baseline of every record, after which they are forgotten.
    std::vector<std::string> absentFiles;
    bool saved = false;
};

std::shared_ptr<NSError> CDEPersistentStoreEnsemble::merge(bool importing) {
    if (!leeched_) return error(204, "the store is not leeched");
    if (auto failure = prepare()) return failure;
    MergeRound round;
    round.delegate = currentDelegate();
    round.now = Clock::shared().now();
    round.device = state_->deviceIdentifier();
    round.model = context_->persistentStoreCoordinator()->managedObjectModel();
    lastOwnSave_.reset();

    std::shared_ptr<NSError> failure;
    context_->performBlockAndWait([&] { failure = exchangeChanges(round, importing); });
    if (failure) {
        context_.reset();  // forget half-applied changes; the next merge starts from the store
        ownContext_ = nullptr;
        return failure;
    }
    failure = recordMerge(round);
    if (failure) return failure;
    announceMergeSave(round);
    return nullptr;
}

std::shared_ptr<CDEPersistentStoreEnsembleDelegate> CDEPersistentStoreEnsemble::currentDelegate() {
    MutexLock lock(delegateMutex_);
    return delegate_.lock();
}

// Runs on the context's queue.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::exchangeChanges(MergeRound& round, bool importing) {
    round.revisions = state_->revisions();
    round.importedBefore = state_->importedFiles();
    std::shared_ptr<NSError> failure;
    const auto present = listChangeFiles(round, &failure);
    if (!present) return failure;
    noteAbsentFiles(round, *present);
    if ((failure = exportLocalChanges(round))) return failure;
    if (!importing) return nullptr;
    for (const auto& file : readNewChangeFiles(round, *present)) importChangeFile(round, file);
    return saveImportedChanges(round);
}

// Every record whose values differ from the version last exported or imported goes into one new
// change file in this device's folder; for a baseline, every record does.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::exportLocalChanges(MergeRound& round) {
    const bool baseline = !round.absentFiles.empty();
    std::vector<RecordChange> outgoing;
    for (const auto& entity : round.model->entities()) {
        std::shared_ptr<NSError> fetchFailure;
        auto fetched = context_->executeFetchRequest(
            NSFetchRequest::fetchRequestWithEntityName(entity->name()), &fetchFailure);
        if (!fetched) return fetchFailure;
        std::vector<std::string> identifiers;
        if (round.delegate) {
            identifiers =
                round.delegate->persistentStoreEnsembleGlobalIdentifiersForManagedObjects(*this, *fetched);
        }
        if (identifiers.size() != fetched->size()) {
            return error(205, "no global identifier for every " + entity->name());
        }
        for (std::size_t i = 0; i < fetched->size(); ++i) {
            if (identifiers[i].empty()) continue;
            const auto key = entity->name() + "/" + identifiers[i];
            const auto& object = (*fetched)[i];
            round.objects[key] = object;
            const auto hash = hashOfValues(object->values());
            const auto known = round.revisions.find(key);
            if (known != round.revisions.end() && known->second.hash == hash) {
                // Sent as the version already known, so no device takes it for a newer one.
                if (baseline)
                    outgoing.push_back(
                        RecordChange{entity->name(), identifiers[i], known->second, object->values()});
                continue;
            }
            RecordRevision revision{hash, round.now, round.device};
            round.changed[key] = revision;
            outgoing.push_back(RecordChange{entity->name(), identifiers[i], revision, object->values()});
        }
    }
    if (outgoing.empty()) return nullptr;
    return writeChangeFile(round, std::move(outgoing));
}

std::shared_ptr<NSError> CDEPersistentStoreEnsemble::writeChangeFile(MergeRound& round,
                                                                     std::vector<RecordChange> changes) {
    ChangeFile file{round.device, round.now, std::move(changes)};
    std::string problem;
    const auto contents = file.serialize(&problem);
    if (!contents) return error(206, "cannot write the changes: " + problem);
    std::shared_ptr<NSError> writeFailure;
    const auto folder = changesFolder() + "/" + round.device;
    const auto name = changeFileName(round.now);
    if (!fileSystem_->createDirectoryAtPath(folder, &writeFailure) ||
        !fileSystem_->writeFileAtPath(folder + "/" + name, *contents, &writeFailure)) {
        return writeFailure;
    }
    round.importedKeys.push_back(round.device + "/" + name);  // ours: nothing to take in
    return nullptr;
}

// Every change file in the folder, as "<device>/<file name>". A device's folder that cannot be listed
// this time keeps the files taken in from it: unread is not gone, and sets off no baseline.
std::optional<std::set<std::string>> CDEPersistentStoreEnsemble::listChangeFiles(
    const MergeRound& round, std::shared_ptr<NSError>* error) const {
    const auto devices = fileSystem_->contentsOfDirectoryAtPath(changesFolder(), error);
    if (!devices) return std::nullopt;
    std::set<std::string> present;
    for (const auto& device : *devices) {
        const auto names = fileSystem_->contentsOfDirectoryAtPath(changesFolder() + "/" + device, nullptr);
        if (!names) {
            for (const auto& key : round.importedBefore) {
                if (key.starts_with(device + "/")) present.insert(key);
            }
            continue;
        }
        for (const auto& name : *names) present.insert(device + "/" + name);
    }
    return present;
}

void CDEPersistentStoreEnsemble::noteAbsentFiles(MergeRound& round,
                                                 const std::set<std::string>& present) const {
    for (const auto& key : round.importedBefore) {
        if (!present.count(key)) round.absentFiles.push_back(key);
    }
}

// The files not taken in yet, oldest first; one that cannot be read waits for the next merge. This
// device's own folder counts too: after its store was replaced, its old files hold records the new
// store lacks. The file this merge exported is not among them: the folder was listed before.
std::vector<CDEPersistentStoreEnsemble::IncomingFile> CDEPersistentStoreEnsemble::readNewChangeFiles(
    const MergeRound& round, const std::set<std::string>& present) const {
    std::vector<IncomingFile> incoming;
    for (const auto& key : present) {
        if (round.importedBefore.count(key)) continue;
        const auto device = key.substr(0, key.find('/'));
        if (auto file = readChangeFile(device, key)) incoming.push_back(IncomingFile{key, std::move(*file)});
    }
    std::sort(incoming.begin(), incoming.end(), [](const IncomingFile& a, const IncomingFile& b) {
        if (a.file.time != b.file.time) return a.file.time < b.file.time;
        return a.key < b.key;
    });
    return incoming;
}

// None, with a console line, for a file that cannot be read or that names another device.
std::optional<ChangeFile> CDEPersistentStoreEnsemble::readChangeFile(const std::string& device,
                                                                     const std::string& key) const {
    std::string reason = "unreadable";
    const auto contents = fileSystem_->readFileAtPath(changesFolder() + "/" + key, nullptr);
    auto file = contents ? ChangeFile::parse(*contents, &reason) : std::nullopt;
    if (file && file->device != device) {
        file.reset();
        reason = "written by another device";
    }
    if (!file) {
        Console::print("Skipped change file " + key + " (" + reason + "); trying it again at the next merge");
    }
    return file;
}

void CDEPersistentStoreEnsemble::importChangeFile(MergeRound& round, const IncomingFile& incoming) {
    for (const auto& change : incoming.file.changes) importChange(round, change);
    round.importedKeys.push_back(incoming.key);
}

// An unknown record is inserted; a known one takes the change only when it is the newer version.
void CDEPersistentStoreEnsemble::importChange(MergeRound& round, const RecordChange& change) {
    const auto entity = round.model->entityNamed(change.entity);
    if (!entity) return;
    const auto record = change.entity + "/" + change.globalIdentifier;
    // This merge's own version of the record first, else the one kept from before.
    const RecordRevision* mine = nullptr;
    if (const auto found = round.changed.find(record); found != round.changed.end()) {
        mine = &found->second;
    } else if (const auto kept = round.revisions.find(record); kept != round.revisions.end()) {
        mine = &kept->second;
    }
    if (mine && !change.revision.isNewerThan(*mine)) return;
    const auto found = round.objects.find(record);
    if (!namesItsOwnRecord(round, change, found == round.objects.end() ? nullptr : found->second.get())) {
        Console::print("Skipped a change of " + record + ": its values belong to another record");
        return;
    }
    auto& object = round.objects[record];
    if (!object) object = context_->insertNewObjectForEntityForName(change.entity);
    if (!object) return;
    for (const auto& [name, value] : change.values) {
        if (entity->attributeNamed(name) && object->valueForKey(name) != value)
            object->setValueForKey(value, name);
    }
    round.changed[record] =
        RecordRevision{hashOfValues(object->values()), change.revision.time, change.revision.device};
}

// The record the change's values identify, asked of the delegate on a copy that is in no context,
// must be the record the change is for; otherwise importing it would make a second copy of that other
// record here and on every device this one exports to.
bool CDEPersistentStoreEnsemble::namesItsOwnRecord(const MergeRound& round, const RecordChange& change,
                                                   const NSManagedObject* current) {
    if (!round.delegate) return true;
    const auto probe = NSManagedObjectModel::makeObject(round.model->entityNamed(change.entity));
    if (current) {
        for (const auto& [name, value] : current->values()) probe->setValueForKey(value, name);
    }
    for (const auto& [name, value] : change.values) probe->setValueForKey(value, name);
    const auto identifiers =
        round.delegate->persistentStoreEnsembleGlobalIdentifiersForManagedObjects(*this, {probe});
    return identifiers.size() == 1 && identifiers.front() == change.globalIdentifier;
}

std::shared_ptr<NSError> CDEPersistentStoreEnsemble::saveImportedChanges(MergeRound& round) {
    if (!context_->hasChanges()) return nullptr;
    std::shared_ptr<NSError> saveFailure;
    if (!context_->save(&saveFailure)) return saveFailure;
    round.saved = true;
    return nullptr;
}

// The new versions and the files taken in are committed together, so a merge counts once or not at all.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::recordMerge(const MergeRound& round) {
    std::shared_ptr<NSError> commitFailure;
    if (!state_->commit(round.changed, round.importedKeys, round.absentFiles, &commitFailure))
        return commitFailure;
    return nullptr;
}

// The delegate hears of the merge's save through the did-save notification of our own context.
void CDEPersistentStoreEnsemble::announceMergeSave(const MergeRound& round) {
    if (round.saved && round.delegate && lastOwnSave_) {
        round.delegate->persistentStoreEnsembleDidSaveMergeChangesWithNotification(*this, *lastOwnSave_);
    }
}

}  // namespace platform
