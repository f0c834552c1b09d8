#include <gtest/gtest.h>
#include <sqlite3.h>

#include <limits>
#include <thread>

#include "platform/coredata/ns_fetched_results_controller.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_thread.h"
#include "tests/platform/coredata/coredata_test_support.h"
#include "tests/support/scoped_observer.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::openContext;
using quorvel::testing::writeModel;

namespace {

struct Store {
    quorvel::testing::TempDataRoot root;
    std::filesystem::path model = writeModel(root.path(), quorvel::testing::kNoteModelV1);
    std::filesystem::path file = root.path() / "store.sqlite";
};

std::shared_ptr<NSManagedObject> insertNote(NSManagedObjectContext& context, double stamp,
                                            std::int64_t count) {
    auto note = context.insertNewObjectForEntityForName("Note");
    note->setValueForKey(NSDate(stamp), "stamp");
    note->setValueForKey(count, "count");
    return note;
}

std::vector<std::int64_t> counts(const std::vector<std::shared_ptr<NSManagedObject>>& objects) {
    std::vector<std::int64_t> result;
    for (const auto& object : objects) result.push_back(object->valueForKey("count").intValue().value_or(-1));
    return result;
}

NSFetchRequest notesNewestFirst() {
    auto request = NSFetchRequest::fetchRequestWithEntityName("Note");
    request.sortDescriptors = {NSSortDescriptor::sortDescriptorWithKey("stamp", false)};
    return request;
}

}  // namespace

TEST(CoreDataSave, SavedObjectsAreThereAfterReopeningWithTheirValuesAndDefaults) {
    Store store;
    auto context = openContext(store.model, store.file);
    auto note = insertNote(*context, 100.5, 7);
    note->setValueForKey("first", "title");
    insertNote(*context, 50, 3)->setValueForKey(Value(), "count");
    EXPECT_TRUE(note->objectID().isTemporaryID());
    ASSERT_TRUE(context->save());
    EXPECT_FALSE(note->objectID().isTemporaryID());
    EXPECT_FALSE(context->hasChanges());

    auto reopened = openContext(store.model, store.file);
    const auto notes = reopened->executeFetchRequest(notesNewestFirst());
    ASSERT_TRUE(notes);
    ASSERT_EQ(notes->size(), 2u);
    EXPECT_EQ((*notes)[0]->valueForKey("stamp").dateValue(), NSDate(100.5));
    EXPECT_EQ(*(*notes)[0]->valueForKey("title").stringValue(), "first");
    EXPECT_EQ((*notes)[0]->valueForKey("count"), Value(7));
    EXPECT_TRUE((*notes)[1]->valueForKey("count").isNull());
    EXPECT_TRUE((*notes)[1]->valueForKey("title").isNull());
}

