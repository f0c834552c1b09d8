#include "platform/uikit/controls/ui_switch.h"

#include <gtest/gtest.h>

#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"
#include "tests/platform/uikit/control_events.h"
#include "tests/platform/uikit/touch_fixture.h"

using namespace platform;
using Log = std::vector<std::string>;

namespace {

// A switch at (100, 100), 51 × 31; its thumb's centre is at x 115.5 off and 135.5 on.
class SwitchTouches : public quorvel::testing::TouchTest {
protected:
    void SetUp() override {
        TouchTest::SetUp();
        window->addSubview(toggle);
        quorvel::testing::logControlEvents(*toggle, log);
        std::erase_if(log, [](const auto&) { return true; });
    }
    size_t changes() const { return std::ranges::count(log, "value"); }
    std::shared_ptr<UISwitch> toggle = std::make_shared<UISwitch>(CGRect(100, 100, 300, 300));
};

}  // namespace

TEST_F(SwitchTouches, KeepsItsSize) {
    EXPECT_EQ(toggle->frame(), CGRect(100, 100, 51, 31));
    toggle->setFrame(CGRect(10, 20, 80, 80));
    EXPECT_EQ(toggle->frame(), CGRect(10, 20, 51, 31));
    EXPECT_EQ(toggle->intrinsicContentSize(), UISwitch::kSize);
}

TEST_F(SwitchTouches, ATapFlipsItAndTellsTheTargetsOnce) {
    driver.tap({125, 115});
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(changes(), 1u);
    clock->advance(1);
    driver.tap({125, 115});
    EXPECT_FALSE(toggle->isOn());
    EXPECT_EQ(changes(), 2u);

    toggle->setOn(true, true);
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(changes(), 2u) << "code changes send nothing";
    driver.play({{0, quorvel::testing::TouchDriver::Kind::down, {125, 115}},
                 {0.1, quorvel::testing::TouchDriver::Kind::up, {125, 300}}});
    EXPECT_TRUE(toggle->isOn()) << "let go outside";
}

TEST_F(SwitchTouches, TheThumbIsSetBySideItIsLetGoOn) {
    driver.drag({115, 115}, {150, 115}, 0.2);
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(changes(), 1u);
    using Kind = quorvel::testing::TouchDriver::Kind;
    driver.play({{0, Kind::down, {135, 115}},
                 {0.1, Kind::move, {120, 115}},
                 {0.2, Kind::move, {132, 115}},
                 {0.3, Kind::up, {132, 115}}});
    EXPECT_TRUE(toggle->isOn()) << "dragged off and back, let go on the on side";
    EXPECT_EQ(changes(), 1u);
    driver.drag({135, 115}, {90, 115}, 0.2);
    EXPECT_FALSE(toggle->isOn());
    EXPECT_EQ(changes(), 2u);
}

TEST_F(SwitchTouches, ItKeepsASidewaysDragFromAnAncestorsPan) {
    int panned = 0;
    window->addGestureRecognizer(
        std::make_shared<UIPanGestureRecognizer>([&](UIGestureRecognizer&) { ++panned; }));
    driver.drag({115, 115}, {160, 115}, 0.2);
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(panned, 0);
    driver.drag({125, 115}, {125, 250}, 0.3);
    EXPECT_GT(panned, 0) << "a drag downwards is the ancestor's";
    EXPECT_EQ(log.back(), "cancel");
}
