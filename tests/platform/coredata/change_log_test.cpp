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

// The log's identity changes with each forgetting and with any edit by hand that would leave a reader's
// cursor meaning something else, and only then; a store reopened keeps it.
TEST(CoreDataChangeLog, TheLogIsKnownByAnIdentityThatOnlyForgettingAndEditsByHandRenew) {
    LoggedStore store;
    auto identity = [&] { return store.coordinator->changeLogSpan(nullptr)->identity; };
    auto edit = [&](const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(store.file.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
    };
    const auto first = identity();
    EXPECT_FALSE(first.empty());
    store.insert(1);
    store.insert(2);
    ASSERT_TRUE(store.context->save());
    EXPECT_EQ(identity(), first) << "saves keep it";

    const auto latest = store.coordinator->changeLogSpan(nullptr)->latest;
    const auto forgotten = store.coordinator->forgetChangesThrough(latest, nullptr);
    ASSERT_TRUE(forgotten);
    EXPECT_NE(*forgotten, first);
    EXPECT_EQ(identity(), *forgotten);
    store.insert(3);
    ASSERT_TRUE(store.context->save());
    EXPECT_EQ(identity(), *forgotten) << "a save after forgetting keeps it";

    for (const char* sql : {"DELETE FROM _changes",
                            "UPDATE sqlite_sequence SET seq = 0 WHERE name = '_changes'; UPDATE Note SET count = 9"}) {
        const auto before = identity();
        edit(sql);
        EXPECT_NE(identity(), before) << sql;
    }

    // A save that leaves the log alone adds no entry and keeps the identity.
    const auto before = store.coordinator->changeLogSpan(nullptr);
    store.coordinator->setLogsSaves(false);
    store.insert(4);
    ASSERT_TRUE(store.context->save());
    store.coordinator->setLogsSaves(true);
    EXPECT_EQ(store.coordinator->changeLogSpan(nullptr)->latest, before->latest);
    EXPECT_EQ(identity(), before->identity);
}
