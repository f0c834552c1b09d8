#include "platform/ensembles/cde_persistent_store_ensemble.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "platform/coredata/launch_gate.h"
#include "platform/coredata/ns_managed_object_model.h"
#include "platform/ensembles/cde_notifications.h"
#include "platform/ensembles/change_file.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
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
    // Nothing runs on the queue yet, so the state may be read here: its header and tables only, which
    // takes no time whatever its size. Its every page is checked on the queue before its first use, and
    // the store itself is opened there when the first leech or merge needs it, never on the caller's
    // thread.
    if (!ensemble->openState() && ensemble->state_->isLeeched()) {
        ensemble->leeched_ = true;
        // The first merge takes in what is there already; only what comes later needs announcing.
        ensemble->fileSystem_->startMonitoringDownloads(ensemble->changesFolder(),
                                                        CDEICloudFileSystem::ExistingFiles::AlreadyTaken);
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
    state_ = EnsembleState::open(file, &failure, SQLiteFileHealth::Depth::Schema);
    return state_ ? nullptr : failure;
}

// Opens the bookkeeping and a context of our own over the store, once.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::prepare() {
    if (auto failure = openState()) return failure;
    if (std::shared_ptr<NSError> failure; !state_->checkEveryPage(&failure)) {
        state_.reset();
        return failure;
    }
    if (!context_) {
        std::string reason;
        auto model = NSManagedObjectModel::initWithContentsOfURL(modelURL_, &reason);
        if (!model) return error(201, "cannot load the model: " + reason);
        auto coordinator = std::make_shared<NSPersistentStoreCoordinator>(model);
        // What a merge takes in is known to the bookkeeping already: logged, the next merge would look
        // at all of it again.
        coordinator->setLogsSaves(false);
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

// A leech or merge checks and reads files that grow with the store: not while the launch draws its
// first frame.
void CDEPersistentStoreEnsemble::startOnQueue(std::function<void()> work) {
    LaunchGate::whenOpen([queue = queue_, work = std::move(work)] { queue->async(work); });
}

void CDEPersistentStoreEnsemble::leechPersistentStoreWithCompletion(Completion completion) {
    if (leeched_ || leeching_.exchange(true)) {
        queue_->async([completion = std::move(completion)] {
            if (completion) completion(error(202, "the store is leeched already"));
        });
        return;
    }
    startOnQueue([self = shared_from_this(), completion = std::move(completion)] {
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
        !fileSystem_->createDirectoryAtPath(identifier_ + "/devices", &failure)) {
        // Made later by the user, the folder should bring a sync at once rather than at the next merge.
        fileSystem_->startMonitoringDownloads(changesFolder(), CDEICloudFileSystem::ExistingFiles::Announce);
        return failure;
    }
    if (!fileSystem_->writeFileAtPath(identifier_ + "/devices/" + device + ".plist", *record, &failure) ||
        !state_->setLeeched(true, &failure))
        return failure;
    leeched_ = true;
    // A leech takes nothing in: other devices' changes already in the folder are announced, so a merge
    // brings them at once rather than at the next scheduled one.
    fileSystem_->startMonitoringDownloads(changesFolder(), CDEICloudFileSystem::ExistingFiles::Announce);
    return nullptr;
}

void CDEPersistentStoreEnsemble::mergeWithCompletion(Completion completion) {
    if (merging_.exchange(true)) {
        queue_->async([completion = std::move(completion)] {
            if (completion) completion(error(203, "a merge is running already"));
        });
        return;
    }
    startOnQueue([self = shared_from_this(), completion = std::move(completion)] {
        auto failure = self->merge(true);
        self->merging_ = false;
        if (completion) completion(failure);
    });
}

void CDEPersistentStoreEnsemble::processPendingChangesWithCompletion(Completion completion) {
    startOnQueue([self = shared_from_this(), completion = std::move(completion)] {
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
    std::shared_ptr<NSPersistentStoreCoordinator> coordinator;
    // The change files exported or taken in by earlier merges.
    std::set<std::string> importedBefore;
    // Files exported or taken in before that the folder no longer holds; any makes this merge a
    // baseline of every record, after which they are forgotten.
    std::vector<std::string> absentFiles;
    // The bookkeeping does not follow the store's change log (a first merge, or the store or the
    // bookkeeping was put back from a copy, or the log was dropped or edited): every record goes out and
    // every change file in the folder, this device's own included, comes in again.
    bool fullPass = false;
    // The store's change log as this merge found it; its latest entry is the last one exported.
    std::optional<ChangeLogPosition> logPosition;
};

std::shared_ptr<NSError> CDEPersistentStoreEnsemble::merge(bool importing) {
    fileSystem_->retryMonitoringDownloads();
    if (!leeched_) return error(204, "the store is not leeched");
    if (auto failure = prepare()) return failure;
    // The bookkeeping was damaged and started over: this device joins again under its new identifier.
    if (!state_->isLeeched()) {
        if (auto failure = leech()) return failure;
    }
    MergeRound round;
    round.delegate = currentDelegate();
    round.now = Clock::shared().now();
    round.device = state_->deviceIdentifier();
    round.coordinator = context_->persistentStoreCoordinator();
    round.model = round.coordinator->managedObjectModel();

    std::shared_ptr<NSError> failure;
    context_->performBlockAndWait([&] { failure = exchangeChanges(round, importing); });
    if (!failure) failure = recordMerge(round);
    state_->foldLog();
    if (failure) {
        context_.reset();  // forget half-applied changes; the next merge starts from the store
        ownContext_ = nullptr;
    }
    return failure;
}

std::shared_ptr<CDEPersistentStoreEnsembleDelegate> CDEPersistentStoreEnsemble::currentDelegate() {
    MutexLock lock(delegateMutex_);
    return delegate_.lock();
}

// Runs on the context's queue.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::exchangeChanges(MergeRound& round, bool importing) {
    round.importedBefore = state_->importedFiles();
    std::shared_ptr<NSError> failure;
    const auto present = listChangeFiles(round, &failure);
    if (!present) return failure;
    noteAbsentFiles(round, *present);
    if ((failure = exportLocalChanges(round))) return failure;
    // A full pass goes both ways in one merge: its position is kept only with everything taken in.
    if (!importing && !round.fullPass) return nullptr;
    // One file in memory at a time, however many the folder holds.
    for (const auto& key : newChangeFiles(round, *present)) {
        auto file = readChangeFile(key);
        if (file && (failure = importChangeFile(round, IncomingFile{key, std::move(*file)}))) return failure;
    }
    return nullptr;
}

// Every record whose values differ from the version last exported or imported goes into new change
// files in this device's folder; for a baseline or a full pass, every record does. Only the records the
// store's log names are looked at, up to its latest entry when the merge began (a record saved later goes
// with the next merge), unless the bookkeeping does not follow this log: then every record is.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::exportLocalChanges(MergeRound& round) {
    OutgoingChanges outgoing(*fileSystem_, *state_, changesFolder() + "/" + round.device, round.device, round.now);
    std::shared_ptr<NSError> failure;
    const auto span = round.coordinator->changeLogSpan(&failure);
    if (!span) return failure;
    const auto kept = state_->changeLogPosition();
    // A position kept by a version that knew no identities is trusted on its numbers, once.
    round.fullPass = kept && (!span->holds(kept->cursor) || (!kept->identity.empty() && kept->identity != span->identity));
    round.logPosition = ChangeLogPosition{span->latest, span->identity};
    if (round.fullPass) {
        Console::print("The store's change log is not the one the sync followed (the store or the sync state was "
                       "put back from a copy, or the log was edited): every record goes out and every change file "
                       "comes in again");
    }
    const auto pass = !kept                        ? ExportPass::First
                      : round.fullPass             ? ExportPass::Full
                      : !round.absentFiles.empty() ? ExportPass::Baseline
                                                   : ExportPass::Changed;
    failure = pass == ExportPass::Changed ? exportChangedRecords(round, outgoing, kept->cursor)
                                          : exportEveryRecord(round, outgoing, pass);
    return failure ? failure : outgoing.flush();
}

// Reads the store as it streams by, a file's worth of records at a time. In a full pass, only the rows
// the log names were saved here since the last export, so only they are newer here than what the
// bookkeeping knew; the others hold what the store held before (it was put back), or what went out under
// a version the folder still has. (The store is held while it streams: the log is read before.)
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::exportEveryRecord(MergeRound& round, OutgoingChanges& outgoing,
                                                                       ExportPass pass) {
    std::shared_ptr<NSError> failure;
    for (const auto& entity : round.model->entities()) {
        std::optional<std::vector<std::int64_t>> saved;
        if (pass == ExportPass::Full && !(saved = round.coordinator->loggedRows(*entity, round.logPosition->cursor, &failure)))
            return failure;
        std::vector<SQLiteStore::Change> rows;
        auto exportGathered = [&] {
            if (!failure) failure = exportRows(round, outgoing, rows, pass, saved ? &*saved : nullptr);
            rows.clear();
        };
        std::shared_ptr<NSError> readFailure;
        const bool read = round.coordinator->fetchEach(
            *entity, nullptr, {}, nullptr,
            [&](std::int64_t row, std::vector<Value>& values) {
                rows.push_back({0, entity, row, std::move(values)});
                if (rows.size() == OutgoingChanges::kRecordsPerFile) exportGathered();
            },
            &readFailure);
        if (!read) return readFailure;
        exportGathered();
        if (failure) return failure;
    }
    return nullptr;
}

// A row saved again while this runs has its entry moved past the latest one: it goes with the next
// merge, so one export never carries two changes of a row.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::exportChangedRecords(MergeRound& round, OutgoingChanges& outgoing,
                                                                          std::int64_t cursor) {
    const auto latest = round.logPosition->cursor;
    for (;;) {
        std::shared_ptr<NSError> failure;
        auto changes = round.coordinator->changesAfter(cursor, OutgoingChanges::kRecordsPerFile, &failure, latest);
        if (!changes) return failure;
        if (changes->empty()) break;
        cursor = changes->back().sequence;
        if ((failure = exportRows(round, outgoing, *changes, ExportPass::Changed, nullptr))) return failure;
    }
    return nullptr;
}

// A new version of a record this device changed: never the revision of one it sent before, so that
// every device takes the later of two changes made within one instant.
RecordRevision CDEPersistentStoreEnsemble::newRevision(const MergeRound& round, std::uint64_t hash,
                                                       const std::optional<KnownRecord>& known) {
    double time = round.now;
    if (known && known->revision.device == round.device && known->revision.time >= time)
        time = std::nextafter(known->revision.time, HUGE_VAL);
    return RecordRevision{hash, time, round.device};
}

// `rows` are stored records of one entity; their values are moved out. `saved`, in a full pass: the rows
// saved here since the last export, in ascending order.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::exportRows(MergeRound& round, OutgoingChanges& outgoing,
                                                                std::vector<SQLiteStore::Change>& rows,
                                                                ExportPass pass, const std::vector<std::int64_t>* saved) {
    if (rows.empty()) return nullptr;
    // Copies in no context, only for the delegate to name.
    std::vector<std::shared_ptr<NSManagedObject>> objects;
    objects.reserve(rows.size());
    for (auto& row : rows) objects.push_back(NSManagedObjectModel::factoryFor(*row.entity)(row.entity, row.values));
    std::vector<std::string> identifiers;
    if (round.delegate)
        identifiers = round.delegate->persistentStoreEnsembleGlobalIdentifiersForManagedObjects(*this, objects);
    if (identifiers.size() != objects.size())
        return error(205, "no global identifier for every " + rows.front().entity->name());
    std::vector<std::string> records;
    records.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) records.push_back(rows[i].entity->name() + "/" + identifiers[i]);
    const auto knownRecords = state_->records(records);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (identifiers[i].empty()) continue;
        const auto& entity = rows[i].entity->name();
        const auto& record = records[i];
        auto values = objects[i]->values();
        const auto hash = hashOfValues(values);
        const auto& known = knownRecords[i];
        std::shared_ptr<NSError> failure;
        if (known && known->revision.hash == hash) {
            // Sent as the version already known, so no device takes it for a newer one.
            const KnownRecord kept{known->revision, rows[i].row};
            if (pass == ExportPass::Baseline || pass == ExportPass::Full) {
                failure = outgoing.send(record, RecordChange{entity, identifiers[i], known->revision, std::move(values)},
                                        kept);
            } else if (known->row != rows[i].row) {
                failure = outgoing.keep(record, kept);
            }
        } else {
            // Not saved here since the last export: an older version than any other device may hold, so it
            // goes out as the oldest there can be, and any version in the folder wins over it, here too.
            const bool older = saved && !std::binary_search(saved->begin(), saved->end(), rows[i].row);
            const auto revision = older ? RecordRevision{hash, 0, round.device} : newRevision(round, hash, known);
            failure = outgoing.send(record, RecordChange{entity, identifiers[i], revision, std::move(values)},
                                    KnownRecord{revision, rows[i].row});
        }
        if (failure) return failure;
    }
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

