#include <gtest/gtest.h>

#include <sys/xattr.h>

#include <filesystem>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_exclude_path_from_backup.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/foundation/property_list.h"
#include "tests/support/own_process.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
using platform::Console;
using platform::Value;
namespace fs = std::filesystem;

namespace {

bool isExcludedFromBackup(const std::string& path) {
    char value[4] = {};
    return ::getxattr(path.c_str(), kAPMExcludedFromBackupAttribute, value, sizeof value) == 1 &&
           value[0] == '1';
}

class UserDefaultsTest : public ::testing::Test {
protected:
    quorvel::testing::TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    Console::Capture capture;
};

}  // namespace

TEST_F(UserDefaultsTest, InvalidKeysAreRefusedWithTheirWarnings) {
    EXPECT_TRUE(APMUserDefaults::userPreferenceEnabled());  // the preferences functions by default
    APMUserDefaults defaults("com.vuziri.vmp.measurement");
    EXPECT_TRUE(defaults.useCFPreferencesLibrary());
    EXPECT_FALSE(defaults.objectForKey(""));
    defaults.setObject(Value("x"), "");
    defaults.setBool(true, "");
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{
                  "<RovUriduzuvare>[I-ACS041001] Cannot get object for invalid user default key.",
                  "<RovUriduzuvare>[I-ACS041002] Cannot set object for invalid user default key.",
                  "<RovUriduzuvare>[I-ACS041002] Cannot set object for invalid user default key."}));
    EXPECT_FALSE(platform::NSUserDefaults::persistentDomainForName("com.vuziri.vmp.measurement"));
}

TEST_F(UserDefaultsTest, ValuesThatAreNotPropertyListsAreDroppedWithTheirValue) {
    APMUserDefaults defaults("com.vuziri.vmp.measurement");
    defaults.setObject(Value(5), "kept");
    defaults.setObject(Value(), "kept");
    defaults.setObject(Value(Value::Array{Value(1), Value(), Value("100%")}), "list");
    EXPECT_EQ(defaults.objectForKey("kept"), Value(5));
    EXPECT_FALSE(defaults.objectForKey("list"));
    EXPECT_EQ(
        capture.lines(),
        (std::vector<std::string>{"<RovUriduzuvare>[I-ACS041003] Cannot set invalid object to user defaults. "
                                  "Must be a string or number or an array. Value <null>",
                                  "<RovUriduzuvare>[I-ACS041003] Cannot set invalid object to user defaults. "
                                  "Must be a string or number or an array. Value (1, <null>, 100%)"}));

    const Value::Dictionary dictionary{{"a", Value(platform::NSDate(12.5))}};
    defaults.setObject(Value(platform::NSDate(3)), "date");
    defaults.setObject(Value(dictionary), "dictionary");
    EXPECT_EQ(defaults.objectForKey("date"), Value(platform::NSDate(3)));
    EXPECT_EQ(defaults.dictionaryForKey("dictionary"), dictionary);
}

TEST_F(UserDefaultsTest, TypedReadsAnswerOnlyForTheirType) {
    APMUserDefaults defaults("suite");
    defaults.setObject(Value("12"), "text");
    defaults.setInteger(7, "number");
    defaults.setBool(true, "flag");
    defaults.setFloat(0.5f, "float");
    EXPECT_EQ(defaults.integerForKey("text"), 0);
    EXPECT_FALSE(defaults.boolForKey("text"));
    EXPECT_EQ(defaults.stringForKey("number"), std::nullopt);
    EXPECT_EQ(defaults.stringForKey("text"), "12");
    EXPECT_EQ(defaults.doubleForKey("number"), 7.0);
    EXPECT_EQ(defaults.integerForKey("flag"), 1);
    EXPECT_EQ(defaults.floatForKey("float"), 0.5f);
    EXPECT_FALSE(defaults.arrayForKey("number"));
}

TEST_F(UserDefaultsTest, RemovalAndClearAllDataLeaveNoKeyOnEitherPath) {
    for (bool useFunctions : {true, false}) {
        APMUserDefaults defaults("com.vuziri.vmp.measurement");
        defaults.setUseCFPreferencesLibrary(useFunctions);
        defaults.setInteger(1, "key");
        defaults.removeObjectForKey("key");
        EXPECT_FALSE(defaults.objectForKey("key"));
        defaults.setInteger(1, "a");
        defaults.setObject(Value("b"), "b");
        defaults.synchronize();
        defaults.clearAllData();
        defaults.synchronize();
        EXPECT_FALSE(defaults.objectForKey("a"));
        EXPECT_FALSE(platform::NSUserDefaults::persistentDomainForName("com.vuziri.vmp.measurement"));
    }
}

