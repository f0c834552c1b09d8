#include "app/core/core_data_manager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "platform/coredata/ns_persistent_store_coordinator.h"
#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "tests/app/core/store_test_support.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel;
using platform::NSDate;
using quorvel::testing::launchStore;

namespace {

std::vector<double> stamps(const std::vector<std::shared_ptr<Session>>& sessions) {
    std::vector<double> result;
    for (const auto& s : sessions) result.push_back(s->timestamp()->timeIntervalSinceReferenceDate());
    return result;
}

std::size_t numberHolderCount() {
    auto all = CoreDataManager::context()->executeFetchRequest(
        platform::NSFetchRequest::fetchRequestWithEntityName("NumberHolder"));
    return all ? all->size() : 0;
}

bool isUUIDString(const std::string& text) {
    return std::regex_match(text, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}"));
}

// A data root of its own and a store no earlier case set up; the store is put back when the case ends.
class StoreTest : public ::testing::Test {
protected:
    quorvel::testing::TempDataRoot root;
    quorvel::testing::FreshStore store;
};
using SessionStore = StoreTest;
using SessionStoreWithoutStore = StoreTest;
using SessionStoreFaults = StoreTest;

}  // namespace

TEST_F(SessionStore, StoresSessionsWithTheirValuesNewestFirst) {
    launchStore();
    auto manager = CoreDataManager::shared();
    ASSERT_TRUE(manager->insertSession(25, SessionType::focus, NSDate(200)));
    ASSERT_TRUE(manager->insertSession(50, SessionType::longBreak, NSDate(300)));
    ASSERT_TRUE(manager->insertSession(5, SessionType::focus, NSDate(100)));
    launchStore();  // a second launch reads them back from the file
    const auto all = manager->fetchAllSessions();
    EXPECT_EQ(stamps(all), (std::vector<double>{300, 200, 100}));
    EXPECT_EQ(all[0]->duration(), 50);
    EXPECT_EQ(all[0]->type(), 2);
    EXPECT_TRUE(isUUIDString(all[0]->uniqueIdentifier()));
    EXPECT_NE(all[0]->uniqueIdentifier(), all[1]->uniqueIdentifier());
}

TEST_F(SessionStore, ARangeIncludesSessionsStampedExactlyAtEitherEnd) {
    launchStore();
    auto manager = CoreDataManager::shared();
    for (double t : {99.999, 100.0, 150.0, 200.0, 200.001})
        manager->insertSession(1, SessionType::focus, NSDate(t));
    EXPECT_EQ(stamps(manager->fetchSessions(NSDate(100), NSDate(200))), (std::vector<double>{200, 150, 100}));
    EXPECT_TRUE(manager->fetchSessions(NSDate(300), NSDate(400)).empty());
    EXPECT_TRUE(manager->fetchSessions(NSDate(200), NSDate(100)).empty());
}

TEST_F(SessionStore, TheNumberHolderGetsANewNumberInRangeOnEveryStoredSession) {
    launchStore();
    auto manager = CoreDataManager::shared();
    ASSERT_TRUE(manager->numberHolder());
    for (int i = 0; i < 300; ++i) {
        const auto before = manager->numberHolder()->number();
        ASSERT_TRUE(manager->insertSession(1, SessionType::focus, NSDate(i)));
        const auto after = manager->numberHolder()->number();
        ASSERT_LE(after, 99u);
        ASSERT_NE(after, before);
    }
    const auto last = manager->numberHolder()->number();
    launchStore();
    EXPECT_EQ(manager->numberHolder()->number(), last);  // saved with the session
}

TEST_F(SessionStore, ASecondLaunchFindsTheNumberHolderAndInsertsNoOther) {
    launchStore();
    const auto id = CoreDataManager::shared()->numberHolder()->valueForKey("uniqueIdentifier");
    launchStore();
    EXPECT_EQ(numberHolderCount(), 1u);
    EXPECT_EQ(CoreDataManager::shared()->numberHolder()->valueForKey("uniqueIdentifier"), id);
}

