#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "platform/foundation/console.h"
#include "tests/platform/coredata/coredata_test_support.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::openContext;
using quorvel::testing::writeModel;

namespace {

std::size_t countNotes(NSManagedObjectContext& context) {
    auto notes = context.executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("Note"));
    return notes ? notes->size() : 0;
}

}  // namespace

TEST(CoreDataModel, ReadsEntitiesAttributesAndDefaults) {
    quorvel::testing::TempDataRoot root;
    auto model =
        NSManagedObjectModel::initWithContentsOfURL(writeModel(root.path(), quorvel::testing::kNoteModelV1));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->versionNumber(), 1);
    auto note = model->entityNamed("Note");
    ASSERT_TRUE(note);
    EXPECT_EQ(note->attributes().size(), 3u);
    EXPECT_EQ(note->attributeNamed("count")->defaultValue, Value(0));
    EXPECT_TRUE(note->attributeNamed("stamp")->indexed);
}

TEST(CoreDataModel, MissingOrMalformedModelsDoNotLoad) {
    quorvel::testing::TempDataRoot root;
    std::string error;
    EXPECT_FALSE(NSManagedObjectModel::initWithContentsOfURL(root.path() / "None.momd", &error));
    EXPECT_FALSE(error.empty());
    for (const char* bad :
         {"<model version=\"1\"><entity name=\"A\"><attribute name=\"x\" type=\"blob\"/></entity>",
          "<model><entity name=\"A\"/></model>",
          "<model version=\"1\"><entity name=\"A\"/><entity name=\"A\"/></model>",
          "<model version=\"1\"><entity name=\"A\"><attribute name=\"n\" type=\"integer\" "
          "default=\"x\"/></entity></model>"}) {
        EXPECT_FALSE(NSManagedObjectModel::initWithContentsOfURL(writeModel(root.path(), bad, "Bad"))) << bad;
    }
}

TEST(CoreDataStoreFile, ADamagedStoreIsSetAsideWithALogLineAndANewOneIsMade) {
    quorvel::testing::TempDataRoot root;
    const auto model = writeModel(root.path(), quorvel::testing::kNoteModelV1);
    const auto file = root.path() / "store.sqlite";
    std::ofstream(file) << std::string(5000, 'x');
    Console::Capture console;
    auto context = openContext(model, file);
    ASSERT_TRUE(context->persistentStoreCoordinator()->hasStore());
    ASSERT_EQ(console.lines().size(), 1u);
    EXPECT_TRUE(console.contains("damaged"));
    EXPECT_TRUE(std::filesystem::exists(root.path() / "store.sqlite.damaged-1"));
    context->insertNewObjectForEntityForName("Note");
    EXPECT_TRUE(context->save());
    EXPECT_EQ(countNotes(*openContext(model, file)), 1u);
}

TEST(CoreDataStoreFile, ATruncatedStoreIsSetAsideToo) {
    quorvel::testing::TempDataRoot root;
    const auto model = writeModel(root.path(), quorvel::testing::kNoteModelV1);
    const auto file = root.path() / "store.sqlite";
    {
        auto context = openContext(model, file);
        for (int i = 0; i < 2000; ++i)
            context->insertNewObjectForEntityForName("Note")->setValueForKey(std::string(200, 'n'), "title");
        ASSERT_TRUE(context->save());
    }
    // Fold the log into the file, then cut it in half.
    { auto context = openContext(model, file); }
    std::filesystem::remove(root.path() / "store.sqlite-wal");
    std::filesystem::remove(root.path() / "store.sqlite-shm");
    std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
    Console::Capture console;
    auto context = openContext(model, file);
    EXPECT_TRUE(context->persistentStoreCoordinator()->hasStore());
    EXPECT_TRUE(console.contains("damaged"));
    EXPECT_EQ(countNotes(*context), 0u);
}

// A store of years of sessions opens without waiting for its check; the damage the check finds is
// set aside once, whichever store opened the file, before a save can go into it.
TEST(CoreDataStoreFile, ALargeStoreDamagedInsideIsSetAsideOnceBeforeASaveGoesIntoIt) {
    quorvel::testing::TempDataRoot root;
    const auto model = writeModel(root.path(), quorvel::testing::kNoteModelV1);
    const auto file = root.path() / "store.sqlite";
    quorvel::testing::writeLargeDamagedStore(model, file);
    ASSERT_GT(std::filesystem::file_size(file), 4u << 20);
    Console::Capture console;
    auto app = openContext(model, file);
    auto sync = openContext(model, file, NSManagedObjectContextConcurrencyType::PrivateQueue);
    ASSERT_TRUE(app->persistentStoreCoordinator()->hasStore());
    ASSERT_TRUE(sync->persistentStoreCoordinator()->hasStore());
    app->insertNewObjectForEntityForName("Note");
    EXPECT_TRUE(app->save());
    EXPECT_TRUE(console.contains("damaged"));
    EXPECT_EQ(console.lines().size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(root.path() / "store.sqlite.damaged-1"));
    EXPECT_FALSE(std::filesystem::exists(root.path() / "store.sqlite.damaged-2"));
    EXPECT_EQ(countNotes(*app), 1u);
    sync->performBlockAndWait([&] { EXPECT_EQ(countNotes(*sync), 1u); });
}

