#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_user_defaults.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

namespace {

std::string threadKey(int thread, int index) {
    std::string key = "t";
    key += std::to_string(thread);
    key += '-';
    key += std::to_string(index);
    return key;
}

// A fresh data root and virtual clock for every case.
class NSUserDefaultsTest : public ::testing::Test {
protected:
    quorvel::testing::TempDataRoot root;
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
};
using UserDefaultsSuites = NSUserDefaultsTest;
using UserDefaultsCoercions = NSUserDefaultsTest;
using UserDefaultsObserver = NSUserDefaultsTest;
using UserDefaultsDomains = NSUserDefaultsTest;
using UserDefaultsThreads = NSUserDefaultsTest;

}  // namespace

TEST_F(UserDefaultsSuites, OneObjectPerNameAndTheStandardSuiteUnderItsOwnName) {
    EXPECT_EQ(NSUserDefaults::suiteNamed("group.a"), NSUserDefaults::suiteNamed("group.a"));
    EXPECT_NE(NSUserDefaults::suiteNamed("group.a"), NSUserDefaults::suiteNamed("group.b"));
    EXPECT_EQ(NSUserDefaults::suiteNamed(""), NSUserDefaults::standardUserDefaults());
    EXPECT_EQ(NSUserDefaults::suiteNamed(NSUserDefaults::standardSuiteName()),
              NSUserDefaults::standardUserDefaults());
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->suiteName(), "com.brelloc.quorvel");

    NSUserDefaults::suiteNamed("group.a")->setInteger(1, "shared");
    EXPECT_EQ(NSUserDefaults::suiteNamed("group.b")->objectForKey("shared"), std::nullopt);
}

TEST_F(UserDefaultsCoercions, NumberAndBooleanGettersFollowThePlatformsRules) {
    auto defaults = NSUserDefaults::suiteNamed("coercions");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    // stored value, integerForKey, boolForKey, doubleForKey
    const std::vector<std::tuple<Value, std::int64_t, bool, double>> table{
        {Value(), 0, false, 0},
        {true, 1, true, 1},
        {42, 42, true, 42},
        {0, 0, false, 0},
        {std::numeric_limits<std::uint64_t>::max(), kMax, true, 18446744073709551615.0},
        {2.9, 2, true, 2.9},
        {1e30, kMax, true, 1e30},
        {nan, 0, false, nan},
        {"42", 42, false, 42},
        {" -7 ", -7, false, -7},
        {"+3.75", 3, false, 3.75},
        {"1e3", 1000, false, 1000},
        {"YES", 0, true, 0},
        {"true", 0, true, 0},
        {"1", 1, true, 1},
        {"nan", 0, false, 0},
        {"0x10", 0, false, 0},
        {"12 monkeys", 0, false, 0},
        {Value::Data{1}, 0, false, 0},
    };
    for (const auto& [stored, integer, flag, number] : table) {
        defaults->setObject(stored, "key");
        const std::string label = stored.stringValue()
                                      ? "\"" + *stored.stringValue() + "\""
                                      : "kind " + std::to_string(static_cast<int>(stored.kind()));
        EXPECT_EQ(defaults->integerForKey("key"), integer) << label;
        EXPECT_EQ(defaults->boolForKey("key"), flag) << label;
        if (std::isnan(number)) {
            EXPECT_TRUE(std::isnan(defaults->doubleForKey("key"))) << label;
        } else {
            EXPECT_EQ(defaults->doubleForKey("key"), number) << label;
        }
    }
}

TEST_F(UserDefaultsCoercions, FloatsSaturateToInfinityOutsideTheirRange) {
    auto defaults = NSUserDefaults::suiteNamed("floats");
    defaults->setFloat(0.3f, "f");
    EXPECT_EQ(defaults->objectForKey("f"), Value(static_cast<double>(0.3f)));
    EXPECT_EQ(defaults->floatForKey("f"), 0.3f);
    defaults->setDouble(1e300, "big");
    EXPECT_EQ(defaults->floatForKey("big"), std::numeric_limits<float>::infinity());
    defaults->setDouble(-1e300, "big");
    EXPECT_EQ(defaults->floatForKey("big"), -std::numeric_limits<float>::infinity());
}