// Objects of a small entity hold their values inside themselves, a larger one's are kept apart: both
// save, read back and change alike.
TEST(CoreDataSave, ObjectsOfSmallAndLargeEntitiesKeepEveryValue) {
    quorvel::testing::TempDataRoot root;
    const auto model = writeModel(root.path(), R"(<model version="1">
  <entity name="Pair" class="Pair">
    <attribute name="a" type="integer"/>
    <attribute name="b" type="string" default="b"/>
  </entity>
  <entity name="Wide" class="Wide">
    <attribute name="a" type="integer"/>
    <attribute name="b" type="string" default="b"/>
    <attribute name="c" type="double"/>
    <attribute name="d" type="date"/>
    <attribute name="e" type="string"/>
    <attribute name="f" type="integer" default="6"/>
  </entity>
</model>)");
    const auto file = root.path() / "store.sqlite";
    auto context = openContext(model, file);
    auto pair = context->insertNewObjectForEntityForName("Pair");
    auto wide = context->insertNewObjectForEntityForName("Wide");
    EXPECT_EQ(pair->values(), (Value::Dictionary{{"a", Value()}, {"b", "b"}}));
    EXPECT_EQ(wide->valueForKey("f"), Value(6));
    for (const auto& object : {pair, wide}) {
        object->setValueForKey(1, "a");
        object->setValueForKey("two", "b");
    }
    wide->setValueForKey(3.5, "c");
    wide->setValueForKey(NSDate(4), "d");
    wide->setValueForKey("five", "e");
    ASSERT_TRUE(context->save());

    const Value::Dictionary pairValues{{"a", 1}, {"b", "two"}};
    const Value::Dictionary wideValues{{"a", 1}, {"b", "two"}, {"c", 3.5}, {"d", NSDate(4)}, {"e", "five"}, {"f", 6}};
    auto reopened = openContext(model, file);
    const auto pairs = reopened->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("Pair"));
    const auto wides = reopened->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("Wide"));
    ASSERT_TRUE(pairs && wides);
    ASSERT_EQ(pairs->size(), 1u);
    ASSERT_EQ(wides->size(), 1u);
    EXPECT_EQ(pairs->front()->values(), pairValues);
    EXPECT_EQ(wides->front()->values(), wideValues);

    wides->front()->setValueForKey("changed", "e");
    ASSERT_TRUE(reopened->save());
    const auto again = openContext(model, file)->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("Wide"));
    ASSERT_TRUE(again && again->size() == 1u);
    EXPECT_EQ(again->front()->valueForKey("e"), Value("changed"));
    EXPECT_EQ(again->front()->valueForKey("f"), Value(6));
}

TEST(CoreDataSave, NumbersBeyondAnIntegerAttributesRangeAreStoredAtItsLimits) {
    Store store;
    auto context = openContext(store.model, store.file);
    // A change file from another device may carry any number for an integer attribute.
    insertNote(*context, 3, 0)->setValueForKey(1e300, "count");
    insertNote(*context, 2, 0)->setValueForKey(Value(std::uint64_t{18446744073709551615u}), "count");
    insertNote(*context, 1, 0)->setValueForKey(-1e300, "count");
    ASSERT_TRUE(context->save());
    const auto notes = openContext(store.model, store.file)->executeFetchRequest(notesNewestFirst());
    ASSERT_TRUE(notes);
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(counts(*notes),
              (std::vector<std::int64_t>{kMax, kMax, std::numeric_limits<std::int64_t>::min()}));
}

TEST(CoreDataSave, UpdatesWriteOnlyTheChangedPropertiesAndFetchesReturnTheSameObject) {
    Store store;
    auto context = openContext(store.model, store.file);
    auto note = insertNote(*context, 1, 1);
    ASSERT_TRUE(context->save());
    note->setValueForKey(2, "count");
    EXPECT_TRUE(note->isUpdated());
    ASSERT_TRUE(context->save());
    const auto fetched = context->executeFetchRequest(notesNewestFirst());
    ASSERT_EQ(fetched->size(), 1u);
    EXPECT_EQ((*fetched)[0], note);
    EXPECT_EQ(counts(*openContext(store.model, store.file)->executeFetchRequest(notesNewestFirst())),
              std::vector<std::int64_t>{2});
}

TEST(CoreDataSave, AFailedSaveKeepsItsChangesForTheNextSave) {
    Store store;
    auto context =
        openContext(store.model, store.file, NSManagedObjectContextConcurrencyType::MainQueue, nullptr, 0.05);
    insertNote(*context, 1, 1);
    ASSERT_TRUE(context->save());

    // Another connection holds the write lock, so this save cannot write.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(store.file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    auto pending = insertNote(*context, 2, 2);
    std::shared_ptr<NSError> error;
    EXPECT_FALSE(context->save(&error));
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->localizedDescription().empty());
    EXPECT_TRUE(context->hasChanges());
    EXPECT_TRUE(pending->objectID().isTemporaryID());
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_TRUE(context->save());
    EXPECT_EQ(counts(*openContext(store.model, store.file)->executeFetchRequest(notesNewestFirst())),
              (std::vector<std::int64_t>{2, 1}));
}

