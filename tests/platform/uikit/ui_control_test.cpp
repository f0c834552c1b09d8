#include "platform/uikit/controls/ui_control.h"

#include <gtest/gtest.h>

#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"
#include "tests/platform/uikit/control_events.h"
#include "tests/platform/uikit/touch_fixture.h"

using namespace platform;
using quorvel::testing::TouchDriver;
using Kind = TouchDriver::Kind;
using Log = std::vector<std::string>;

namespace {

// A control at (100, 100) of 100 × 50 whose events go into the log; "inside" reaches 70 points out.
class ControlEvents : public quorvel::testing::TouchTest {
protected:
    void SetUp() override {
        TouchTest::SetUp();
        window->addSubview(control);
        quorvel::testing::logControlEvents(*control, log);
    }
    std::shared_ptr<UIControl> control = std::make_shared<UIControl>(CGRect(100, 100, 100, 50));
};

}  // namespace

TEST_F(ControlEvents, ATapIsTouchDownThenTouchUpInsideAndHighlightsMeanwhile) {
    bool highlightedOnDown = false;
    control->addTarget(
        this, [&](UIControl& c) { highlightedOnDown = c.isHighlighted() && c.isTouchInside(); },
        UIControlEventTouchDown);
    driver.tap({150, 125});
    EXPECT_EQ(log, (Log{"down", "up-inside"}));
    EXPECT_TRUE(highlightedOnDown);
    EXPECT_FALSE(control->isHighlighted());
    EXPECT_FALSE(control->isTracking());

    log.clear();
    clock->advance(0.1);
    driver.tap({152, 125});
    EXPECT_EQ(log, (Log{"down", "repeat", "up-inside"})) << "the second tap of a double tap";
}

TEST_F(ControlEvents, ADragPastTheMarginExitsAndReleasesOutside) {
    driver.play({{0, Kind::down, {150, 125}}, {0.1, Kind::move, {150, 210}}});
    EXPECT_TRUE(control->isHighlighted()) << "60 points below is still inside";
    driver.play({{0, Kind::move, {150, 230}}});
    EXPECT_FALSE(control->isHighlighted());
    driver.play({{0, Kind::up, {150, 230}}});
    EXPECT_EQ(log, (Log{"down", "inside", "outside", "exit", "up-outside"}));
}

TEST_F(ControlEvents, ADragBackAcrossTheEdgeEntersAndReleasesInside) {
    driver.play({{0, Kind::down, {150, 125}},
                 {0.1, Kind::move, {20, 125}},
                 {0.2, Kind::move, {40, 125}},
                 {0.3, Kind::up, {40, 125}}});
    EXPECT_EQ(log, (Log{"down", "outside", "exit", "inside", "enter", "up-inside"}));
}

TEST_F(ControlEvents, AnAncestorsPanTakingTheTouchCancelsIt) {
    auto pan = std::make_shared<UIPanGestureRecognizer>();
    window->addGestureRecognizer(pan);
    driver.drag({150, 125}, {250, 125}, 0.2);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "down");
    EXPECT_EQ(log.back(), "cancel");
    EXPECT_EQ(std::ranges::count(log, "up-inside"), 0);
    EXPECT_FALSE(control->isHighlighted());
}

TEST_F(ControlEvents, AControlsActionComesBeforeAnAncestorsTap) {
    auto background = addView(window, CGRect(0, 0, 375, 667));
    background->addSubview(control);
    int dismissed = 0;
    background->addGestureRecognizer(
        std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++dismissed; }));
    driver.tap({150, 125});
    EXPECT_EQ(log, (Log{"down", "up-inside"}));
    EXPECT_EQ(dismissed, 0);
    driver.tap({150, 400});
    EXPECT_EQ(dismissed, 1);
    control->setEnabled(false);
    clock->advance(1);
    driver.tap({150, 125});
    EXPECT_EQ(dismissed, 2) << "a disabled control gives way";
}

using ButtonTouches = quorvel::testing::TouchTest;

TEST_F(ButtonTouches, PressingShowsTheHighlightedTitleAndReleasingActs) {
    auto button = UIButton::buttonWithType(UIButtonType::custom);
    button->setFrame(CGRect(50, 50, 120, 44));
    button->setTitleColor(UIColor::redColor(), UIControlStateHighlighted);
    window->addSubview(button);
    int saved = 0;
    std::shared_ptr<UIColor> pressedColour;
    button->addTarget(
        button.get(), [&](UIControl&) { ++saved; }, UIControlEventTouchUpInside);
    button->addTarget(
        button.get(), [&](UIControl&) { pressedColour = button->titleLabel()->textColor(); },
        UIControlEventTouchDown);
    driver.tap({100, 70});
    EXPECT_EQ(saved, 1);
    EXPECT_TRUE(pressedColour && pressedColour->isEqual(UIColor::redColor()));
    EXPECT_TRUE(button->titleLabel()->textColor()->isEqual(UIColor::whiteColor()));
    button->removeTarget(button.get(), UIControlEventTouchUpInside);
    clock->advance(1);
    driver.tap({100, 70});
    EXPECT_EQ(saved, 1);
}
