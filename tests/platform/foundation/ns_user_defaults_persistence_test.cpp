#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/foundation/binary_property_list.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/foundation/property_list.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using namespace std::string_literals;

namespace {

std::filesystem::path suiteFile(const std::string& suite) {
    return DataRoot::preferences() / (suite + ".plist");
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Forgets every suite and reads this one again from disk, as the next launch would.
std::shared_ptr<NSUserDefaults> relaunched(const std::string& suite) {
    NSUserDefaults::resetAllForTesting();
    return NSUserDefaults::suiteNamed(suite);
}

// A fresh data root and virtual clock for every case.
class DefaultsTest : public ::testing::Test {
protected:
    quorvel::testing::TempDataRoot root;
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
};
using UserDefaultsPersistence = DefaultsTest;
using UserDefaultsCoalescing = DefaultsTest;
using UserDefaultsExit = DefaultsTest;

}  // namespace

TEST_F(UserDefaultsPersistence, EveryKindSurvivesARelaunch) {
    const double inf = std::numeric_limits<double>::infinity();
    const Value::Dictionary stored{
        {"bool", true},
        {"integer", std::numeric_limits<std::int64_t>::min()},
        {"unsigned", std::numeric_limits<std::uint64_t>::max()},
        {"float", static_cast<double>(0.1f)},
        {"nan", std::numeric_limits<double>::quiet_NaN()},
        {"+inf", inf},
        {"-inf", -inf},
        {"empty string", ""},
        {"empty data", Value::Data{}},
        {"date", NSDate(VirtualClock::kDefaultStart + 0.125)},
        {"nested", Value::Array{Value::Dictionary{{"list", Value::Array{1, "x", Value::Array{}}}}, false}},
        {"Schlüssel 🍅", "ключ\0end"s},
    };
    {
        auto defaults = NSUserDefaults::suiteNamed("group.test.shared");
        // The typed setters first, setObject for the rest.
        defaults->setBool(true, "bool");
        defaults->setInteger(std::numeric_limits<std::int64_t>::min(), "integer");
        defaults->setFloat(0.1f, "float");
        defaults->setDouble(std::numeric_limits<double>::quiet_NaN(), "nan");
        defaults->setString("", "empty string");
        defaults->setData({}, "empty data");
        defaults->setDate(NSDate(VirtualClock::kDefaultStart + 0.125), "date");
        for (const auto& [key, value] : stored) {
            if (!defaults->objectForKey(key)) defaults->setObject(value, key);
        }
        ASSERT_TRUE(NSUserDefaults::flushAll());
    }
    ASSERT_TRUE(std::filesystem::exists(suiteFile("group.test.shared")));

    auto reloaded = relaunched("group.test.shared");
    EXPECT_EQ(Value(reloaded->dictionaryRepresentation()), Value(stored));
    EXPECT_EQ(reloaded->objectForKey("bool")->kind(), Value::Kind::Bool);
    EXPECT_EQ(reloaded->objectForKey("float")->kind(), Value::Kind::Double);
    EXPECT_EQ(reloaded->floatForKey("float"), 0.1f);
}

TEST_F(UserDefaultsPersistence, AValueNoFileCanHoldIsRefusedAndNoKeyIsLost) {
    auto defaults = NSUserDefaults::suiteNamed("group.test.shared");
    defaults->setDate(NSDate(VirtualClock::kDefaultStart), "date");
    Console::Capture capture;
    defaults->setDate(NSDate(1e15), "date");
    defaults->setObject(Value::Array{1, NSDate(std::nan(""))}, "list");
    EXPECT_TRUE(capture.contains("cannot be stored"));
    defaults->setInteger(3, "unrelated");
    ASSERT_TRUE(NSUserDefaults::flushAll());

    auto reloaded = relaunched("group.test.shared");
    EXPECT_EQ(Value(reloaded->dictionaryRepresentation()),
              Value(Value::Dictionary{{"date", NSDate(VirtualClock::kDefaultStart)}, {"unrelated", 3}}));
}

TEST_F(UserDefaultsPersistence, TheStandardSuiteUsesTheBundleIdentifiersFile) {
    NSUserDefaults::standardUserDefaults()->setInteger(25, "latestLength");
    ASSERT_TRUE(NSUserDefaults::flushAll());
    EXPECT_EQ(PropertyList::readFile(root.path() / "Library/Preferences/com.brelloc.quorvel.plist"),
              Value(Value::Dictionary{{"latestLength", 25}}));
}

TEST(UserDefaultsDamagedFile, IsSetAsideLoggedAndTheSuiteStartsEmpty) {
    const std::pair<const char*, std::string> damages[] = {
        {"not xml", "\x01\x02 garbage"},
        {"truncated", "<plist version=\"1.0\"><dict><key>a</key><integer>1</integer>"},
        {"not a dictionary", "<plist version=\"1.0\"><array><true/></array></plist>"},
        {"bad value", "<plist version=\"1.0\"><dict><key>a</key><date>yesterday</date></dict></plist>"},
        {"binary cut short", "bplist00\xD1\x01\x02\x51" "a\x10\x01"s},
    };
    for (const auto& [name, content] : damages) {
        quorvel::testing::TempDataRoot root;
        auto clock = VirtualClock::install();
        NSUserDefaults::resetAllForTesting();
        writeText(suiteFile("damaged"), content);
        Console::Capture console;

        auto defaults = NSUserDefaults::suiteNamed("damaged");
        EXPECT_TRUE(defaults->dictionaryRepresentation().empty()) << name;

        // 2026-03-02 09:00:00 UTC is 1772442000 in Unix time.
        const auto aside = suiteFile("damaged").string() + ".damaged-1772442000";
        EXPECT_TRUE(std::filesystem::exists(aside)) << name;
        EXPECT_TRUE(console.contains(aside)) << name;
        std::ifstream kept(aside, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), content) << name;

        defaults->setInteger(1, "fresh");
        EXPECT_TRUE(NSUserDefaults::flushAll()) << name;
        EXPECT_EQ(relaunched("damaged")->integerForKey("fresh"), 1) << name;
    }
}

