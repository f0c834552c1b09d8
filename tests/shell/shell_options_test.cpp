#include <gtest/gtest.h>

#include <algorithm>

#include "shell/shell_options.h"

using platform::UIDeviceOrientation;
using quorvel::shell::ShellOptions;

namespace {

struct Good {
    std::vector<std::string> arguments;
    std::optional<std::string> device;
    std::optional<UIDeviceOrientation> orientation;
    std::optional<double> split;
};

struct Bad {
    std::vector<std::string> arguments;
    // Words the one-line error must contain: what was wrong and the valid choices.
    std::vector<std::string> mentions;
};

}  // namespace

TEST(ShellOptions, GoodArgumentsChooseTheDeviceOrientationAndSplit) {
    const std::vector<Good> cases = {
        {{}, {}, {}, {}},
        {{"--device", "iPadPro11Inch"}, "iPadPro11Inch", {}, {}},
        {{"--device=iPhoneX"}, "iPhoneX", {}, {}},
        {{"--orientation", "landscape-left"}, {}, UIDeviceOrientation::landscapeLeft, {}},
        {{"--orientation=face-down"}, {}, UIDeviceOrientation::faceDown, {}},
        {{"--device", "iPadPro9Inch", "--split", "1/3"}, "iPadPro9Inch", {}, 1.0 / 3},
        {{"--split=2/3", "--device=iPadPro12Inch"}, "iPadPro12Inch", {}, 2.0 / 3},
        // The whole screen is a share every model has; the device may also be the remembered one.
        {{"--device", "iPhone8", "--split", "full"}, "iPhone8", {}, 1.0},
        {{"--split", "1/2"}, {}, {}, 0.5},
        // The last of a repeated option wins.
        {{"--device", "iPhone8", "--device", "iPhoneSE"}, "iPhoneSE", {}, {}},
    };
    for (const auto& c : cases) {
        const auto options = ShellOptions::parse(c.arguments);
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_FALSE(options.exit.has_value());
        EXPECT_EQ(options.device, c.device);
        EXPECT_EQ(options.orientation, c.orientation);
        EXPECT_EQ(options.split, c.split);
    }
}

TEST(ShellOptions, BadArgumentsExitWithStatusTwoAndOneLineNamingTheChoices) {
    const std::vector<Bad> cases = {
        {{"--device", "Nokia3310"}, {"Nokia3310", "iPhone8", "iPadPro12Inch3"}},
        {{"--device=iphone8"}, {"iphone8", "iPhone8"}},
        {{"--device"}, {"--device", "iPhoneSE"}},
        {{"--orientation", "sideways"}, {"sideways", "portrait", "landscape-right", "face-up"}},
        {{"--orientation"}, {"--orientation", "upside-down"}},
        {{"--split", "3/4"}, {"3/4", "full", "2/3", "1/2", "1/3"}},
        {{"--split", "1/2", "--device", "iPhone8"}, {"iPhone8", "tablet", "iPadPro11Inch"}},
        {{"--fullscreen"}, {"--fullscreen", "--device", "--list-devices", "--help"}},
        {{"iPhone8"}, {"iPhone8", "--device"}},
        {{"-d", "iPhone8"}, {"-d"}},
    };
    for (const auto& c : cases) {
        const auto options = ShellOptions::parse(c.arguments);
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        ASSERT_TRUE(options.exit.has_value());
        EXPECT_EQ(options.exit->exitStatus, 2);
        const std::string& text = options.exit->output;
        EXPECT_TRUE(text.starts_with("quorvel: ")) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_TRUE(text.ends_with("\n")) << text;
        for (const auto& word : c.mentions)
            EXPECT_NE(text.find(word), std::string::npos) << word << " in " << text;
    }
}

TEST(ShellOptions, HelpAndTheDeviceListAnswerAtOnceWithStatusZero) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"--device", "iPhone8", "--help"}, {"--help", "--no-such-option"}}) {
        const auto options = ShellOptions::parse(arguments);
        ASSERT_TRUE(options.exit.has_value());
        EXPECT_EQ(options.exit->exitStatus, 0);
        EXPECT_NE(options.exit->output.find("--orientation NAME"), std::string::npos);
    }
    const auto list = ShellOptions::parse({"--list-devices"});
    ASSERT_TRUE(list.exit.has_value());
    EXPECT_EQ(list.exit->exitStatus, 0);
    const std::string& text = list.exit->output;
    EXPECT_NE(text.find("iPhone8          iPhone 8, 375x667 points at 2x\n"), std::string::npos) << text;
    EXPECT_NE(text.find("iPadPro12Inch3"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 14);
}
