#include "app/screens/timer/timer_button.h"

#include <gtest/gtest.h>

#include "platform/foundation/clock.h"
#include "platform/uikit/views/ui_view_animation.h"
#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using namespace platform;

using Orientation = UIDeviceOrientation;

class TimerButtonFont : public testing::EmulatedDevice {
protected:
    static double size(Orientation orientation, Split split) {
        return TimerButton::titleFont(orientation, split)->pointSize();
    }
    // Full screen, by the orientation given.
    static std::pair<double, double> fullScreen() {
        return {size(Orientation::landscapeLeft, Split::fullSize),
                size(Orientation::faceUp, Split::fullSize)};
    }
};

TEST_F(TimerButtonFont, FullScreenSizesFollowTheModelAndTheGivenOrientation) {
    const std::vector<std::tuple<std::string, bool, double, double>> rows{
        {"iPhone8", false, 108, 108},       {"iPhone8Plus", false, 118, 118},
        {"iPhoneXSMax", true, 118, 118},    {"iPhoneXR", false, 108, 108},
        {"iPadPro10Inch", false, 208, 194}, {"iPadPro11Inch", true, 205, 194},
        {"iPadPro12Inch2", true, 224, 251}, {"iPadPro9Inch", false, 188, 169}};
    for (const auto& [model, simulator, landscape, portrait] : rows) {
        emulate(model, simulator);
        EXPECT_EQ(fullScreen(), std::make_pair(landscape, portrait)) << model;
    }
    EXPECT_EQ(TimerButton::titleFont(Orientation::portrait, Split::fullSize)->fontName(),
              UIFont::fontWithName("HelveticaNeue-UltraLight", 20)->fontName());
    emulate("iPadPro12Inch3", true);
    hold(Orientation::landscapeLeft);
    EXPECT_EQ(size(Orientation::portrait, Split::fullSize), 251) << "the given orientation, not the device's";
}

TEST_F(TimerButtonFont, SplitSizesFollowTheModelAndTheDevicesOwnOrientation) {
    struct Row {
        std::string model;
        double third[2], half[2], twoThirds[2];  // landscape, portrait
    };
    const std::vector<Row> rows{{"iPadPro9Inch", {96, 96}, {142, 142}, {142, 142}},
                                {"iPadPro10Inch", {108, 100}, {148, 148}, {148, 168}},
                                {"iPadPro11Inch", {108, 100}, {168, 168}, {168, 168}},
                                {"iPadPro12Inch", {118, 118}, {194, 194}, {194, 194}},
                                {"iPhone8", {96, 96}, {142, 142}, {142, 142}}};
    for (const auto& row : rows) {
        emulate(row.model);
        for (int i = 0; i < 2; ++i) {
            hold(i == 0 ? Orientation::landscapeRight : Orientation::portrait);
            // The orientation passed is not the one read.
            const Orientation given = i == 0 ? Orientation::portrait : Orientation::landscapeRight;
            EXPECT_EQ(size(given, Split::oneThird), row.third[i]) << row.model << i;
            EXPECT_EQ(size(given, Split::oneHalf), row.half[i]) << row.model << i;
            EXPECT_EQ(size(given, Split::twoThirds), row.twoThirds[i]) << row.model << i;
        }
    }
}

TEST_F(TimerButtonFont, ARotationSetsTheFaceFromALaterWorkItem) {
    auto clock = VirtualClock::install();
    emulate("iPadPro12Inch");
    auto button = std::make_shared<TimerButton>(CGRectMake(0, 0, 600, 260));
    EXPECT_EQ(button->titleLabel()->font()->pointSize(), 251) << "set at creation";
    button->updateForRotation(Orientation::landscapeLeft, Split::fullSize);
    EXPECT_EQ(button->detectedOrientation(), Orientation::landscapeLeft);
    EXPECT_EQ(button->titleLabel()->font()->pointSize(), 251);
    clock->runUntilIdle();
    EXPECT_EQ(button->titleLabel()->font()->pointSize(), 224);
    button->updateForRotation(Orientation::landscapeLeft, Split::oneHalf);
    EXPECT_EQ(button->splitStatus(), Split::oneHalf);
    button.reset();
    clock->runUntilIdle();  // gone before its work item: nothing happens
}

struct RecordingScreen : TimerSettable {
    void toggleTimer(TimerStatus status) override { toggled.push_back(status); }
    void toggleTimer() override { ADD_FAILURE() << "no control calls the plain action"; }
    std::vector<TimerStatus> toggled;
};

TEST_F(TimerButtonFont, TitlesNeverAnimateAndPressedTitlesFade) {
    auto button = std::make_shared<TimerButton>(CGRectMake(0, 0, 300, 120));
    UIView::animateWithDuration(1.0, [&] { button->setTitle("24:59", UIControlStateNormal); });
    EXPECT_EQ(button->currentTitle(), "24:59");
    EXPECT_EQ(button->titleLabel()->text(), "24:59") << "laid out at once";
    EXPECT_TRUE(button->titleLabel()->layer()->animationKeys().empty());
    EXPECT_EQ(button->timerText(), "24:59");

    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    EXPECT_EQ(*button->titleColorForState(UIControlStateHighlighted), *UIColor::colorWithWhite(1, 0.7));
    button->setTitleColor(UIColor::redColor(), UIControlStateSelected);
    EXPECT_EQ(*button->titleColorForState(UIControlStateHighlighted), *UIColor::colorWithWhite(1, 0.7));
    button->setTitleColor(nullptr, UIControlStateNormal);
    EXPECT_EQ(button->titleColorForState(UIControlStateHighlighted),
              button->titleColorForState(UIControlStateNormal))
        << "no colour: the pressed title follows the default";

    button->sendActionsForControlEvents(UIControlEventTouchUpInside);  // no delegate: nothing
    auto screen = std::make_shared<RecordingScreen>();
    button->setDelegate(screen);
    button->setCurrentTimerStatus(TimerStatus::Running);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(screen->toggled, std::vector<TimerStatus>{TimerStatus::Running});
}

}  // namespace
}  // namespace quorvel
