#include <gtest/gtest.h>

#include <cmath>

#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"
#include "tests/platform/uikit/touch_fixture.h"

using namespace platform;
using quorvel::testing::TouchDriver;
using Log = std::vector<std::string>;
using State = UIGestureRecognizerState;
using Kind = TouchDriver::Kind;

namespace {

// Answers as told.
struct Delegate : UIGestureRecognizerDelegate {
    bool begin = true, receive = true, together = false;
    bool gestureRecognizerShouldBegin(UIGestureRecognizer&) override { return begin; }
    bool gestureRecognizerShouldReceiveTouch(UIGestureRecognizer&, UITouch&) override { return receive; }
    bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(UIGestureRecognizer&,
                                                                             UIGestureRecognizer&) override {
        return together;
    }
};

class Gestures : public quorvel::testing::TouchTest {
protected:
    // A recogniser whose action writes "name:state" into the log.
    template <typename Recognizer>
    std::shared_ptr<Recognizer> add(const std::shared_ptr<UIView>& view, const std::string& name) {
        auto recognizer = std::make_shared<Recognizer>([this, name](UIGestureRecognizer& r) {
            static const char* names[] = {"possible", "began", "changed", "ended", "cancelled", "failed"};
            const std::string entry = name + ":" + names[int(r.state())];
            // Consecutive changes are one entry.
            if (log.empty() || log.back() != entry || r.state() != State::changed) log.push_back(entry);
        });
        view->addGestureRecognizer(recognizer);
        return recognizer;
    }
};

// Drags that start horizontally begin after 5 points; one that moves 5 points vertically first fails.
class SidewaysPan : public UIPanGestureRecognizer {
public:
    using UIPanGestureRecognizer::UIPanGestureRecognizer;
    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override {
        start_ = touches.front()->locationInView(nullptr);
        UIPanGestureRecognizer::touchesBegan(touches, event);
    }
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override {
        if (state() == State::possible) {
            const CGPoint p = touches.front()->locationInView(nullptr);
            if (std::abs(p.y - start_.y) > 5) return setState(State::failed);
            if (std::abs(p.x - start_.x) > 5) setState(State::began);
        }
        UIPanGestureRecognizer::touchesMoved(touches, event);
    }

private:
    CGPoint start_;
};

}  // namespace

TEST_F(Gestures, ATapFiresOnceOnTheViewTapped) {
    auto left = addView(window, CGRect(0, 0, 100, 100));
    auto right = addView(window, CGRect(100, 0, 100, 100));
    auto leftTap = add<UITapGestureRecognizer>(left, "left");
    add<UITapGestureRecognizer>(right, "right");
    CGPoint where;
    leftTap->addTarget(this, [&](UIGestureRecognizer& r) { where = r.locationInView(left); });
    struct Owner {
        unsigned taps = 0;
        void tapped(UITapGestureRecognizer& tap) { taps += tap.numberOfTapsRequired(); }
    };
    auto owner = std::make_shared<Owner>();
    leftTap->addTarget(owner, &Owner::tapped);

    driver.tap({30, 40});
    EXPECT_EQ(log, (Log{"left:ended"}));
    EXPECT_EQ(where, (CGPoint{30, 40}));
    EXPECT_EQ(owner->taps, 1u);
    EXPECT_EQ(leftTap->state(), State::possible) << "ready for the next tap";
    driver.tap({150, 40});
    EXPECT_EQ(log, (Log{"left:ended", "right:ended"}));
    owner.reset();
    clock->advance(1);
    driver.tap({30, 40});
    EXPECT_EQ(log.back(), "left:ended") << "a target that is gone is skipped";
}