TEST(CoreDataStoreFile, AStoreLockedByAnotherConnectionIsRefusedAndNotSetAside) {
    quorvel::testing::TempDataRoot root;
    const auto model = writeModel(root.path(), quorvel::testing::kNoteModelV1);
    const auto file = root.path() / "store.sqlite";
    {
        auto context = openContext(model, file);
        context->insertNewObjectForEntityForName("Note");
        ASSERT_TRUE(context->save());
    }
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT;", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    Console::Capture console;
    std::shared_ptr<NSError> error;
    auto locked = openContext(model, file, NSManagedObjectContextConcurrencyType::MainQueue, &error, 0);
    EXPECT_FALSE(locked->persistentStoreCoordinator()->hasStore());
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->localizedDescription().empty());
    EXPECT_FALSE(console.contains("damaged"));
    EXPECT_FALSE(std::filesystem::exists(root.path() / "store.sqlite.damaged-1"));
    sqlite3_close(holder);
    EXPECT_EQ(countNotes(*openContext(model, file)), 1u);
}

TEST(CoreDataMigration, ALaterModelVersionAddsItsAttributesAndEntitiesKeepingTheRows) {
    quorvel::testing::TempDataRoot root;
    const auto file = root.path() / "store.sqlite";
    {
        auto context = openContext(writeModel(root.path(), quorvel::testing::kNoteModelV1, "V1"), file);
        context->insertNewObjectForEntityForName("Note")->setValueForKey(4, "count");
        ASSERT_TRUE(context->save());
    }
    const auto v2 = writeModel(root.path(), R"(<model version="2">
      <entity name="Note" class="Note">
        <attribute name="stamp" type="date"/>
        <attribute name="count" type="integer" default="0"/>
        <attribute name="title" type="string"/>
        <attribute name="rating" type="double" default="2.5"/>
      </entity>
      <entity name="Tag"><attribute name="label" type="string"/></entity>
    </model>)",
                               "V2");
    auto context = openContext(v2, file);
    ASSERT_TRUE(context->persistentStoreCoordinator()->hasStore());
    auto notes = context->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("Note"));
    ASSERT_EQ(notes->size(), 1u);
    EXPECT_EQ((*notes)[0]->valueForKey("count"), Value(4));
    EXPECT_EQ((*notes)[0]->valueForKey("rating"), Value(2.5));
    context->insertNewObjectForEntityForName("Tag")->setValueForKey("t", "label");
    EXPECT_TRUE(context->save());
}

TEST(CoreDataMigration, AStoreThatCannotBeBroughtToTheModelIsRefusedAndKept) {
    quorvel::testing::TempDataRoot root;
    const auto file = root.path() / "store.sqlite";
    const auto v1 = writeModel(root.path(), quorvel::testing::kNoteModelV1, "V1");
    {
        auto context = openContext(v1, file);
        context->insertNewObjectForEntityForName("Note");
        ASSERT_TRUE(context->save());
    }
    const auto retyped = writeModel(root.path(), R"(<model version="2"><entity name="Note">
        <attribute name="count" type="string"/></entity></model>)",
                                    "V2");
    std::shared_ptr<NSError> error;
    auto context = openContext(retyped, file, NSManagedObjectContextConcurrencyType::MainQueue, &error);
    EXPECT_FALSE(context->persistentStoreCoordinator()->hasStore());
    ASSERT_TRUE(error);
    EXPECT_NE(error->localizedDescription().find("count"), std::string::npos);
    // The old model still reads the rows: nothing was lost.
    EXPECT_EQ(countNotes(*openContext(v1, file)), 1u);

    const auto older = writeModel(root.path(), R"(<model version="1"><entity name="Note"/></model>)", "V0");
    auto newer = writeModel(root.path(), R"(<model version="3"><entity name="Note">
        <attribute name="count" type="integer"/></entity></model>)",
                            "V3");
    ASSERT_TRUE(openContext(newer, file)->persistentStoreCoordinator()->hasStore());
    EXPECT_FALSE(openContext(older, file)->persistentStoreCoordinator()->hasStore());
}