// What was derived from stored objects can be dropped before a change to them is on disk, so that no
// crash between the write and its report leaves it standing.
TEST(CoreDataSave, BeforeWritingASaveNamesTheStoredObjectsItChangesEvenWhenItThenFails) {
    Store store;
    auto context =
        openContext(store.model, store.file, NSManagedObjectContextConcurrencyType::MainQueue, nullptr, 0.05);
    auto note = insertNote(*context, 1, 1);
    insertNote(*context, 2, 2);
    ASSERT_TRUE(context->save());
    std::vector<std::vector<std::int64_t>> named;
    std::vector<std::int64_t> storedCountsThen;
    quorvel::testing::ScopedObserver willSaves(
        NSManagedObjectContextWillSaveNotification, [&](const NSNotification& n) {
            std::vector<std::int64_t> rows;
            for (const auto& id : n.objectAs<NSManagedObjectContextWillSave>()->updatedObjects) rows.push_back(id.row);
            named.push_back(rows);
            // (While another connection holds the write lock, no new one can open.)
            if (named.size() == 1)
                storedCountsThen = counts(*openContext(store.model, store.file)->executeFetchRequest(notesNewestFirst()));
        });

    note->setValueForKey(5, "count");
    ASSERT_TRUE(context->save());
    // Another connection holds the write lock, so this save cannot write.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(store.file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    note->setValueForKey(6, "count");
    EXPECT_FALSE(context->save());
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    const std::vector<std::int64_t> noteRow{note->objectID().row};
    EXPECT_EQ(named, (std::vector<std::vector<std::int64_t>>{noteRow, noteRow}));
    EXPECT_EQ(storedCountsThen, (std::vector<std::int64_t>{2, 1})) << "the note was stored changed before the notice";
}

TEST(CoreDataFetch, AReadAfterARowHandsOnOnlyTheRowsNumberedAboveIt) {
    Store store;
    auto context = openContext(store.model, store.file);
    for (int i = 1; i <= 5; ++i) insertNote(*context, i, i);
    ASSERT_TRUE(context->save());
    const auto& coordinator = context->persistentStoreCoordinator();
    const auto entity = coordinator->managedObjectModel()->entityNamed("Note");
    const auto atLeastTwo = NSPredicate::predicateWithFormat("count >= %@", {Value(2)});
    std::vector<std::int64_t> rows;
    auto collect = [&](std::int64_t row, std::vector<Value>&) { rows.push_back(row); };
    ASSERT_TRUE(coordinator->fetchEach(*entity, nullptr, {}, nullptr, collect, nullptr, 3));
    EXPECT_EQ(rows, (std::vector<std::int64_t>{4, 5}));
    rows.clear();
    ASSERT_TRUE(coordinator->fetchEach(*entity, atLeastTwo.get(), {}, nullptr, collect, nullptr, 1));
    EXPECT_EQ(rows, (std::vector<std::int64_t>{2, 3, 4, 5}));
}

TEST(CoreDataSave, WithoutAStoreSavesFailAndFetchesReportAFailure) {
    Store store;
    std::filesystem::create_directories(store.file);  // a folder where the file should be
    std::shared_ptr<NSError> error;
    auto context =
        openContext(store.model, store.file, NSManagedObjectContextConcurrencyType::MainQueue, &error);
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->localizedDescription().empty());
    EXPECT_FALSE(context->persistentStoreCoordinator()->hasStore());
    insertNote(*context, 1, 1);
    EXPECT_FALSE(context->save());
    EXPECT_FALSE(context->executeFetchRequest(notesNewestFirst()));
}