// The files not taken in yet (in a full pass, every file), oldest first by the time a file's name begins
// with; names without one come first, as their order cannot matter more than a revision does. This
// device's own folder counts too: after its store was replaced, its old files hold records the new store
// lacks. The files this merge exported are not among them: the folder was listed before.
std::vector<std::string> CDEPersistentStoreEnsemble::newChangeFiles(const MergeRound& round,
                                                                    const std::set<std::string>& present) {
    std::vector<std::pair<long long, std::string>> files;
    for (const auto& key : present) {
        if (!round.fullPass && round.importedBefore.count(key)) continue;
        const auto name = key.substr(key.find('/') + 1);
        char* end = nullptr;
        const long long stamp = std::strtoll(name.c_str(), &end, 10);
        files.emplace_back(end != name.c_str() && *end == '-' ? stamp : 0, key);
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> keys;
    keys.reserve(files.size());
    for (auto& [stamp, key] : files) keys.push_back(std::move(key));
    return keys;
}

// None, with a console line once, for a file that cannot be read or that names another device. Such a
// file is not read again until it changes.
std::optional<ChangeFile> CDEPersistentStoreEnsemble::readChangeFile(const std::string& key) const {
    const auto path = changesFolder() + "/" + key;
    // Taken before the read: a file finished while it is read is read again at the next merge.
    const auto stamp = fileSystem_->stampOfFileAtPath(path);
    if (const auto refused = refusedFiles_.find(key); refused != refusedFiles_.end() && refused->second == stamp)
        return std::nullopt;
    std::shared_ptr<NSError> readFailure;
    const auto contents = fileSystem_->readFileAtPath(path, &readFailure);
    std::string reason = readFailure ? readFailure->localizedDescription() : "unreadable";
    auto file = contents ? ChangeFile::parse(*contents, &reason) : std::nullopt;
    if (file && file->device != key.substr(0, key.find('/'))) {
        file.reset();
        reason = "written by another device";
    }
    if (file) {
        refusedFiles_.erase(key);
        return file;
    }
    refusedFiles_[key] = stamp;
    if (toldSkipped_.insert(key).second) {
        Console::print("Skipped change file " + key + " (" + reason + "); trying it again once it changes");
    }
    return std::nullopt;
}

// One file is saved and committed at a time, with the versions it brought, so a merge of many files
// holds one file's objects at most.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::importChangeFile(MergeRound& round, const IncomingFile& incoming) {
    std::vector<std::string> records;
    records.reserve(incoming.file.changes.size());
    for (const auto& change : incoming.file.changes) records.push_back(change.entity + "/" + change.globalIdentifier);
    const auto known = state_->records(records);
    ImportedRecords imported;
    for (std::size_t i = 0; i < records.size(); ++i)
        importChange(round, imported, incoming.file.changes[i], records[i], known[i]);
    lastOwnSave_.reset();
    std::shared_ptr<NSError> failure;
    if (context_->hasChanges() && !context_->save(&failure)) return failure;
    std::map<std::string, KnownRecord> versions;
    for (const auto& [record, change] : imported)
        versions[record] = KnownRecord{change.revision, change.object->objectID().row};
    if (!state_->commit(versions, {incoming.key}, {}, std::nullopt, &failure)) return failure;
    announceMergeSave(round);
    return nullptr;
}

