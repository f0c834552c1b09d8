#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "analytics/foundation/apm_application_state.h"
#include "analytics/foundation/apm_data_additions.h"
#include "analytics/foundation/apm_dictionary_additions.h"
#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/foundation/apm_string_additions.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/foundation/property_list.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FilesTest : public ::testing::Test {
protected:
    quorvel::testing::TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
};

}  // namespace

TEST_F(FilesTest, PathsLiveUnderTheDataRootAndAddPlistOnce) {
    EXPECT_EQ(APMPreferencesPlistPath("com.vuziri.vmp.measurement"),
              (root.path() / "Library/Preferences/com.vuziri.vmp.measurement.plist").string());
    EXPECT_EQ(
        APMMeasurementDirectoryFilePath("vuziri-app-measurement.sql"),
        (root.path() / "Library/Application Support/Vuziri/Measurement/vuziri-app-measurement.sql").string());
    EXPECT_EQ(APMMeasurementDirectoryPlistPath("a.plist"), APMMeasurementDirectoryPlistPath("a"));
    EXPECT_EQ(APMPreferencesPlistPath(""), "");
    EXPECT_EQ(APMMeasurementDirectoryPlistPath(""), "");
}

TEST_F(FilesTest, MoveWithoutOverwriteDeletesTheSourceAndKeepsTheDestination) {
    const fs::path source = root.path() / "source.plist";
    const fs::path destination = root.path() / "deep/folder/destination.plist";
    writeFile(source, "new");
    writeFile(destination, "old");
    EXPECT_TRUE(APMMoveFileAtPath(source, destination, false));
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(readFile(destination), "old");

    writeFile(source, "newer");
    EXPECT_TRUE(APMMoveFileAtPath(source, destination, true));
    EXPECT_EQ(readFile(destination), "newer");
}

TEST_F(FilesTest, MoveCreatesTheFolderAndRefusesFolders) {
    const fs::path source = root.path() / "file";
    writeFile(source, "x");
    EXPECT_TRUE(APMMoveFileAtPath(source, root.path() / "new/parent/file", false));
    EXPECT_EQ(readFile(root.path() / "new/parent/file"), "x");

    EXPECT_TRUE(APMMoveFileAtPath(root.path() / "missing", root.path() / "anywhere", false));
    EXPECT_FALSE(APMMoveFileAtPath(root.path() / "new", root.path() / "moved", false));
    writeFile(source, "y");
    EXPECT_FALSE(APMMoveFileAtPath(source, root.path() / "new", true));
    EXPECT_EQ(readFile(source), "y");
    EXPECT_FALSE(APMMoveFileAtPath("", source, true));
}

TEST_F(FilesTest, DeletingAnEmptyPathIsAnArgumentError) {
    std::shared_ptr<platform::NSError> error;
    EXPECT_FALSE(APMDeleteFileAtPath("", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), kAPMErrorDomain);
    EXPECT_EQ(error->code(), 1);
    EXPECT_EQ(error->localizedDescription(), "Received empty path for deleting file");

    error.reset();
    EXPECT_FALSE(APMDeleteFileAtPath((root.path() / "missing").string(), &error));
    EXPECT_TRUE(error);
}

TEST_F(FilesTest, SuitePlistMovesToTheMeasurementFolderAndBack) {
    const std::string suite = "com.vuziri.vmp.measurement";
    auto defaults = platform::NSUserDefaults::suiteNamed(suite);
    defaults->setObject(platform::Value(42), "counter");
    ASSERT_TRUE(platform::NSUserDefaults::flushAll());
    ASSERT_TRUE(fs::exists(APMPreferencesPlistPath(suite)));

    EXPECT_TRUE(APMMoveSuitePlistToMeasurementDirectory(suite));
    EXPECT_FALSE(fs::exists(APMPreferencesPlistPath(suite)));
    EXPECT_TRUE(fs::exists(APMMeasurementDirectoryPlistPath(suite)));
    EXPECT_FALSE(platform::NSUserDefaults::suiteNamed(suite)->objectForKey("counter"));

    EXPECT_TRUE(APMMoveSuitePlistBackToPreferences(suite));
    EXPECT_FALSE(fs::exists(APMMeasurementDirectoryPlistPath(suite)));
    EXPECT_EQ(platform::NSUserDefaults::suiteNamed(suite)->objectForKey("counter"), platform::Value(42));
    EXPECT_FALSE(APMMoveSuitePlistToMeasurementDirectory(""));
}

