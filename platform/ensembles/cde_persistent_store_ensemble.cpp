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

struct IncomingFile {
    std::string key;  // "<device>/<file name>"
    ChangeFile file;
};

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
    // Nothing runs on the queue yet, so the state may be read here.
    if (!ensemble->prepare() && ensemble->state_->isLeeched()) {
        ensemble->leeched_ = true;
        ensemble->fileSystem_->startMonitoringDownloads();
    }
    ensemble->observeSaves();
    return ensemble;
}

CDEPersistentStoreEnsemble::~CDEPersistentStoreEnsemble() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

void CDEPersistentStoreEnsemble::setDelegate(std::weak_ptr<CDEPersistentStoreEnsembleDelegate> delegate) {
    std::lock_guard lock(delegateMutex_);
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

// Opens the bookkeeping and a context of our own over the store, once.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::prepare() {
    if (!state_) {
        const auto file = storeURL_.parent_path() /
                          (std::string(".") + storeURL_.filename().string() + ".ensembles") / identifier_ /
                          "state.sqlite";
        std::shared_ptr<NSError> failure;
        state_ = EnsembleState::open(file, &failure);
        if (!state_) return failure;
    }
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
    std::shared_ptr<NSError> failure;
    if (!fileSystem_->createDirectoryAtPath(changesFolder() + "/" + device, &failure) ||
        !fileSystem_->createDirectoryAtPath(identifier_ + "/devices", &failure) ||
        !fileSystem_->writeFileAtPath(identifier_ + "/devices/" + device + ".plist",
                                      PropertyList::serialize(Value::Dictionary{
                                          {"device", device}, {"leeched", NSDate(Clock::shared().now())}}),
                                      &failure) ||
        !state_->setLeeched(true, &failure))
        return failure;
    leeched_ = true;
    fileSystem_->startMonitoringDownloads();
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

std::shared_ptr<NSError> CDEPersistentStoreEnsemble::merge(bool importing) {
    if (!leeched_) return error(204, "the store is not leeched");
    if (auto failure = prepare()) return failure;
    std::shared_ptr<CDEPersistentStoreEnsembleDelegate> delegate;
    {
        std::lock_guard lock(delegateMutex_);
        delegate = delegate_.lock();
    }
    const double now = Clock::shared().now();
    const std::string device = state_->deviceIdentifier();
    const auto model = context_->persistentStoreCoordinator()->managedObjectModel();
    std::shared_ptr<NSError> failure;
    std::map<std::string, RecordRevision> changed;
    std::vector<std::string> importedKeys;
    bool saved = false;
    lastOwnSave_.reset();

    context_->performBlockAndWait([&] {
        auto revisions = state_->revisions();
        std::map<std::string, std::shared_ptr<NSManagedObject>> objects;

        // Export: every record whose values differ from the version last exported or imported.
        std::vector<RecordChange> outgoing;
        for (const auto& entity : model->entities()) {
            std::shared_ptr<NSError> fetchFailure;
            auto fetched = context_->executeFetchRequest(
                NSFetchRequest::fetchRequestWithEntityName(entity->name()), &fetchFailure);
            if (!fetched) {
                failure = fetchFailure;
                return;
            }
            std::vector<std::string> identifiers;
            if (delegate) {
                identifiers =
                    delegate->persistentStoreEnsembleGlobalIdentifiersForManagedObjects(*this, *fetched);
            }
            if (identifiers.size() != fetched->size()) {
                failure = error(205, "no global identifier for every " + entity->name());
                return;
            }
            for (std::size_t i = 0; i < fetched->size(); ++i) {
                if (identifiers[i].empty()) continue;
                const auto key = entity->name() + "/" + identifiers[i];
                const auto& object = (*fetched)[i];
                objects[key] = object;
                const auto hash = hashOfValues(object->values());
                const auto known = revisions.find(key);
                if (known != revisions.end() && known->second.hash == hash) continue;
                RecordRevision revision{hash, now, device};
                changed[key] = revision;
                outgoing.push_back(RecordChange{entity->name(), identifiers[i], revision, object->values()});
            }
        }
        if (!outgoing.empty()) {
            ChangeFile file{device, now, std::move(outgoing)};
            std::shared_ptr<NSError> writeFailure;
            const auto name = changeFileName(now);
            if (!fileSystem_->createDirectoryAtPath(changesFolder() + "/" + device, &writeFailure) ||
                !fileSystem_->writeFileAtPath(changesFolder() + "/" + device + "/" + name, file.serialize(),
                                              &writeFailure)) {
                failure = writeFailure;
                return;
            }
            importedKeys.push_back(device + "/" + name);  // ours: nothing to take in
        }
        if (!importing) return;

        // Import: files not taken in yet, oldest first; an unreadable one waits.
        std::vector<IncomingFile> incoming;
        auto imported = state_->importedFiles();
        imported.insert(importedKeys.begin(), importedKeys.end());  // the file just exported
        std::shared_ptr<NSError> listFailure;
        const auto devices = fileSystem_->contentsOfDirectoryAtPath(changesFolder(), &listFailure);
        if (!devices) {
            failure = listFailure;
            return;
        }
        // This device's own folder too: after its store was replaced, its old files hold records the
        // new store lacks.
        for (const auto& other : *devices) {
            const auto names = fileSystem_->contentsOfDirectoryAtPath(changesFolder() + "/" + other, nullptr);
            for (const auto& name : names.value_or(std::vector<std::string>{})) {
                const auto key = other + "/" + name;
                if (imported.count(key)) continue;
                std::string reason = "unreadable";
                const auto contents = fileSystem_->readFileAtPath(changesFolder() + "/" + key, nullptr);
                auto file = contents ? ChangeFile::parse(*contents, &reason) : std::nullopt;
                if (file && file->device != other) {
                    file.reset();
                    reason = "written by another device";
                }
                if (!file) {
                    Console::print("Skipped change file " + key + " (" + reason +
                                   "); trying it again at the next merge");
                    continue;
                }
                incoming.push_back(IncomingFile{key, std::move(*file)});
            }
        }
        std::sort(incoming.begin(), incoming.end(), [](const IncomingFile& a, const IncomingFile& b) {
            if (a.file.time != b.file.time) return a.file.time < b.file.time;
            return a.key < b.key;
        });
        for (const auto& [key, file] : incoming) {
            for (const auto& change : file.changes) {
                const auto entity = model->entityNamed(change.entity);
                if (!entity) continue;
                const auto record = change.entity + "/" + change.globalIdentifier;
                // This merge's own version of the record first, else the one kept from before.
                const RecordRevision* mine = nullptr;
                if (const auto found = changed.find(record); found != changed.end()) {
                    mine = &found->second;
                } else if (const auto kept = revisions.find(record); kept != revisions.end()) {
                    mine = &kept->second;
                }
                if (mine && !change.revision.isNewerThan(*mine)) continue;
                auto& object = objects[record];
                if (!object) object = context_->insertNewObjectForEntityForName(change.entity);
                if (!object) continue;
                for (const auto& [name, value] : change.values) {
                    if (entity->attributeNamed(name) && object->valueForKey(name) != value)
                        object->setValueForKey(value, name);
                }
                changed[record] = RecordRevision{hashOfValues(object->values()), change.revision.time,
                                                 change.revision.device};
            }
            importedKeys.push_back(key);
        }
        if (context_->hasChanges()) {
            std::shared_ptr<NSError> saveFailure;
            if (!context_->save(&saveFailure)) {
                failure = saveFailure;
                return;
            }
            saved = true;
        }
    });
    if (failure) {
        context_.reset();  // forget half-applied changes; the next merge starts from the store
        ownContext_ = nullptr;
        return failure;
    }
    std::shared_ptr<NSError> commitFailure;
    if (!state_->commit(changed, importedKeys, &commitFailure)) return commitFailure;
    if (saved && delegate && lastOwnSave_) {
        delegate->persistentStoreEnsembleDidSaveMergeChangesWithNotification(*this, *lastOwnSave_);
    }
    return nullptr;
}

}  // namespace platform