// An unknown record is inserted; a known one takes the change only when it is the newer version.
// `known` is what the bookkeeping kept of the record before this file.
void CDEPersistentStoreEnsemble::importChange(MergeRound& round, ImportedRecords& imported, const RecordChange& change,
                                              const std::string& record, const std::optional<KnownRecord>& known) {
    const auto entity = round.model->entityNamed(change.entity);
    if (!entity) return;
    // This file's own version of the record first, else the one kept from before.
    const auto found = imported.find(record);
    const bool inFile = found != imported.end();
    const RecordRevision* mine = inFile ? &found->second.revision : known ? &known->revision : nullptr;
    std::shared_ptr<NSManagedObject> object = inFile ? found->second.object : nullptr;
    if (!inFile && round.fullPass && known && round.delegate) {
        // A full pass has just looked at every stored record: one kept but not found is missing from the
        // store (put back from a copy made before it came), whatever version the bookkeeping kept.
        object = localObject(round, change, known);
        if (!object) mine = nullptr;
    }
    if (mine && !change.revision.isNewerThan(*mine)) return;
    if (!inFile && !round.fullPass) object = localObject(round, change, known);
    if (!namesItsOwnRecord(round, change, object.get())) {
        Console::print("Skipped a change of " + record + ": its values belong to another record");
        return;
    }
    if (!object) object = context_->insertNewObjectForEntityForName(change.entity);
    if (!object) return;
    for (const auto& [name, value] : change.values) {
        if (entity->attributeNamed(name) && object->valueForKey(name) != value)
            object->setValueForKey(value, name);
    }
    imported[record] = ImportedRecord{
        object, RecordRevision{hashOfValues(object->values()), change.revision.time, change.revision.device}};
}

