#include <gtest/gtest.h>

#include "platform/foundation/ns_user_defaults.h"
#include "shell/shell_settings.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel::shell;
using platform::NSUserDefaults;
using platform::UIDeviceOrientation;

namespace {

ShellOptions parsed(const std::vector<std::string>& arguments) {
    auto options = ShellOptions::parse(arguments);
    EXPECT_FALSE(options.exit.has_value());
    return options;
}

DeviceSetup resolved(const std::vector<std::string>& arguments) {
    auto result = ShellSettings::resolve(parsed(arguments));
    EXPECT_TRUE(std::holds_alternative<DeviceSetup>(result));
    return std::holds_alternative<DeviceSetup>(result) ? std::get<DeviceSetup>(result) : DeviceSetup{};
}

// What the next start of the program reads: the file, not this process's memory.
void restart() {
    ASSERT_TRUE(NSUserDefaults::flushAll());
    NSUserDefaults::resetAllForTesting();
}

class ShellSettingsTest : public ::testing::Test {
protected:
    quorvel::testing::TempDataRoot root;
};

}  // namespace

TEST_F(ShellSettingsTest, AFirstStartShowsAnUprightIPhone8) {
    const DeviceSetup setup = resolved({});
    EXPECT_EQ(setup.profile.identifier, "iPhone8");
    EXPECT_EQ(setup.orientation, UIDeviceOrientation::portrait);
    EXPECT_EQ(setup.split, 1);
}

TEST_F(ShellSettingsTest, TheNextStartShowsTheDeviceUsedLastUnlessTheCommandLineSaysOtherwise) {
    ShellSettings::remember(
        resolved({"--device", "iPadPro11Inch", "--orientation", "landscape-right", "--split", "1/3"}));
    restart();
    const DeviceSetup again = resolved({});
    EXPECT_EQ(again.profile.identifier, "iPadPro11Inch");
    EXPECT_EQ(again.orientation, UIDeviceOrientation::landscapeRight);
    EXPECT_DOUBLE_EQ(again.split, 1.0 / 3);

    const DeviceSetup turned = resolved({"--orientation", "face-up", "--split", "full"});
    EXPECT_EQ(turned.profile.identifier, "iPadPro11Inch");
    EXPECT_EQ(turned.orientation, UIDeviceOrientation::faceUp);
    EXPECT_EQ(turned.split, 1);

    // A phone cannot keep the tablet's split share.
    const DeviceSetup phone = resolved({"--device", "iPhoneXR"});
    EXPECT_EQ(phone.orientation, UIDeviceOrientation::landscapeRight);
    EXPECT_EQ(phone.split, 1);
}

TEST_F(ShellSettingsTest, ASplitAskedOfARememberedPhoneIsTheOneLineErrorWithStatusTwo) {
    ShellSettings::remember(resolved({"--device", "iPhoneSE"}));
    const auto result = ShellSettings::resolve(parsed({"--split", "1/2"}));
    ASSERT_TRUE(std::holds_alternative<ShellOptions::Exit>(result));
    const auto& exit = std::get<ShellOptions::Exit>(result);
    EXPECT_EQ(exit.exitStatus, 2);
    EXPECT_NE(exit.output.find("iPhoneSE"), std::string::npos);
    EXPECT_NE(exit.output.find("iPadPro9Inch"), std::string::npos);
}

TEST_F(ShellSettingsTest, RememberedValuesThatNameNothingFallBackToTheDefaults) {
    auto defaults = NSUserDefaults::suiteNamed(ShellSettings::suiteName());
    defaults->setString("iPadPro9Inch", "Device");
    defaults->setInteger(3, "Orientation");  // a number where a name belongs
    defaults->setString("3/4", "Split");
    restart();
    const DeviceSetup setup = resolved({});
    EXPECT_EQ(setup.profile.identifier, "iPadPro9Inch");
    EXPECT_EQ(setup.orientation, UIDeviceOrientation::portrait);
    EXPECT_EQ(setup.split, 1);

    NSUserDefaults::suiteNamed(ShellSettings::suiteName())->setString("Tricorder", "Device");
    EXPECT_EQ(resolved({}).profile.identifier, "iPhone8");
    // The app's own suite is left alone.
    EXPECT_FALSE(NSUserDefaults::persistentDomainForName(NSUserDefaults::standardSuiteName()).has_value());
}
