#include "analytics/storage/apm_persistent_dictionary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "analytics/foundation/apm_storage_paths.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/property_list.h"
#include "tests/support/killed_writer.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
using platform::Value;
namespace fs = std::filesystem;

namespace {

class PersistentDictionaryTest : public ::testing::Test {
protected:
    std::optional<Value> onDisk(const std::string& key) {
        const auto stored = platform::PropertyList::readFile(file);
        if (!stored || !stored->dictionaryValue()) return std::nullopt;
        const auto found = stored->dictionaryValue()->find(key);
        if (found == stored->dictionaryValue()->end()) return std::nullopt;
        return found->second;
    }

    quorvel::testing::TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    platform::Console::Capture capture;
    const fs::path file = APMMeasurementDirectoryPlistPath("com.vuziri.vmp.measurement");
    std::shared_ptr<APMPersistentDictionary> dictionary =
        APMPersistentDictionary::initWithFileName("com.vuziri.vmp.measurement");
};

}  // namespace

TEST_F(PersistentDictionaryTest, TenChangesWithinASecondMakeOneWriteASecondAfterTheFirst) {
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->fileURL(), file);
    for (int i = 0; i < 10; ++i) {
        dictionary->setInteger(i, "key" + std::to_string(i));
        clock->advance(0.0625);
    }
    clock->advance(0.25);
    EXPECT_FALSE(fs::exists(file));
    clock->advance(0.125);
    ASSERT_TRUE(fs::exists(file));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(onDisk("key" + std::to_string(i)), Value(i));

    fs::remove(file);
    clock->advance(10);
    EXPECT_FALSE(fs::exists(file));  // no second write for the same burst
}

TEST_F(PersistentDictionaryTest, ChangesThatChangeNothingScheduleNothing) {
    dictionary->setObject(Value("same"), "key");
    clock->advance(1);
    fs::remove(file);

    dictionary->setObject(Value("same"), "key");
    dictionary->removeObjectForKey("missing");
    dictionary->setObject(Value(platform::NSDate(3)), "");                   // refused key
    dictionary->setObject(Value(Value::Dictionary{{"a", Value()}}), "key");  // refused value
    clock->advance(5);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(dictionary->stringForKey("key"), "same");
    EXPECT_TRUE(capture.contains("<RovUriduzuvare>[I-ACS043002] Cannot set object for invalid config key."));
    EXPECT_TRUE(capture.contains(
        "<RovUriduzuvare>[I-ACS043003] Cannot set invalid object to config. Must be a string, "
        "number, array, dictionary, date, or data. Value {a = <null>}"));

    auto empty = APMPersistentDictionary::initWithFileName("other");
    empty->clearAllData();
    clock->advance(5);
    EXPECT_FALSE(fs::exists(APMMeasurementDirectoryPlistPath("other")));
}

TEST_F(PersistentDictionaryTest, TypedReadsAnswerOnlyForTheirType) {
    dictionary->setObject(Value("12"), "text");
    dictionary->setDouble(2.75, "real");
    dictionary->setBool(true, "flag");
    EXPECT_EQ(dictionary->integerForKey("text"), 0);
    EXPECT_EQ(dictionary->integerForKey("real"), 2);
    EXPECT_EQ(dictionary->floatForKey("real"), 2.75f);
    EXPECT_TRUE(dictionary->boolForKey("flag"));
    EXPECT_FALSE(dictionary->stringForKey("real"));
    EXPECT_FALSE(dictionary->arrayForKey("text"));
    EXPECT_FALSE(dictionary->objectForKey(""));
    EXPECT_TRUE(capture.contains("[I-ACS043001] Cannot get object for invalid config key."));
}

TEST_F(PersistentDictionaryTest, ContentSurvivesARestartAndBadFilesReadAsEmpty) {
    const Value::Dictionary nested{{"list", Value(Value::Array{Value(1), Value("two")})},
                                   {"when", Value(platform::NSDate(12.5))},
                                   {"bytes", Value(Value::Data{0, 1})}};
    dictionary->setObject(Value(nested), "nested");
    dictionary.reset();  // a write pending at destruction happens at once
    EXPECT_EQ(
        APMPersistentDictionary::initWithFileName("com.vuziri.vmp.measurement")->dictionaryForKey("nested"),
        nested);

    for (const char* bad : {"not a property list", "<plist version=\"1.0\"><array/></plist>", ""}) {
        std::ofstream(file, std::ios::trunc) << bad;
        auto reloaded = APMPersistentDictionary::initWithFileName("com.vuziri.vmp.measurement");
        ASSERT_TRUE(reloaded);
        EXPECT_FALSE(reloaded->objectForKey("nested"));
    }
}

TEST_F(PersistentDictionaryTest, NamesAndFoldersThatCannotBeUsedGiveNoStore) {
    EXPECT_FALSE(APMPersistentDictionary::initWithFileName(""));
    fs::remove_all(file.parent_path());
    std::ofstream(file.parent_path()) << "a file where the folder belongs";
    EXPECT_FALSE(APMPersistentDictionary::initWithFileName("blocked"));
    EXPECT_TRUE(capture.contains("[I-ACS043004] Cannot create subdirectories for config plist files."));
}

TEST_F(PersistentDictionaryTest, FailedWriteKeepsTheValuesAndIsTriedAgain) {
    fs::create_directories(file);  // a folder where the file belongs: every write fails
    dictionary->setObject(Value("kept"), "key");
    clock->advance(1);
    EXPECT_TRUE(capture.contains("[I-ACS043000] Cannot persist configs to disk"));
    EXPECT_EQ(dictionary->stringForKey("key"), "kept");

    clock->advance(1);  // the second try, one second later, fails too; the next waits two seconds
    fs::remove_all(file);
    clock->advance(1.75);
    EXPECT_FALSE(fs::is_regular_file(file));
    clock->advance(0.25);
    EXPECT_EQ(onDisk("key"), Value("kept"));
}

TEST_F(PersistentDictionaryTest, WritesFromManyThreadsAllArrive) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 50; ++i)
                dictionary->setInteger(i, std::to_string(t) + "-" + std::to_string(i));
        });
    }
    for (auto& thread : threads) thread.join();
    clock->advance(1);
    for (int t = 0; t < 4; ++t) EXPECT_EQ(onDisk(std::to_string(t) + "-49"), Value(49));
}

TEST_F(PersistentDictionaryTest, KillDuringASaveLeavesTheOldOrTheNewFileWhole) {
    for (long killAfter : {1L, 10L, 40L}) {
        const auto reported =
            quorvel::testing::runWriterAndKill(STORAGE_WRITER, {"plist", root.path().string(), "killed"}, killAfter);
        ASSERT_GE(static_cast<long>(reported.size()), killAfter);
        const auto stored = platform::PropertyList::readFile(APMMeasurementDirectoryPlistPath("killed"));
        ASSERT_TRUE(stored && stored->dictionaryValue()) << "a torn file after " << killAfter;
        const auto& content = *stored->dictionaryValue()->at("state").dictionaryValue();
        const std::int64_t generation = *content.at("generation").intValue();
        EXPECT_GE(generation, *reported.rbegin());
        EXPECT_LE(generation, *reported.rbegin() + 1);
        const std::string expected = std::string(100, 'g') + std::to_string(generation);
        for (const auto& entry : *content.at("entries").arrayValue()) ASSERT_EQ(entry, Value(expected));
    }
}