TEST(CoreDataFetch, ARangePredicateIncludesBothEndsAndSortsNewestFirst) {
    Store store;
    auto context = openContext(store.model, store.file);
    for (int i = 0; i < 10; ++i) insertNote(*context, 100.0 + i, i);
    ASSERT_TRUE(context->save());
    auto request = notesNewestFirst();
    request.predicate =
        NSPredicate::predicateWithFormat("(stamp >= %@) AND (stamp <= %@)", {NSDate(102), NSDate(105)});
    ASSERT_TRUE(request.predicate);
    EXPECT_EQ(counts(*context->executeFetchRequest(request)), (std::vector<std::int64_t>{5, 4, 3, 2}));
}

TEST(CoreDataFetch, UnsavedInsertsTakePartInFetchesInSortOrder) {
    Store store;
    auto context = openContext(store.model, store.file);
    insertNote(*context, 10, 10);
    insertNote(*context, 30, 30);
    ASSERT_TRUE(context->save());
    insertNote(*context, 20, 20);
    insertNote(*context, 99, 99);
    auto request = notesNewestFirst();
    request.predicate = NSPredicate::predicateWithFormat("stamp < %@", {NSDate(50)});
    EXPECT_EQ(counts(*context->executeFetchRequest(request)), (std::vector<std::int64_t>{30, 20, 10}));
}

TEST(CoreDataFetch, AFetchOfPropertyValuesReadsOnlyThoseAndPutsUnsavedInsertsInOrder) {
    Store store;
    auto context = openContext(store.model, store.file);
    insertNote(*context, 10, 10);
    auto stored = insertNote(*context, 30, 30);
    ASSERT_TRUE(context->save());
    stored->setValueForKey(31, "count");
    insertNote(*context, 20, 20);
    insertNote(*context, 99, 99);
    auto request = notesNewestFirst();
    request.predicate = NSPredicate::predicateWithFormat("stamp < %@", {NSDate(50)});
    request.propertiesToFetch = {"count"};
    using Rows = std::vector<std::vector<Value>>;
    auto read = [&](std::shared_ptr<NSError>* error = nullptr) -> std::optional<Rows> {
        Rows rows;
        const bool done = context->enumerateFetchRequestForPropertyValues(
            request, [&rows](const std::vector<Value>& values) { rows.push_back(values); }, error);
        return done ? std::optional(rows) : std::nullopt;
    };
    // Stored rows read as stored; the sort key need not be one of the properties.
    EXPECT_EQ(read(), (Rows{{30}, {20}, {10}}));
    request.includesPendingChanges = false;
    EXPECT_EQ(read(), (Rows{{30}, {10}}));

    request.includesPendingChanges = true;
    request.sortDescriptors = {};
    request.propertiesToFetch = {"title", "stamp"};
    EXPECT_EQ(read(), (Rows{{Value(), NSDate(10)}, {Value(), NSDate(30)}, {Value(), NSDate(20)}}))
        << "unsorted, the unsaved ones come after the stored ones";
    request.propertiesToFetch = {};
    const auto all = read();
    ASSERT_TRUE(all);
    EXPECT_EQ(all->front(), (std::vector<Value>{NSDate(10), 10, Value()})) << "every attribute in order";

    request.propertiesToFetch = {"count", "colour"};
    std::shared_ptr<NSError> error;
    EXPECT_FALSE(read(&error));
    ASSERT_TRUE(error);
    EXPECT_NE(error->localizedDescription().find("colour"), std::string::npos);
}

TEST(CoreDataFetch, PredicatesCombineAndRejectBadFormats) {
    Store store;
    auto context = openContext(store.model, store.file);
    for (int i = 0; i < 6; ++i) insertNote(*context, i, i)->setValueForKey(i % 2 ? "odd" : "even", "title");
    ASSERT_TRUE(context->save());
    auto request = notesNewestFirst();
    request.predicate =
        NSPredicate::predicateWithFormat("title == 'odd' AND NOT (count = 3) OR count == %@", {0});
    EXPECT_EQ(counts(*context->executeFetchRequest(request)), (std::vector<std::int64_t>{5, 1, 0}));

    request.predicate = NSPredicate::predicateWithFormat("missing == 1");
    std::shared_ptr<NSError> error;
    EXPECT_FALSE(context->executeFetchRequest(request, &error));

    for (const char* bad :
         {"", "count >=", "count >= %@", "(count == 1", "count ~ 1", "1 == count", "title == 'x"})
        EXPECT_FALSE(NSPredicate::predicateWithFormat(bad)) << bad;
}

