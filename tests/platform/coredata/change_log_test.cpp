#include <gtest/gtest.h>
#include <sqlite3.h>

#include "tests/platform/coredata/coredata_test_support.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::openContext;
using quorvel::testing::writeModel;

namespace {

struct LoggedStore {
    quorvel::testing::TempDataRoot root;
    std::filesystem::path file = root.path() / "store.sqlite";
    std::shared_ptr<NSManagedObjectContext> context =
        openContext(writeModel(root.path(), quorvel::testing::kNoteModelV1), file);
    std::shared_ptr<NSPersistentStoreCoordinator> coordinator = context->persistentStoreCoordinator();

    std::shared_ptr<NSManagedObject> insert(std::int64_t count) {
        auto note = context->insertNewObjectForEntityForName("Note");
        note->setValueForKey(count, "count");
        return note;
    }
    // (row, count) of every logged change after `sequence`, in order.
    std::vector<std::pair<std::int64_t, std::int64_t>> changesAfter(std::int64_t sequence) {
        std::vector<std::pair<std::int64_t, std::int64_t>> found;
        const auto changes = coordinator->changesAfter(sequence, 100, nullptr);
        EXPECT_TRUE(changes);
        for (const auto& change : *changes) {
            EXPECT_EQ(change.entity->name(), "Note");
            found.emplace_back(change.row, change.values[1].intValue().value_or(-1));
        }
        return found;
    }
};

}  // namespace

TEST(CoreDataChangeLog, EverySavedRowIsLoggedOnceWithItsLatestChangeLast) {
    LoggedStore store;
    auto first = store.insert(1);
    store.insert(2);
    store.insert(3);
    ASSERT_TRUE(store.context->save());
    const auto afterInserts = store.coordinator->changeLogSpan(nullptr)->latest;
    first->setValueForKey(10, "count");
    ASSERT_TRUE(store.context->save());

    using Changes = std::vector<std::pair<std::int64_t, std::int64_t>>;
    EXPECT_EQ(store.changesAfter(0), (Changes{{2, 2}, {3, 3}, {1, 10}}));
    EXPECT_EQ(store.changesAfter(afterInserts), (Changes{{1, 10}}));

    // Another program writing the file is logged as well.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(store.file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE Note SET count = 20 WHERE _pk = 2", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(store.changesAfter(afterInserts), (Changes{{1, 10}, {2, 20}}));

    // Forgotten entries leave the log, and numbers go on from where they were: a reader that stands
    // where the log was forgotten still follows it; one that stands before it, or past its latest
    // entry, follows another copy of the file.
    const auto latest = store.coordinator->changeLogSpan(nullptr)->latest;
    ASSERT_TRUE(store.coordinator->forgetChangesThrough(latest, nullptr));
    EXPECT_TRUE(store.changesAfter(0).empty());
    store.insert(4);
    ASSERT_TRUE(store.context->save());
    EXPECT_EQ(store.changesAfter(latest), (Changes{{4, 4}}));
    const auto span = *store.coordinator->changeLogSpan(nullptr);
    EXPECT_EQ(span.forgottenThrough, latest);
    EXPECT_EQ(span.latest, latest + 1);
    EXPECT_TRUE(span.holds(latest) && span.holds(latest + 1));
    EXPECT_FALSE(span.holds(latest - 1) || span.holds(latest + 2));
}

TEST(CoreDataChangeLog, AnObjectIsFoundByItsIdentifierOnceAndOnlyWhenItsRowExists) {
    LoggedStore store;
    store.insert(5);
    ASSERT_TRUE(store.context->save());

    auto other = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContextConcurrencyType::MainQueue);
    other->setPersistentStoreCoordinator(store.coordinator);
    const auto found = other->existingObjectWithID({"Note", 1});
    ASSERT_TRUE(found);
    EXPECT_EQ(found->valueForKey("count"), Value(5));
    EXPECT_EQ(found->managedObjectContext(), other);
    EXPECT_EQ(other->existingObjectWithID({"Note", 1}), found);
    found->setValueForKey(6, "count");
    ASSERT_TRUE(other->save());
    EXPECT_EQ(store.changesAfter(0).back(), (std::pair<std::int64_t, std::int64_t>{1, 6}));

    std::shared_ptr<NSError> error;
    EXPECT_FALSE(other->existingObjectWithID({"Note", 2}, &error));
    EXPECT_FALSE(error);
    EXPECT_FALSE(other->existingObjectWithID({"Nothing", 1}, &error));
    EXPECT_TRUE(error);
}