TEST_F(UserDefaultsCoercions, TypedGettersAnswerNothingOnAWrongKind) {
    auto defaults = NSUserDefaults::suiteNamed("typed");
    defaults->setInteger(5, "number");
    defaults->setObject(Value::Array{"a", "b"}, "strings");
    defaults->setObject(Value::Array{"a", 1}, "mixed");
    defaults->setObject(Value::Dictionary{{"k", "v"}}, "dictionary");

    EXPECT_EQ(defaults->stringForKey("number"), std::nullopt);  // a number is not turned into text
    EXPECT_EQ(defaults->dataForKey("number"), std::nullopt);
    EXPECT_EQ(defaults->dateForKey("number"), std::nullopt);
    EXPECT_EQ(defaults->arrayForKey("dictionary"), std::nullopt);
    EXPECT_EQ(defaults->dictionaryForKey("strings"), std::nullopt);
    EXPECT_EQ(defaults->stringArrayForKey("mixed"), std::nullopt);
    EXPECT_EQ(defaults->stringArrayForKey("strings"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(defaults->arrayForKey("mixed"), (Value::Array{"a", 1}));
    EXPECT_EQ(defaults->dictionaryForKey("dictionary"), (Value::Dictionary{{"k", "v"}}));
    EXPECT_EQ(defaults->stringForKey("missing"), std::nullopt);
}

TEST_F(UserDefaultsObserver, ReportsEverySetAndRemoveWithSuiteKeyAndKind) {
    std::vector<std::tuple<std::string, std::string, std::optional<Value>>> log;
    NSUserDefaults::setWriteObserver(
        [&](const std::string& suite, const std::string& key, const std::optional<Value>& value) {
            log.emplace_back(suite, key, value);
        });
    auto standard = NSUserDefaults::standardUserDefaults();
    standard->setBool(true, "SoundEnableAlarm");
    standard->setFloat(0.5f, "volume");
    NSUserDefaults::suiteNamed("group.share")->setInteger(25, "length");
    standard->setObject(Value(), "volume");
    standard->removeObjectForKey("never-set");
    NSUserDefaults::setWriteObserver(nullptr);
    standard->setBool(false, "unobserved");

    using Entry = std::tuple<std::string, std::string, std::optional<Value>>;
    EXPECT_EQ(log, (std::vector<Entry>{{"com.brelloc.quorvel", "SoundEnableAlarm", Value(true)},
                                       {"com.brelloc.quorvel", "volume", Value(0.5)},
                                       {"group.share", "length", Value(25)},
                                       {"com.brelloc.quorvel", "volume", std::nullopt},
                                       {"com.brelloc.quorvel", "never-set", std::nullopt}}));
    EXPECT_EQ(std::get<2>(log[0])->kind(), Value::Kind::Bool);
}

TEST_F(UserDefaultsDomains, RemovingAPersistentDomainClearsMemoryAndFile) {
    auto defaults = NSUserDefaults::suiteNamed("APMAnalyticsSuiteName");
    defaults->setBool(true, "persistent_config_in_application_support_enabled");
    ASSERT_TRUE(defaults->synchronize());
    EXPECT_EQ(NSUserDefaults::persistentDomainForName("APMAnalyticsSuiteName"),
              (Value::Dictionary{{"persistent_config_in_application_support_enabled", true}}));

    NSUserDefaults::removePersistentDomainForName("APMAnalyticsSuiteName");
    EXPECT_EQ(NSUserDefaults::persistentDomainForName("APMAnalyticsSuiteName"), std::nullopt);
    EXPECT_FALSE(defaults->boolForKey("persistent_config_in_application_support_enabled"));
    EXPECT_FALSE(std::filesystem::exists(DataRoot::preferences() / "APMAnalyticsSuiteName.plist"));
    clock->advance(5);  // a write still scheduled finds nothing to bring back
    EXPECT_FALSE(std::filesystem::exists(DataRoot::preferences() / "APMAnalyticsSuiteName.plist"));
}

TEST_F(UserDefaultsThreads, ConcurrentWritersToDifferentKeysLoseNothing) {
    constexpr int kThreads = 8;
    constexpr int kKeysEach = 300;
    auto defaults = NSUserDefaults::suiteNamed("threads");
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            for (int i = 0; i < kKeysEach; ++i) {
                const std::string key = threadKey(t, i);
                defaults->setInteger(t * 1000 + i, key);
                EXPECT_EQ(defaults->integerForKey(key), t * 1000 + i);
                if (i % 50 == 0) {
                    EXPECT_TRUE(defaults->synchronize());
                }
            }
        });
    }
    for (auto& writer : writers) writer.join();
    ASSERT_TRUE(NSUserDefaults::flushAll());

    NSUserDefaults::resetAllForTesting();
    const auto stored = NSUserDefaults::suiteNamed("threads")->dictionaryRepresentation();
    ASSERT_EQ(stored.size(), static_cast<std::size_t>(kThreads * kKeysEach));
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kKeysEach; ++i) {
            EXPECT_EQ(stored.at(threadKey(t, i)), Value(t * 1000 + i));
        }
    }
}