TEST(APMDigests, MD5OfKnownStrings) {
    EXPECT_EQ(apm_MD5String(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(apm_MD5String("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(apm_MD5String("The quick brown fox jumps over the lazy dog"),
              "9e107d9d372bb6826bd81d3542a419d6");
    EXPECT_EQ(apm_MD5String("\xff\xfe"), std::nullopt);
    EXPECT_EQ(apm_MD5Data(std::string_view("abc")).size(), 16u);
}

TEST(APMDigests, FingerprintIsTheDigestsLastEightBytesBigEndian) {
    EXPECT_EQ(apm_64LeastSignificantBits({0x01, 0x02, 0x03}), 66051);
    EXPECT_EQ(apm_64LeastSignificantBits({}), 0);
    EXPECT_EQ(apm_64LeastSignificantBits({0xAA, 0, 0, 0, 0, 0, 0, 0, 0x01}), 1);
    EXPECT_EQ(apm_64LSBMD5(std::string_view("")), static_cast<std::int64_t>(0xe9800998ecf8427eULL));
}

TEST(APMStrings, UTF32LengthCountsCodePoints) {
    EXPECT_EQ(apm_UTF32Length("😀"), 1u);
    EXPECT_EQ(apm_UTF32Length("aé😀"), 3u);
    EXPECT_EQ(apm_UTF32Length(""), 0u);

    std::uint8_t buffer[8] = {};
    EXPECT_TRUE(apm_getUTF32Bytes("a😀b", buffer, sizeof buffer));
    EXPECT_EQ(buffer[0], 'a');
    EXPECT_EQ((buffer[4] | buffer[5] << 8 | buffer[6] << 16), 0x1F600);
    EXPECT_FALSE(apm_getUTF32Bytes("", buffer, sizeof buffer));
}

TEST(APMStrings, UnescapingTurnsPlusIntoSpaceAndRefusesBadEscapes) {
    EXPECT_EQ(apm_stringByUnescapingFromURLArgument("a+b%20c%2B"), "a b c+");
    EXPECT_EQ(apm_stringByUnescapingFromURLArgument("x%zz"), std::nullopt);
    EXPECT_EQ(apm_stringByUnescapingFromURLArgument("x%4"), std::nullopt);
    EXPECT_EQ(apm_stringByUnescapingFromURLArgument("%C3%A9"), "é");
    EXPECT_EQ(apm_stringByUnescapingFromURLArgument("%FF"), std::nullopt);
}

TEST(APMStrings, BooleanTextIsReadByItsFirstSignificantCharacter) {
    EXPECT_TRUE(apm_boolValue(" \t+007"));
    EXPECT_TRUE(apm_boolValue("true"));
    EXPECT_TRUE(apm_boolValue("Yes"));
    EXPECT_FALSE(apm_boolValue("-000"));
    EXPECT_FALSE(apm_boolValue("no"));
    EXPECT_FALSE(apm_boolValue("  "));
    EXPECT_FALSE(apm_boolValue(""));
}

TEST(APMQueries, FirstOccurrenceWinsAndBadPiecesBecomeEmpty) {
    const auto arguments = apm_dictionaryWithHttpArgumentsString("a=1&a=2&b&c=x%zz");
    EXPECT_EQ(arguments, (std::map<std::string, std::string>{{"a", "1"}, {"b", ""}, {"c", ""}}));
    EXPECT_TRUE(apm_dictionaryWithHttpArgumentsString("").empty());
    EXPECT_EQ(apm_dictionaryWithHttpArgumentsString("k=v=w&&x+y=1%2B1").at("x y"), "1+1");
}

TEST(APMQueries, ReservedCharactersInsideKeysAndValuesCannotSplitTheQuery) {
    const platform::Value::Dictionary parameters{
        {"app_instance_id", "a&b=c+d"}, {"platform", "ios"}, {"vmp_version", 81500}};
    const std::string query = apm_queryString(parameters);
    EXPECT_EQ(query, "app_instance_id=a%26b%3Dc%2Bd&platform=ios&vmp_version=81500");
    const auto back = apm_dictionaryWithHttpArgumentsString(query);
    EXPECT_EQ(back.at("app_instance_id"), "a&b=c+d");
    EXPECT_EQ(back.size(), 3u);
}

TEST(APMApplicationState, PrewarmLaunchReadsTheEnvironmentAsABoolean) {
    ::unsetenv("ActivePrewarm");
    EXPECT_FALSE(APMIsActivePrewarmLaunch());
    ::setenv("ActivePrewarm", "1", 1);
    EXPECT_TRUE(APMIsActivePrewarmLaunch());
    ::setenv("ActivePrewarm", "  YES", 1);
    EXPECT_TRUE(APMIsActivePrewarmLaunch());
    ::setenv("ActivePrewarm", "0", 1);
    EXPECT_FALSE(APMIsActivePrewarmLaunch());
    ::unsetenv("ActivePrewarm");
}

TEST_F(FilesTest, SceneManifestIsReadFromTheMainBundlesInformationList) {
    EXPECT_FALSE(APMAppUsesSceneManifest());
    const auto bundle = root.path() / "Bundle";
    ASSERT_TRUE(platform::PropertyList::writeFileAtomically(
        bundle / "Info.plist", platform::Value(platform::Value::Dictionary{
                                   {"UIApplicationSceneManifest", platform::Value::Dictionary{}}})));
    platform::NSBundle::setMainBundlePath(bundle);
    EXPECT_TRUE(APMAppUsesSceneManifest());
    platform::NSBundle::setMainBundlePath({});
}
