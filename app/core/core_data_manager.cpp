#include "app/core/core_data_manager.h"

#include <cstdlib>
#include <mutex>
#include <random>

#include "app/core/managed_object_identity.h"
#include "app/core/p_file_manager.h"
#include "app/core/session_store_summary.h"
#include "platform/coredata/ns_fetched_results_controller.h"
#include "platform/foundation/console.h"
#include "platform/foundation/mutex.h"

namespace quorvel {

namespace {

platform::Mutex contextMutex;
std::shared_ptr<platform::NSManagedObjectContext> sharedContext GUARDED_BY(contextMutex);

// A new number in 0…99 that differs from `current`.
std::uint64_t drawNumberOtherThan(std::uint64_t current) {
    static platform::Mutex mutex;
    static std::mt19937 generator GUARDED_BY(mutex) = std::mt19937(std::random_device{}());
    std::uniform_int_distribution<std::uint64_t> distribution(0, 99);
    platform::MutexLock lock(mutex);
    std::uint64_t drawn;
    do {
        drawn = distribution(generator);
    } while (drawn == current);
    return drawn;
}

// Moved, not copied: each object of a large fetch is out of the cache by now, and a copy would touch
// its count once here and again when the fetch's list goes.
std::vector<std::shared_ptr<Session>> sessionsOf(
    std::vector<std::shared_ptr<platform::NSManagedObject>> objects) {
    std::vector<std::shared_ptr<Session>> sessions;
    sessions.reserve(objects.size());
    for (auto& object : objects) {
        if (auto session = std::dynamic_pointer_cast<Session>(std::move(object)))
            sessions.push_back(std::move(session));
    }
    return sessions;
}

platform::NSFetchRequest sessionsNewestFirst() {
    auto request = platform::NSFetchRequest::fetchRequestWithEntityName("Session");
    request.sortDescriptors = {platform::NSSortDescriptor::sortDescriptorWithKey("timestamp", false)};
    return request;
}

}  // namespace

std::shared_ptr<CoreDataManager> CoreDataManager::shared() {
    // Never destroyed: other threads may still use it while the process exits.
    static const auto* instance = new std::shared_ptr<CoreDataManager>(std::make_shared<CoreDataManager>());
    return *instance;
}

std::shared_ptr<platform::NSManagedObjectContext> CoreDataManager::context() {
    platform::MutexLock lock(contextMutex);
    return sharedContext;
}

void CoreDataManager::setContext(std::shared_ptr<platform::NSManagedObjectContext> context) {
    platform::MutexLock lock(contextMutex);
    sharedContext = std::move(context);
}

void CoreDataManager::setUpStore() {
    registerStoreEntityClasses();
    SessionStoreSummary::watchSaves();
    auto files = PFileManager::shared();
    if (!files->createStoreDirectory()) {
        platform::Console::print("createStoreDirectory fail");
        return;
    }
    const auto modelURL = files->modelURL();
    if (!modelURL) {
        setContext(nullptr);
        return;
    }
    auto model = platform::NSManagedObjectModel::initWithContentsOfURL(*modelURL);
    if (!model) {
        setContext(nullptr);
        return;
    }
    const auto directory = files->storeDirectoryURL();
    const std::optional<std::filesystem::path> storeURL =
        directory ? std::optional(*directory / "store.sqlite") : std::nullopt;
    platform::Console::print(modelURL->string() + " " + (storeURL ? storeURL->string() : "empty storeURL"));

    auto coordinator = std::make_shared<platform::NSPersistentStoreCoordinator>(model);
    if (storeURL) {
        coordinator->addPersistentStoreWithType(
            platform::NSSQLiteStoreType, std::nullopt, *storeURL,
            {{platform::NSMigratePersistentStoresAutomaticallyOption, true},
             {platform::NSInferMappingModelAutomaticallyOption, true}});
    }
    auto context = platform::NSManagedObjectContext::initWithConcurrencyType(
        platform::NSManagedObjectContextConcurrencyType::MainQueue);
    context->setPersistentStoreCoordinator(coordinator);
    context->setMergePolicy(platform::NSMergePolicy::MergeByPropertyObjectTrump);
    setContext(std::move(context));
    static std::once_flag atExit;
    std::call_once(atExit, [] { std::atexit(closeStore); });
}

void CoreDataManager::closeStore() {
    const auto context = CoreDataManager::context();
    if (const auto coordinator = context ? context->persistentStoreCoordinator() : nullptr)
        coordinator->removePersistentStore();
}

void CoreDataManager::resetSharedForTesting() {
    closeStore();
    setContext(nullptr);
    shared()->setNumberHolder(nullptr);
}

bool CoreDataManager::insertSession(std::int64_t durationMinutes, SessionType type,
                                    platform::NSDate timestamp) {
    auto context = CoreDataManager::context();
    if (!context) return false;
    auto session = std::dynamic_pointer_cast<Session>(context->insertNewObjectForEntityForName("Session"));
    if (!session) return false;
    session->setTimestamp(timestamp);
    session->setDuration(durationMinutes);
    session->setType(rawValue(type));
    const std::uint64_t current = numberHolder_ ? numberHolder_->number() : 0;
    const std::uint64_t drawn = drawNumberOtherThan(current);
    if (numberHolder_) numberHolder_->setNumber(drawn);
    return save();
}

bool CoreDataManager::save() {
    auto context = CoreDataManager::context();
    return context && context->save();
}

std::vector<std::shared_ptr<Session>> CoreDataManager::fetchAllSessions() {
    auto context = CoreDataManager::context();
    if (!context) return {};
    platform::NSFetchedResultsController controller(sessionsNewestFirst(), context, std::nullopt, "Master");
    controller.performFetch();
    return sessionsOf(std::move(controller).fetchedObjects());
}

std::vector<std::shared_ptr<Session>> CoreDataManager::fetchSessions(platform::NSDate from,
                                                                     platform::NSDate to) {
    auto context = CoreDataManager::context();
    if (!context) return {};
    auto request = sessionsNewestFirst();
    request.predicate =
        platform::NSPredicate::predicateWithFormat("(timestamp >= %@) AND (timestamp <= %@)", {from, to});
    const auto objects = context->executeFetchRequest(request);
    return objects ? sessionsOf(std::move(*objects)) : std::vector<std::shared_ptr<Session>>{};
}

}  // namespace quorvel