// The stored object the bookkeeping knows for the change's record, as long as it still is that
// record; none for a record this store does not hold.
std::shared_ptr<NSManagedObject> CDEPersistentStoreEnsemble::localObject(const MergeRound& round,
                                                                         const RecordChange& change,
                                                                         const std::optional<KnownRecord>& known) {
    if (!known || known->row <= 0 || !round.delegate) return nullptr;
    auto object = context_->existingObjectWithID(NSManagedObjectID{change.entity, known->row});
    if (!object) return nullptr;
    const auto identifiers = round.delegate->persistentStoreEnsembleGlobalIdentifiersForManagedObjects(*this, {object});
    return identifiers.size() == 1 && identifiers.front() == change.globalIdentifier ? object : nullptr;
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

// The files that went missing are forgotten and the log's exported entries dropped together, once
// everything else of the merge is committed.
// The log is forgotten first, so the bookkeeping keeps the identity the forgetting gave it; a kill in
// between only makes the next merge a full pass.
std::shared_ptr<NSError> CDEPersistentStoreEnsemble::recordMerge(const MergeRound& round) {
    std::shared_ptr<NSError> failure;
    auto position = round.logPosition;
    if (position) {
        if (auto identity = round.coordinator->forgetChangesThrough(position->cursor, &failure)) {
            position->identity = *identity;
        } else {
            // Kept entries are only read again.
            Console::print("The store keeps its exported changes logged (" + failure->localizedDescription() + ")");
        }
    }
    if (!state_->commit({}, {}, round.absentFiles, position, &failure)) return failure;
    return nullptr;
}

// The delegate hears of the merge's save through the did-save notification of our own context.
void CDEPersistentStoreEnsemble::announceMergeSave(const MergeRound& round) {
    if (round.delegate && lastOwnSave_) {
        round.delegate->persistentStoreEnsembleDidSaveMergeChangesWithNotification(*this, *lastOwnSave_);
    }
}

}  // namespace platform
