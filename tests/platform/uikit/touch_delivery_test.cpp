#include <gtest/gtest.h>

#include "platform/uikit/touches/ui_touch.h"
#include "tests/platform/uikit/touch_fixture.h"

using namespace platform;
using quorvel::testing::RecordingView;
using quorvel::testing::TouchDriver;
using Log = std::vector<std::string>;

namespace {

class TouchDelivery : public quorvel::testing::TouchTest {};

// Remembers every touch and what it said when it arrived.
class ProbeView : public UIView {
public:
    using UIView::UIView;
    struct Seen {
        UITouchPhase phase;
        CGPoint location, previous;
        double timestamp;
        unsigned taps;
    };
    void touchesBegan(const UITouchSet& t, const UIEvent*) override { note(t); }
    void touchesMoved(const UITouchSet& t, const UIEvent*) override { note(t); }
    void touchesEnded(const UITouchSet& t, const UIEvent*) override { note(t); }
    std::vector<Seen> seen;
    std::shared_ptr<UITouch> touch;

private:
    void note(const UITouchSet& touches) {
        touch = touches.front();
        seen.push_back({touch->phase(), touch->locationInView(this), touch->previousLocationInView(this),
                        touch->timestamp(), touch->tapCount()});
    }
};

}  // namespace

TEST_F(TouchDelivery, ReachesTheHitViewAndPassesUpWhatItDoesNotHandle) {
    auto outer = addRecording(window, "outer", CGRect(0, 0, 300, 300));
    auto middle = addRecording(outer, "middle", CGRect(50, 50, 200, 200), false);
    auto inner = addRecording(middle, "inner", CGRect(50, 50, 100, 100), false);
    auto side = addRecording(outer, "side", CGRect(260, 0, 40, 40));

    driver.play({{0, TouchDriver::Kind::down, {120, 120}},
                 {0.1, TouchDriver::Kind::move, {130, 125}},
                 {0.2, TouchDriver::Kind::up, {130, 125}}});
    driver.tap({280, 20});
    EXPECT_EQ(log, (Log{"outer:began", "outer:moved", "outer:ended", "side:began", "side:ended"}));
}

TEST_F(TouchDelivery, TouchesSayWhereAndWhenInTheViewsCoordinates) {
    auto holder = addView(window, CGRect(100, 200, 200, 200));
    auto probe = addView<ProbeView>(holder, CGRect(10, 10, 100, 100));
    const double start = clock->now();
    driver.play({{0, TouchDriver::Kind::down, {120, 220}},
                 {0.25, TouchDriver::Kind::move, {140, 230}},
                 {0.5, TouchDriver::Kind::up, {150, 230}}});
    ASSERT_EQ(probe->seen.size(), 3u);
    EXPECT_EQ(probe->seen[0].location, (CGPoint{10, 10}));
    EXPECT_EQ(probe->seen[1].location, (CGPoint{30, 20}));
    EXPECT_EQ(probe->seen[1].previous, (CGPoint{10, 10}));
    EXPECT_EQ(probe->seen[2].phase, UITouchPhase::ended);
    EXPECT_DOUBLE_EQ(probe->seen[1].timestamp, start + 0.25);
    EXPECT_EQ(probe->touch->view(), probe);
    EXPECT_EQ(probe->touch->window(), window);
    EXPECT_EQ(probe->touch->locationInView(nullptr), (CGPoint{150, 230}));
}

TEST_F(TouchDelivery, QuickTapsAtOnePlaceCountUp) {
    auto probe = addView<ProbeView>(window, CGRect(0, 0, 375, 667));
    auto taps = [&] { return probe->seen.back().taps; };
    driver.tap({100, 100});
    EXPECT_EQ(taps(), 1u);
    clock->advance(0.2);
    driver.tap({110, 105});
    EXPECT_EQ(taps(), 2u);
    clock->advance(0.2);
    driver.tap({100, 100});
    EXPECT_EQ(taps(), 3u);
    clock->advance(0.2);
    driver.tap({300, 500});
    EXPECT_EQ(taps(), 1u) << "too far away";
    clock->advance(UITouch::kMultipleTapInterval + 0.01);
    driver.tap({300, 500});
    EXPECT_EQ(taps(), 1u) << "too late";
}

TEST_F(TouchDelivery, HiddenTransparentAndNonInteractiveViewsLetTouchesThrough) {
    auto back = addRecording(window, "back", CGRect(0, 0, 200, 200));
    auto front = addRecording(window, "front", CGRect(0, 0, 200, 200));
    auto child = addRecording(front, "child", CGRect(0, 0, 100, 100));
    const std::vector<std::function<void(bool)>> blockers = {
        [&](bool on) { front->setHidden(on); },
        [&](bool on) { front->setAlpha(on ? 0.005 : 1); },
        [&](bool on) { front->setUserInteractionEnabled(!on); },
    };
    for (const auto& block : blockers) {
        block(true);
        log.clear();
        driver.tap({50, 50});
        EXPECT_EQ(log, (Log{"back:began", "back:ended"}));
        block(false);
        log.clear();
        driver.tap({50, 50});
        EXPECT_EQ(log, (Log{"child:began", "child:ended"}));
    }
    front->setAlpha(0.01);
    log.clear();
    driver.tap({150, 150});
    EXPECT_EQ(log, (Log{"front:began", "front:ended"})) << "alpha 0.01 still takes touches";
}

TEST_F(TouchDelivery, TheFrontmostShownWindowUnderTheFingerTakesIt) {
    auto main = addRecording(window, "main", CGRect(0, 0, 375, 667));
    auto alert = std::make_shared<UIWindow>(CGRect(50, 100, 200, 200));
    alert->setWindowLevel(UIWindowLevelAlert);
    auto card = addRecording(alert, "card", CGRect(0, 0, 200, 200));
    alert->makeKeyAndVisible();

    driver.tap({60, 110});
    driver.tap({10, 10});
    alert->setHidden(true);
    driver.tap({60, 110});
    EXPECT_EQ(log, (Log{"card:began", "card:ended", "main:began", "main:ended", "main:began", "main:ended"}));
}

TEST_F(TouchDelivery, TheSystemCancelsFingersItTakes) {
    auto view = addRecording(window, "view", CGRect(0, 0, 375, 667));
    driver.play({{0, TouchDriver::Kind::down, {10, 10}},
                 {0.1, TouchDriver::Kind::down, {100, 100}, 1},
                 {0.2, TouchDriver::Kind::cancel}});
    EXPECT_EQ(log, (Log{"view:began", "view:began", "view:cancelled"}));
    EXPECT_FALSE(driver.input().isDown(0));
}