TEST_F(SessionStore, InsertionKeepsAPresetIdentifierAndReplacesAnEmptyOne) {
    launchStore();
    auto context = CoreDataManager::context();
    auto preset = context->insertNewObjectForEntityForName("Session");
    EXPECT_TRUE(isUUIDString(*preset->valueForKey("uniqueIdentifier").stringValue()));
    // awakeFromInsert runs on insertion; a record arriving with an identifier keeps it.
    auto kept = std::make_shared<Session>(preset->entityPointer());
    kept->setUniqueIdentifier("device-A-1");
    kept->awakeFromInsert();
    EXPECT_EQ(kept->uniqueIdentifier(), "device-A-1");
    auto empty = std::make_shared<Session>(preset->entityPointer());
    empty->setUniqueIdentifier("");
    empty->awakeFromInsert();
    EXPECT_TRUE(isUUIDString(empty->uniqueIdentifier()));
    auto holder = context->insertNewObjectForEntityForName("NumberHolder");
    auto goal = context->insertNewObjectForEntityForName("GoalDaily");
    EXPECT_TRUE(isUUIDString(*holder->valueForKey("uniqueIdentifier").stringValue()));
    EXPECT_TRUE(isUUIDString(*goal->valueForKey("uniqueIdentifier").stringValue()));
}

TEST_F(SessionStoreWithoutStore, WithoutAModelThereIsNoContextAndNothingIsStored) {
    quorvel::testing::MainBundleAt bundle(root.path());  // no Pomodoro.momd here
    launchStore();
    auto manager = CoreDataManager::shared();
    EXPECT_FALSE(CoreDataManager::context());
    EXPECT_FALSE(manager->insertSession(25, SessionType::focus, NSDate(1)));
    EXPECT_FALSE(manager->save());
    EXPECT_TRUE(manager->fetchAllSessions().empty());
    EXPECT_TRUE(manager->fetchSessions(NSDate::distantPast(), NSDate::distantFuture()).empty());
}

TEST_F(SessionStoreWithoutStore, AStoreDirectoryThatCannotBeMadeIsReportedAndLeavesNoContext) {
    std::filesystem::create_directories(platform::DataRoot::library());
    std::ofstream(platform::DataRoot::applicationSupport()) << "a file in the way";
    platform::Console::Capture console;
    launchStore();
    EXPECT_TRUE(console.contains("createStoreDirectory fail"));
    EXPECT_FALSE(CoreDataManager::context());
    EXPECT_FALSE(CoreDataManager::shared()->insertSession(25, SessionType::focus, NSDate(1)));
}

TEST_F(SessionStoreWithoutStore, AStoreThatCannotBeAddedFailsSavesAndAnswersNothing) {
    std::filesystem::create_directories(quorvel::testing::storeFile());  // a folder where the file belongs
    platform::Console::Capture console;
    launchStore();
    ASSERT_TRUE(CoreDataManager::context());
    EXPECT_TRUE(console.contains("Pomodoro.momd " + quorvel::testing::storeFile().string()));
    EXPECT_FALSE(CoreDataManager::shared()->insertSession(25, SessionType::focus, NSDate(1)));
    EXPECT_TRUE(CoreDataManager::shared()->fetchSessions(NSDate(0), NSDate(2)).empty());
}

TEST_F(SessionStoreFaults, ADamagedStoreFileIsSetAsideAndTheAppStartsAfresh) {
    PFileManager::shared()->createStoreDirectory();
    std::ofstream(quorvel::testing::storeFile()) << "SQLite format 3 but not really";
    platform::Console::Capture console;
    launchStore();
    EXPECT_TRUE(console.contains("damaged"));
    EXPECT_TRUE(std::filesystem::exists(quorvel::testing::storeFile().string() + ".damaged-1"));
    EXPECT_TRUE(CoreDataManager::shared()->insertSession(25, SessionType::focus, NSDate(1)));
    EXPECT_EQ(CoreDataManager::shared()->fetchAllSessions().size(), 1u);
}