TEST_F(Gestures, ATapFailsWhenTheFingerWandersOrTooManyFingersComeDown) {
    auto view = addView(window, CGRect(0, 0, 375, 667));
    auto tap = add<UITapGestureRecognizer>(view, "tap");
    driver.drag({100, 100}, {100, 112}, 0.1);
    driver.play({{0, Kind::down, {100, 100}},
                 {0.05, Kind::down, {150, 100}, 1},
                 {0.1, Kind::up, {100, 100}},
                 {0.1, Kind::up, {150, 100}, 1}});
    EXPECT_TRUE(log.empty());
    tap->setNumberOfTouchesRequired(2);
    driver.play({{0, Kind::down, {100, 100}},
                 {0.05, Kind::down, {150, 100}, 1},
                 {0.1, Kind::up, {100, 100}},
                 {0.12, Kind::up, {150, 100}, 1}});
    EXPECT_EQ(log, (Log{"tap:ended"}));
    EXPECT_EQ(tap->numberOfTouches(), 0u);
}

TEST_F(Gestures, ADoubleTapNeedsTheSecondTapSoonAndNearby) {
    auto view = addView(window, CGRect(0, 0, 375, 667));
    auto twice = add<UITapGestureRecognizer>(view, "twice");
    twice->setNumberOfTapsRequired(2);
    driver.tap({100, 100});
    clock->advance(0.2);
    driver.tap({104, 100});
    EXPECT_EQ(log, (Log{"twice:ended"}));

    clock->advance(1);
    driver.tap({100, 100});
    clock->advance(UITouch::kMultipleTapInterval + 0.05);
    EXPECT_EQ(twice->state(), State::possible) << "failed and reset";
    driver.tap({100, 100});
    clock->advance(0.1);
    driver.tap({300, 600});
    EXPECT_EQ(log, (Log{"twice:ended"}));
}

TEST_F(Gestures, APanReportsTranslationAndTheDragsSpeed) {
    auto holder = addView(window, CGRect(50, 50, 300, 400));
    auto pan = add<UIPanGestureRecognizer>(holder, "pan");
    CGPoint translation, velocity;
    pan->addTarget(this, [&](UIGestureRecognizer&) {
        translation = pan->translationInView(holder);
        velocity = pan->velocityInView(holder);
    });
    // 240 points right and 120 down in 0.5 s: 480 and 240 points per second.
    driver.drag({100, 100}, {340, 220}, 0.5);
    EXPECT_EQ(log, (Log{"pan:began", "pan:changed", "pan:ended"}));
    EXPECT_NEAR(translation.x, 240, 1e-9);
    EXPECT_NEAR(translation.y, 120, 1e-9);
    EXPECT_NEAR(velocity.x, 480, 480 * 0.05);
    EXPECT_NEAR(velocity.y, 240, 240 * 0.05);

    // In a view turned a quarter, the same drag runs along other axes.
    holder->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    driver.drag({150, 200}, {390, 320}, 0.5);
    EXPECT_NEAR(translation.x, 120, 1e-6);
    EXPECT_NEAR(translation.y, -240, 1e-6);
    EXPECT_NEAR(velocity.y, -480, 480 * 0.05);
}

TEST_F(Gestures, APanBeginsOnlyPastItsThresholdAndStopsWhenTheFingerRests) {
    auto view = addView(window, CGRect(0, 0, 375, 667));
    auto pan = add<UIPanGestureRecognizer>(view, "pan");
    driver.drag({100, 100}, {106, 106}, 0.2);
    EXPECT_TRUE(log.empty()) << "8.5 points is no pan";

    CGPoint velocity{1, 1};
    pan->addTarget(this, [&](UIGestureRecognizer&) { velocity = pan->velocityInView(nullptr); });
    auto script = TouchDriver::dragScript({100, 100}, {200, 100}, 0.2);
    script.back().at += 0.5;  // rests before lifting
    driver.play(script);
    EXPECT_EQ(log.back(), "pan:ended");
    EXPECT_EQ(velocity, (CGPoint{0, 0}));
}