TEST(CoreDataFetch, AFetchedResultsControllerKeepsItsLastResultWhenAFetchFails) {
    Store store;
    auto context = openContext(store.model, store.file);
    insertNote(*context, 1, 1);
    ASSERT_TRUE(context->save());
    NSFetchedResultsController controller(notesNewestFirst(), context, std::nullopt, "Master");
    ASSERT_TRUE(controller.performFetch());
    EXPECT_EQ(controller.fetchedObjects().size(), 1u);

    auto broken = NSFetchRequest::fetchRequestWithEntityName("Nothing");
    NSFetchedResultsController failing(broken, context, std::nullopt, "Master");
    EXPECT_FALSE(failing.performFetch());
    EXPECT_TRUE(failing.fetchedObjects().empty());
}

TEST(CoreDataMerge, AnotherContextsSaveUpdatesObjectsButNotUnsavedChangesHere) {
    Store store;
    auto clock = VirtualClock::install();
    auto mainContext = openContext(store.model, store.file);
    auto note = insertNote(*mainContext, 1, 1);
    note->setValueForKey("mine", "title");
    ASSERT_TRUE(mainContext->save());

    auto background =
        openContext(store.model, store.file, NSManagedObjectContextConcurrencyType::PrivateQueue);
    std::optional<NSNotification> saved;
    quorvel::testing::ScopedObserver didSaves(
        NSManagedObjectContextDidSaveNotification, [&](const NSNotification& n) {
            if (n.objectAs<NSManagedObjectContextDidSave>()->context == background.get()) saved = n;
        });
    note->setValueForKey("unsaved", "title");
    std::thread([&] {
        background->performBlockAndWait([&] {
            auto theirs = background->executeFetchRequest(notesNewestFirst());
            (*theirs)[0]->setValueForKey(5, "count");
            (*theirs)[0]->setValueForKey("theirs", "title");
            insertNote(*background, 2, 2);
            ASSERT_TRUE(background->save());
        });
    }).join();
    ASSERT_TRUE(saved);
    mainContext->performBlockAndWait(
        [&] { mainContext->mergeChangesFromContextDidSaveNotification(*saved); });
    EXPECT_EQ(note->valueForKey("count"), Value(5));
    EXPECT_EQ(*note->valueForKey("title").stringValue(), "unsaved");
    EXPECT_EQ(counts(*mainContext->executeFetchRequest(notesNewestFirst())),
              (std::vector<std::int64_t>{2, 5}));
}

TEST(CoreDataQueues, BlocksRunOnTheContextsQueue) {
    Store store;
    auto clock = VirtualClock::install();
    auto mainContext = openContext(store.model, store.file);
    auto background =
        openContext(store.model, store.file, NSManagedObjectContextConcurrencyType::PrivateQueue);
    std::atomic<bool> ranOffMain{false}, ranOnMain{false};
    background->performBlock([&] {
        ranOffMain = !NSThread::isMainThread();
        // Waiting for the main context from another queue runs the block on the main thread.
        mainContext->performBlockAndWait([&] { ranOnMain = NSThread::isMainThread(); });
    });
    clock->runUntilIdle();
    EXPECT_TRUE(ranOffMain.load());
    EXPECT_TRUE(ranOnMain.load());
    bool inline_ = false;
    mainContext->performBlockAndWait([&] { inline_ = true; });
    EXPECT_TRUE(inline_);  // on its own queue already: at once
}