// A file written as XML before the suites were written binary loads, and is written back binary.
TEST_F(UserDefaultsPersistence, WrongKindValuesStayInTheFileUntilTheKeyIsWritten) {
    writeText(suiteFile("kinds"),
              "<plist version=\"1.0\"><dict><key>length</key><string>long</string>"
              "<key>color</key><integer>3</integer></dict></plist>");
    auto defaults = NSUserDefaults::suiteNamed("kinds");
    EXPECT_EQ(defaults->integerForKey("length"), 0);
    EXPECT_FALSE(defaults->dataForKey("color"));
    defaults->setBool(true, "other");
    ASSERT_TRUE(NSUserDefaults::flushAll());

    std::ifstream written(suiteFile("kinds"), std::ios::binary);
    EXPECT_TRUE(BinaryPropertyList::isBinary(std::string(std::istreambuf_iterator<char>(written), {})));
    auto file = PropertyList::readFile(suiteFile("kinds"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->dictionaryValue()->at("length"), Value("long"));
    EXPECT_EQ(file->dictionaryValue()->at("color"), Value(3));

    defaults->setInteger(25, "length");
    ASSERT_TRUE(NSUserDefaults::flushAll());
    EXPECT_EQ(relaunched("kinds")->objectForKey("length"), Value(25));
}

// Earlier versions wrote XML that could carry text that is not UTF-8, which no file can hold now: that
// entry is left out with a console line, and the rest of the suite is written on as before.
TEST_F(UserDefaultsPersistence, AnOldEntryThatNoFileCanHoldNowDoesNotStopTheRestBeingWritten) {
    writeText(suiteFile("old"),
              "<plist version=\"1.0\"><dict><key>title</key><string>Caf\xe9</string>"
              "<key>round</key><integer>3</integer></dict></plist>");
    Console::Capture console;
    auto defaults = NSUserDefaults::suiteNamed("old");
    EXPECT_FALSE(defaults->objectForKey("title"));
    EXPECT_TRUE(console.contains("left out an entry (\"title\": a string that is not UTF-8)"));
    defaults->setInteger(4, "round");
    ASSERT_TRUE(NSUserDefaults::flushAll());
    EXPECT_EQ(relaunched("old")->integerForKey("round"), 4);
}

TEST_F(UserDefaultsCoalescing, AThousandSetsWriteOnceAfterAVirtualSecond) {
    auto defaults = NSUserDefaults::suiteNamed("burst");
    for (int i = 0; i < 1000; ++i) defaults->setInteger(i, "key" + std::to_string(i % 100));

    clock->advance(0.999);
    EXPECT_EQ(defaults->fileWriteCount(), 0u);
    EXPECT_FALSE(std::filesystem::exists(suiteFile("burst")));

    clock->advance(0.001);
    EXPECT_EQ(defaults->fileWriteCount(), 1u);
    EXPECT_EQ(relaunched("burst")->integerForKey("key99"), 999);

    clock->advance(60);
    EXPECT_EQ(defaults->fileWriteCount(), 1u);
}

TEST_F(UserDefaultsCoalescing, EachNewBurstIsWrittenOnceAndUnchangedValuesAreNotWritten) {
    auto defaults = NSUserDefaults::suiteNamed("bursts");
    defaults->setInteger(1, "a");
    clock->advance(1);
    defaults->setInteger(2, "a");
    defaults->setInteger(3, "a");
    clock->advance(5);
    EXPECT_EQ(defaults->fileWriteCount(), 2u);

    defaults->setInteger(3, "a");  // the same value again: nothing to write
    clock->advance(5);
    EXPECT_EQ(defaults->fileWriteCount(), 2u);
}

TEST_F(UserDefaultsCoalescing, SynchronizeOnEveryTickWritesOnceASecondAndCountsEveryCall) {
    // A running timer saves and synchronises ten times a second: the file is written once per second
    // of changes, never per call.
    auto defaults = NSUserDefaults::suiteNamed("sync");
    EXPECT_TRUE(defaults->synchronize());
    for (int tick = 1; tick <= 30; ++tick) {
        defaults->setInteger(tick, "remaining");
        EXPECT_TRUE(defaults->synchronize());
        clock->advance(0.1);
    }
    EXPECT_EQ(defaults->synchronizeCount(), 31u);
    EXPECT_EQ(defaults->fileWriteCount(), 3u);  // at 1, 2 and 3 seconds
    clock->advance(5);
    EXPECT_EQ(defaults->fileWriteCount(), 3u);
    EXPECT_EQ(relaunched("sync")->integerForKey("remaining"), 30);
}

TEST_F(UserDefaultsCoalescing, FlushAllWritesEveryChangedSuiteAtOnce) {
    auto first = NSUserDefaults::suiteNamed("first");
    auto second = NSUserDefaults::suiteNamed("second");
    first->setInteger(1, "a");
    second->setInteger(2, "b");
    ASSERT_TRUE(NSUserDefaults::flushAll());
    EXPECT_EQ(first->fileWriteCount() + second->fileWriteCount(), 2u);
    clock->advance(5);  // nothing left for the scheduled writes
    EXPECT_EQ(first->fileWriteCount() + second->fileWriteCount(), 2u);
    EXPECT_EQ(relaunched("second")->integerForKey("b"), 2);
}

TEST_F(UserDefaultsCoalescing, AFailedWriteIsReportedAndRetriedOnTheNextSynchronize) {
    Console::Capture console;
    auto defaults = NSUserDefaults::suiteNamed("blocked");
    defaults->setInteger(1, "a");  // loads the suite, so it keeps its file's path
    writeText(root.path() / "Library", "a file where the folder belongs");

    EXPECT_TRUE(defaults->synchronize());
    clock->advance(1);
    EXPECT_TRUE(console.contains("could not write"));
    EXPECT_FALSE(defaults->synchronize());
    EXPECT_FALSE(NSUserDefaults::flushAll());

    std::filesystem::remove(root.path() / "Library");
    EXPECT_FALSE(defaults->synchronize());  // schedules the next attempt
    clock->advance(1);
    EXPECT_TRUE(defaults->synchronize());
    EXPECT_EQ(relaunched("blocked")->integerForKey("a"), 1);
}