TEST_F(UserDefaultsTest, ValuesReachTheSuiteFileAndSurviveARestart) {
    APMUserDefaults defaults("com.vuziri.vmp.measurement.monitor");
    defaults.setObject(Value(Value::Array{Value("ctx"), Value(3)}), "/vuziri/measurement/health_monitor");
    defaults.synchronize();
    ASSERT_TRUE(platform::NSUserDefaults::flushAll());
    EXPECT_TRUE(fs::exists(root.path() / "Library/Preferences/com.vuziri.vmp.measurement.monitor.plist"));

    platform::NSUserDefaults::resetAllForTesting();
    EXPECT_EQ(APMUserDefaults("com.vuziri.vmp.measurement.monitor")
                  .arrayForKey("/vuziri/measurement/health_monitor"),
              (Value::Array{Value("ctx"), Value(3)}));
}

TEST_F(UserDefaultsTest, SuiteFileIsExcludedFromBackupAtTheFirstSaveThatFindsIt) {
    APMUserDefaults defaults("com.vuziri.vmp.measurement");
    const std::string path = APMPreferencesPlistPath("com.vuziri.vmp.measurement");
    defaults.synchronize();  // nothing written yet, so nothing to exclude
    EXPECT_FALSE(defaults.isPreferenceFileExcluded());

    defaults.setInteger(1, "a");
    defaults.synchronize();  // the writer has not written it yet either
    EXPECT_FALSE(defaults.isPreferenceFileExcluded());
    ASSERT_TRUE(platform::NSUserDefaults::flushAll());
    defaults.synchronize();
    EXPECT_TRUE(defaults.isPreferenceFileExcluded());
    EXPECT_TRUE(isExcludedFromBackup(path));
    EXPECT_TRUE(capture.lines().empty());
}

TEST_F(UserDefaultsTest, StandardStoreNeverExcludesTheApplicationsOwnFile) {
    auto standard = APMUserDefaults::standardUserDefaults();
    EXPECT_EQ(standard, APMUserDefaults::standardUserDefaults());
    EXPECT_TRUE(standard->isPreferenceFileExcluded());
    standard->setInteger(1, "/vuziri/measurement/deep_link");
    standard->synchronize();
    ASSERT_TRUE(platform::NSUserDefaults::flushAll());
    standard->synchronize();
    const auto file =
        root.path() / "Library/Preferences" / (platform::NSUserDefaults::standardSuiteName() + ".plist");
    ASSERT_TRUE(fs::exists(file));
    EXPECT_FALSE(isExcludedFromBackup(file.string()));
}

TEST_F(UserDefaultsTest, FailedExclusionIsReportedAndTriedAgain) {
    std::shared_ptr<platform::NSError> error;
    EXPECT_FALSE(APMExcludePathFromBackup((root.path() / "missing.plist").string(), &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), ENOENT);
}

// The switch is read once a process: a process of its own reads it from this list.
TEST_F(UserDefaultsTest, FalseSwitchInTheInformationListSelectsUserDefaultsObjects) {
    quorvel::testing::inOwnProcess([&] {
        const auto bundle = root.path() / "Bundle";
        ASSERT_TRUE(platform::PropertyList::writeFileAtomically(
            bundle / "Info.plist", Value(Value::Dictionary{{"UseCFPreferencesLibrary", Value(false)}})));
        platform::NSBundle::setMainBundlePath(bundle);
        EXPECT_FALSE(APMUserDefaults::userPreferenceEnabled());

        APMUserDefaults defaults("com.vuziri.vmp.measurement");
        EXPECT_FALSE(defaults.useCFPreferencesLibrary());
        defaults.setInteger(3, "a");
        EXPECT_EQ(platform::NSUserDefaults::suiteNamed("com.vuziri.vmp.measurement")->objectForKey("a"),
                  Value(3));
        platform::NSBundle::setMainBundlePath({});
    });
}