TEST_F(Gestures, SettingTheTranslationMovesItsZeroAndRestartsTheVelocity) {
    auto view = addView(window, CGRect(0, 0, 375, 667));
    auto pan = add<UIPanGestureRecognizer>(view, "pan");
    driver.play({{0, Kind::down, {100, 100}}, {0.1, Kind::move, {150, 100}}});
    EXPECT_EQ(pan->translationInView(view), (CGPoint{50, 0}));
    pan->setTranslation({10, 20}, view);
    EXPECT_EQ(pan->velocityInView(view), (CGPoint{0, 0}));
    driver.play({{0.1, Kind::move, {160, 90}}, {0.2, Kind::up, {160, 90}}});
    EXPECT_EQ(pan->translationInView(view), (CGPoint{20, 10}));
}

TEST_F(Gestures, TheDelegateMayKeepTouchesFromARecogniserOrRefuseItsBeginning) {
    auto view = addRecording(window, "view", CGRect(0, 0, 375, 667));
    auto pan = add<UIPanGestureRecognizer>(view, "pan");
    auto delegate = std::make_shared<Delegate>();
    pan->setDelegate(delegate);

    delegate->begin = false;
    driver.drag({100, 100}, {200, 100}, 0.2);
    EXPECT_EQ(log.front(), "view:began");
    EXPECT_EQ(log.back(), "view:ended") << "a refused recogniser leaves the touches to the view";
    EXPECT_EQ(std::ranges::count(log, "pan:began"), 0);

    log.clear();
    delegate->begin = true;
    delegate->receive = false;
    driver.play({{0, Kind::down, {100, 100}}, {0.1, Kind::move, {200, 100}}});
    EXPECT_EQ(pan->numberOfTouches(), 0u);
    driver.play({{0, Kind::up, {200, 100}}});
    EXPECT_EQ(log, (Log{"view:began", "view:moved", "view:ended"}));
}

TEST_F(Gestures, OneRecogniserWinsATouchUnlessTheyMayShareIt) {
    auto outer = addView(window, CGRect(0, 0, 375, 667));
    auto inner = addView(outer, CGRect(0, 0, 300, 300));
    auto outerPan = add<UIPanGestureRecognizer>(outer, "outer");
    add<UIPanGestureRecognizer>(inner, "inner");
    driver.drag({100, 100}, {200, 100}, 0.2);
    EXPECT_EQ(log, (Log{"inner:began", "inner:changed", "inner:ended"})) << "the deeper view's comes first";

    log.clear();
    auto delegate = std::make_shared<Delegate>();
    delegate->together = true;
    outerPan->setDelegate(delegate);
    driver.drag({100, 100}, {200, 100}, 0.2);
    EXPECT_EQ(std::vector(log.begin(), log.begin() + 2), (Log{"inner:began", "outer:began"}));
    EXPECT_EQ(std::vector(log.end() - 2, log.end()), (Log{"inner:ended", "outer:ended"}));
}

TEST_F(Gestures, ARecogniserThatMustWaitForAnotherToFailDoes) {
    auto view = addView(window, CGRect(0, 0, 375, 667));
    auto once = add<UITapGestureRecognizer>(view, "once");
    auto twice = add<UITapGestureRecognizer>(view, "twice");
    twice->setNumberOfTapsRequired(2);
    once->requireGestureRecognizerToFail(twice);

    driver.tap({100, 100});
    EXPECT_TRUE(log.empty()) << "waits for the double tap to fail";
    clock->advance(UITouch::kMultipleTapInterval + 0.01);
    EXPECT_EQ(log, (Log{"once:ended"}));

    log.clear();
    clock->advance(1);
    driver.tap({100, 100});
    clock->advance(0.1);
    driver.tap({100, 100});
    clock->advance(1);
    EXPECT_EQ(log, (Log{"twice:ended"}));
}

TEST_F(Gestures, ABeginningRecogniserCancelsItsTouchesInTheView) {
    auto view = addRecording(window, "view", CGRect(0, 0, 375, 667));
    auto pan = add<UIPanGestureRecognizer>(view, "pan");
    driver.drag({100, 100}, {200, 100}, 0.2);
    EXPECT_EQ(log.front(), "view:began");
    EXPECT_EQ(std::ranges::count(log, "view:cancelled"), 1);
    EXPECT_EQ(std::ranges::count(log, "view:ended"), 0);
    EXPECT_EQ(std::ranges::count_if(log, [](const auto& e) { return e.starts_with("view:"); }), 3)
        << "began, the move that began the pan, cancelled";

    log.clear();
    pan->setCancelsTouchesInView(false);
    driver.drag({100, 100}, {200, 100}, 0.2);
    EXPECT_EQ(std::ranges::count(log, "view:cancelled"), 0);
    EXPECT_EQ(std::ranges::count(log, "view:moved"), 12);
    EXPECT_EQ(log.back(), "view:ended");
}

TEST_F(Gestures, DelayedTouchesReachTheViewOnlyOnceTheRecogniserFails) {
    auto view = addRecording(window, "view", CGRect(0, 0, 375, 667));
    auto pan = add<UIPanGestureRecognizer>(view, "pan");
    pan->setDelaysTouchesBegan(true);
    driver.play({{0, Kind::down, {100, 100}}, {0.1, Kind::move, {103, 100}}});
    EXPECT_TRUE(log.empty());
    driver.play({{0, Kind::up, {103, 100}}});
    EXPECT_EQ(log, (Log{"view:began", "view:moved", "view:ended"}));

    log.clear();
    driver.drag({100, 100}, {200, 100}, 0.2);
    EXPECT_EQ(log, (Log{"pan:began", "pan:changed", "pan:ended"})) << "the view never heard of it";

    // A double tap holds the end of the first tap back until it knows it is no double tap.
    log.clear();
    view->removeGestureRecognizer(pan);
    add<UITapGestureRecognizer>(view, "twice")->setNumberOfTapsRequired(2);
    driver.tap({100, 100});
    EXPECT_EQ(log, (Log{"view:began"}));
    clock->advance(UITouch::kMultipleTapInterval + 0.01);
    EXPECT_EQ(log, (Log{"view:began", "view:ended"}));
}

TEST_F(Gestures, ADescendantsRecogniserComesBeforeAnAncestorsTap) {
    auto background = addView(window, CGRect(0, 0, 375, 667));
    auto ruler = addView(background, CGRect(0, 300, 375, 100));
    add<UITapGestureRecognizer>(background, "dismiss");
    add<UITapGestureRecognizer>(ruler, "select");
    auto rulerPan = add<UIPanGestureRecognizer>(ruler, "turn");

    driver.tap({100, 350});
    driver.drag({100, 350}, {200, 350}, 0.2);
    EXPECT_EQ(log, (Log{"select:ended", "turn:began", "turn:changed", "turn:ended"}));
    driver.tap({100, 100});
    EXPECT_EQ(log.back(), "dismiss:ended");
    EXPECT_EQ(std::ranges::count(log, "dismiss:ended"), 1);
}

TEST_F(Gestures, ASubclassSetsItsStateFromTheTouches) {
    auto view = addView(window, CGRect(0, 0, 375, 667));
    auto pan = add<SidewaysPan>(view, "sideways");
    driver.drag({100, 100}, {106, 100}, 0.1);
    EXPECT_EQ(log, (Log{"sideways:began", "sideways:changed", "sideways:ended"})) << "6 points sideways";
    log.clear();
    driver.drag({100, 100}, {130, 160}, 0.2);
    EXPECT_TRUE(log.empty()) << "went 5 points down before 5 sideways";
}

TEST_F(Gestures, DisablingARecogniserInProgressCancelsIt) {
    auto view = addView(window, CGRect(0, 0, 375, 667));
    auto pan = add<UIPanGestureRecognizer>(view, "pan");
    driver.play({{0, Kind::down, {100, 100}}, {0.1, Kind::move, {150, 100}}});
    pan->setEnabled(false);
    driver.play({{0, Kind::move, {200, 100}}, {0.1, Kind::up, {200, 100}}});
    EXPECT_EQ(log, (Log{"pan:began", "pan:cancelled"}));
    pan->setEnabled(true);
    driver.drag({100, 100}, {200, 100}, 0.1);
    EXPECT_EQ(log.back(), "pan:ended");
}
