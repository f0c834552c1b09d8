#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/quartzcore/ca_animation_group.h"
#include "platform/quartzcore/ca_basic_animation.h"
#include "platform/quartzcore/ca_keyframe_animation.h"
#include "platform/quartzcore/ca_layer.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/quartzcore/ca_spring_animation.h"
#include "platform/quartzcore/ca_transaction.h"
#include "platform/quartzcore/ca_transition.h"

using namespace platform;

namespace {

using Timing = CAMediaTimingFunctionName;

// The virtual clock counts seconds since 2001, so a time carries about 1e-7 s of rounding; values read
// mid-animation are compared with a margin to match.
constexpr double kTimeSlack = 1e-6;

std::shared_ptr<CAMediaTimingFunction> timing(Timing name) {
    return CAMediaTimingFunction::functionWithName(name);
}

// Records the stop messages an animation's delegate receives.
class StopRecorder : public CAAnimationDelegate {
public:
    void animationDidStart(const std::shared_ptr<CAAnimation>&) override { ++starts; }
    void animationDidStop(const std::shared_ptr<CAAnimation>& animation, bool finished) override {
        stops.push_back(finished);
        const auto handler = animation->valueForKey("handler");
        if (handler.has_value()) std::any_cast<std::function<void()>>(handler)();
    }
    int starts = 0;
    std::vector<bool> stops;
};

std::shared_ptr<CABasicAnimation> basic(const std::string& keyPath, CAValue from, CAValue to,
                                        double duration) {
    auto a = CABasicAnimation::animationWithKeyPath(keyPath);
    a->setFromValue(std::move(from));
    a->setToValue(std::move(to));
    a->setDuration(duration);
    return a;
}

class AnimationTest : public ::testing::Test {
protected:
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<CALayer> layer = CALayer::layer();
};
using TimingFunctions = AnimationTest;
using AnimationPresentation = AnimationTest;
using AnimationTiming = AnimationTest;
using AnimationCompletion = AnimationTest;
using AnimationTransaction = AnimationTest;

}  // namespace

TEST_F(TimingFunctions, SolvedExactlyForTheCurveParameter) {
    // Control x at 1/3 and 2/3 make x(s) = s, so y is the cubic in x itself.
    const auto f = CAMediaTimingFunction::functionWithControlPoints(1.0 / 3, 0.9, 2.0 / 3, -0.2);
    const double x = 0.3;
    const double y = 3 * 0.49 * x * 0.9 + 3 * 0.7 * x * x * -0.2 + x * x * x;
    EXPECT_NEAR(f->solve(x), y, 1e-14);
    // Ease-out at parameter 0.5: x = 0.3425, y = 0.5.
    EXPECT_NEAR(timing(Timing::easeOut)->solve(0.3425), 0.5, 1e-14);
    EXPECT_NEAR(timing(Timing::easeInEaseOut)->solve(0.5), 0.5, 1e-15);
    EXPECT_NEAR(timing(Timing::easeInEaseOut)->solve(0.2) + timing(Timing::easeInEaseOut)->solve(0.8), 1,
                1e-14);
    EXPECT_EQ(timing(Timing::linear)->solve(0.37), 0.37);
    EXPECT_LT(timing(Timing::easeIn)->solve(0.5), 0.5);
}

TEST_F(AnimationPresentation, BasicRingRefillIsLinearAndModelChangesAtOnce) {
    auto ring = CAShapeLayer::layer();
    ring->setStrokeEnd(0.8);  // the model takes the final value at once
    auto fill = basic("strokeEnd", 0.0, 0.8, 2.0);
    fill->setTimingFunction(timing(Timing::linear));
    std::vector<bool> finished;
    fill->setCompletion([&](bool f) { finished.push_back(f); });
    ring->addAnimation(fill, "animateCircle");
    EXPECT_EQ(ring->strokeEnd(), 0.8);

    clock->advance(0.5);
    EXPECT_NEAR(ring->presentationValue("strokeEnd").toDouble(), 0.2, kTimeSlack);
    auto shown = std::dynamic_pointer_cast<CAShapeLayer>(ring->presentationLayer());
    ASSERT_TRUE(shown);
    EXPECT_NEAR(shown->strokeEnd(), 0.2, kTimeSlack);
    clock->advance(1.0);
    EXPECT_NEAR(ring->presentationValue("strokeEnd").toDouble(), 0.6, kTimeSlack);
    EXPECT_TRUE(finished.empty());
    clock->advance(0.5);
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_TRUE(ring->animationKeys().empty());
    EXPECT_EQ(ring->presentationValue("strokeEnd").toDouble(), 0.8);
}

TEST_F(AnimationPresentation, MissingFromValueRunsFromTheModel) {
    layer->setPosition({10, 20});
    auto move = CABasicAnimation::animationWithKeyPath("position.x");
    move->setToValue(110.0);
    move->setDuration(1);
    layer->addAnimation(move, "move");
    clock->advance(0.25);
    EXPECT_EQ(layer->presentationValue("position").toPoint(), CGPointMake(35, 20));
    // by alone adds to what is underneath.
    auto nudge = CABasicAnimation::animationWithKeyPath("position.y");
    nudge->setByValue(-8.0);
    nudge->setDuration(1);
    layer->addAnimation(nudge, "nudge");
    clock->advance(0.5);
    EXPECT_EQ(layer->presentationValue("position").toPoint(), CGPointMake(85, 16));
}

TEST_F(AnimationPresentation, KeyframeScaleFollowsKeyTimesAndSegmentTiming) {
    // The alert card's bounce in: 0.01, 1.2, 0.9, 1 at 0, 0.4, 0.6, 1; linear, linear, ease-out; 0.5 s.
    auto card = CALayer::layer();
    auto bounce = CAKeyframeAnimation::animationWithKeyPath("transform.scale");
    bounce->setValues({0.01, 1.2, 0.9, 1.0});
    bounce->setKeyTimes({0, 0.4, 0.6, 1});
    bounce->setTimingFunctions({timing(Timing::linear), timing(Timing::linear), timing(Timing::easeOut)});
    bounce->setDuration(0.5);
    card->addAnimation(bounce, "bouce");

    clock->advance(0.1);  // f = 0.2: half of the first segment
    const CATransform3D shown = card->presentationValue("transform").toTransform();
    EXPECT_NEAR(shown.m11, 0.605, kTimeSlack);
    EXPECT_NEAR(shown.m33, 0.605, kTimeSlack);
    clock->advance(0.15);  // f = 0.5: half of the second, linear
    EXPECT_NEAR(card->presentationValue("transform.scale").toDouble(), 1.05, kTimeSlack);
    // f = 0.737: ease-out's parameter 0.5 (x 0.3425) in the last segment gives progress 0.5.
    clock->advance(0.3685 - 0.25);
    EXPECT_NEAR(card->presentationValue("transform.scale").toDouble(), 0.95, kTimeSlack);
    clock->advance(-1);  // time never runs back
    EXPECT_NEAR(card->presentationValue("transform.scale").toDouble(), 0.95, kTimeSlack);
    EXPECT_TRUE(card->transform().isIdentity());  // the model never changed
}

TEST_F(AnimationPresentation, SpringFollowsTheDampedOscillator) {
    auto spring = CASpringAnimation::animationWithKeyPath("position.x");
    spring->setMass(1);
    spring->setStiffness(100);
    spring->setDamping(10);  // ω = 10, ζ = 0.5
    spring->setFromValue(0.0);
    spring->setToValue(100.0);
    spring->setDuration(2);
    layer->addAnimation(spring, "spring");
    clock->advance(0.1);
    // 1 − e^(−0.5)·(cos 0.866 + 0.577·sin 0.866), worked by hand.
    EXPECT_NEAR(layer->presentationValue("position.x").toDouble(), 34.0299846608, 1e-4);
    clock->advance(0.3627598728 - 0.1);  // the first peak, at π / ω_d
    EXPECT_NEAR(layer->presentationValue("position.x").toDouble(), 116.30335348, 1e-5);
}

TEST_F(AnimationPresentation, SpringFromDampingRatioSettlesWithinItsDuration) {
    for (const double ratio : {0.6, 1.0}) {
        for (const double velocity : {0.0, 4.0}) {
            auto spring = CASpringAnimation::animationWithDampingRatio("position", ratio, 0.5, velocity);
            EXPECT_LE(spring->settlingDuration(), 0.5 + 1.0 / 60) << ratio << " " << velocity;
            EXPECT_GT(spring->settlingDuration(), 0.25) << ratio << " " << velocity;
            EXPECT_NEAR(spring->springProgress(0.5), 1, 0.002);
        }
    }
    // Damping 1 with no push never passes the target; 0.6 does.
    auto still = CASpringAnimation::animationWithDampingRatio("position", 1.0, 0.35, 0);
    auto bouncy = CASpringAnimation::animationWithDampingRatio("position", 0.6, 0.5, 0);
    double stillMax = 0, bouncyMax = 0;
    for (double t = 0; t < 0.5; t += 0.001) {
        stillMax = std::max(stillMax, still->springProgress(t));
        bouncyMax = std::max(bouncyMax, bouncy->springProgress(t));
    }
    EXPECT_LE(stillMax, 1.0);
    EXPECT_GT(bouncyMax, 1.05);
}

TEST_F(AnimationTiming, RepeatAutoreverseAndFill) {
    auto fade = basic("opacity", 1.0, 0.0, 1.0);
    fade->setAutoreverses(true);
    fade->setRepeatCount(1.5);  // out, back, out again: 3 s
    bool done = false;
    fade->setCompletion([&](bool) { done = true; });
    layer->addAnimation(fade, "fade");
    clock->advance(0.25);
    EXPECT_NEAR(layer->presentationValue("opacity").toDouble(), 0.75, kTimeSlack);
    clock->advance(1.0);  // 1.25: on the way back
    EXPECT_NEAR(layer->presentationValue("opacity").toDouble(), 0.25, kTimeSlack);
    clock->advance(1.0);  // 2.25: out again
    EXPECT_NEAR(layer->presentationValue("opacity").toDouble(), 0.75, kTimeSlack);
    EXPECT_FALSE(done);
    clock->advance(0.75);
    EXPECT_TRUE(done);

    // Kept after the end and filling forwards: the last value stays on show.
    auto hold = basic("opacity", 1.0, 0.4, 0.5);
    hold->setRemovedOnCompletion(false);
    hold->setFillMode(CAFillMode::forwards);
    auto recorder = std::make_shared<StopRecorder>();
    hold->setDelegate(recorder);
    layer->addAnimation(hold, "hold");
    clock->advance(3);
    EXPECT_NEAR(layer->presentationValue("opacity").toDouble(), 0.4, 1e-7);
    EXPECT_EQ(layer->animationKeys(), std::vector<std::string>{"hold"});
    EXPECT_EQ(recorder->stops, std::vector<bool>{true});
    layer->removeAnimationForKey("hold");
    clock->runUntilIdle();
    EXPECT_EQ(recorder->stops, std::vector<bool>{true});  // no second stop
}

TEST_F(AnimationTiming, DelayedStartFillsBackwardsOnlyWhenAsked) {
    layer->setOpacity(1);
    auto later = basic("opacity", 0.0, 1.0, 1.0);
    later->setBeginTime(CACurrentMediaTime() + 0.5);
    layer->addAnimation(later, "later");
    EXPECT_EQ(layer->presentationValue("opacity").toDouble(), 1.0);
    later->setFillMode(CAFillMode::backwards);
    layer->addAnimation(later, "later");  // the changed copy replaces the first
    EXPECT_EQ(layer->presentationValue("opacity").toDouble(), 0.0);
    clock->advance(1.0);
    EXPECT_NEAR(layer->presentationValue("opacity").toDouble(), 0.5, kTimeSlack);

    // A begin time in the past starts part-way, as the spinner's staggered layers do.
    auto staggered = basic("opacity", 0.0, 1.0, 2.0);
    staggered->setBeginTime(CACurrentMediaTime() - 1.5);
    layer->addAnimation(staggered, "staggered");
    EXPECT_NEAR(layer->presentationValue("opacity").toDouble(), 0.75, kTimeSlack);
}

TEST_F(AnimationTiming, PausedLayerFreezesItsAnimationsAndTheirEnd) {
    auto root = CALayer::layer(), spinner = CALayer::layer();
    root->addSublayer(spinner);
    auto turn = CAKeyframeAnimation::animationWithKeyPath("transform.rotation.z");
    turn->setValues({0.0, 3.0, 6.0});
    turn->setKeyTimes({0, 0.5, 1});
    turn->setDuration(0.8);
    bool stopped = false;
    turn->setCompletion([&](bool) { stopped = true; });
    spinner->addAnimation(turn, "spinkit-anim");
    clock->advance(0.2);
    EXPECT_NEAR(spinner->presentationValue("transform.rotation.z").toDouble(), 1.5, 10 * kTimeSlack);

    const double paused = spinner->convertTimeFromLayer(CACurrentMediaTime(), nullptr);
    EXPECT_DOUBLE_EQ(paused, CACurrentMediaTime());
    spinner->setSpeed(0);
    spinner->setTimeOffset(paused);
    clock->advance(5);
    EXPECT_DOUBLE_EQ(spinner->localTime(), paused);
    EXPECT_FALSE(stopped);
    EXPECT_NEAR(spinner->presentationValue("transform.rotation.z").toDouble(), 1.5, 10 * kTimeSlack);

    spinner->setSpeed(1);
    spinner->setTimeOffset(0);
    spinner->setBeginTime(0);
    spinner->setBeginTime(spinner->convertTimeFromLayer(CACurrentMediaTime(), nullptr) - paused);
    clock->advance(0.2);
    EXPECT_NEAR(spinner->presentationValue("transform.rotation.z").toDouble(), 3.0, 10 * kTimeSlack);
    clock->advance(0.39);
    EXPECT_FALSE(stopped);
    clock->advance(0.01);
    EXPECT_TRUE(stopped);
    // Converting to another layer and back is the identity.
    root->setSpeed(2);
    EXPECT_DOUBLE_EQ(spinner->convertTimeFromLayer(spinner->convertTimeToLayer(100, nullptr), nullptr), 100);
}

TEST_F(AnimationTiming, GroupChildrenTakeTheGroupsTimeAndDuration) {
    // The pulse spinner: a one-second group of a scale and a fade without durations of their own.
    auto circle = CALayer::layer();
    auto scale = CAKeyframeAnimation::animationWithKeyPath("transform");
    scale->setValues({CATransform3DMakeScale(0, 0, 0), CATransform3DMakeScale(1, 1, 0)});
    auto fade = CAKeyframeAnimation::animationWithKeyPath("opacity");
    fade->setValues({1.0, 0.0});
    auto late = basic("cornerRadius", 10.0, 20.0, 0.25);
    late->setBeginTime(0.5);  // counted from the group's start
    auto group = CAAnimationGroup::animation();
    group->setAnimations({scale, fade, late});
    group->setDuration(1.0);
    group->setRepeatCount(CAAnimation::kRepeatForever);
    group->setRemovedOnCompletion(false);
    circle->addAnimation(group, "spinkit-anim");

    clock->advance(0.25);
    EXPECT_NEAR(circle->presentationValue("transform").toTransform().m11, 0.25, kTimeSlack);
    EXPECT_NEAR(circle->presentationValue("opacity").toDouble(), 0.75, kTimeSlack);
    EXPECT_EQ(circle->presentationValue("cornerRadius").toDouble(), 0);
    clock->advance(0.375);  // 0.625: half-way through the late child
    EXPECT_NEAR(circle->presentationValue("cornerRadius").toDouble(), 15, kTimeSlack);
    clock->advance(1.0);  // the second cycle, same place
    EXPECT_NEAR(circle->presentationValue("opacity").toDouble(), 0.375, kTimeSlack);
    EXPECT_EQ(circle->animationKeys(), std::vector<std::string>{"spinkit-anim"});
}

TEST_F(AnimationTiming, TransitionReportsItsProgress) {
    auto container = CALayer::layer();
    auto fade = CATransition::animation();
    fade->setDuration(0.4);
    fade->setTimingFunction(timing(Timing::easeInEaseOut));
    container->addAnimation(fade, "");
    EXPECT_EQ(container->animationKeys(), std::vector<std::string>{"transition"});
    clock->advance(0.2);
    ASSERT_TRUE(container->transitionProgress(CACurrentMediaTime()));
    EXPECT_NEAR(*container->transitionProgress(CACurrentMediaTime()), 0.5, kTimeSlack);
    clock->advance(0.2);
    EXPECT_FALSE(container->transitionProgress(CACurrentMediaTime()));
    EXPECT_TRUE(container->animationKeys().empty());
}

TEST_F(AnimationCompletion, FiresInEndOrderOnTheVirtualClock) {
    const double start = clock->now();
    std::vector<std::pair<std::string, double>> log;
    std::vector<std::shared_ptr<CALayer>> layers;
    auto run = [&](const std::string& name, double delay, double duration) {
        auto layer = CALayer::layer();
        auto a = basic("opacity", 0.0, 1.0, duration);
        if (delay > 0) a->setBeginTime(CACurrentMediaTime() + delay);
        a->setCompletion([&log, clock = clock, name, start](bool finished) {
            log.emplace_back(name + (finished ? "" : " (unfinished)"), clock->now() - start);
        });
        layer->addAnimation(a, "a");
        layers.push_back(layer);
    };
    run("slow", 0, 0.3);
    run("quick", 0, 0.1);
    run("middle", 0, 0.2);
    run("delayed", 0.05, 0.1);
    run("middle twin", 0, 0.2);
    clock->advance(1);
    ASSERT_EQ(log.size(), 5u);
    const std::vector<std::string> names = {"quick", "delayed", "middle", "middle twin", "slow"};
    const std::vector<double> times = {0.1, 0.15, 0.2, 0.2, 0.3};
    for (std::size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].first, names[i]);
        EXPECT_NEAR(log[i].second, times[i], 1e-6);
    }
}

TEST_F(AnimationCompletion, ReplacingAKeyStopsTheOldAnimationUnfinished) {
    auto first = std::make_shared<StopRecorder>(), second = std::make_shared<StopRecorder>();
    auto a = basic("opacity", 0.0, 1.0, 1.0);
    a->setDelegate(first);
    layer->addAnimation(a, "fade");
    auto b = basic("opacity", 1.0, 0.5, 1.0);
    b->setDelegate(second);
    layer->addAnimation(b, "fade");
    EXPECT_EQ(layer->animationKeys(), std::vector<std::string>{"fade"});
    EXPECT_EQ(layer->animationForKey("fade")->delegate(), second);
    EXPECT_TRUE(first->stops.empty());  // told on the run loop, not inside addAnimation
    clock->runUntilIdle();
    EXPECT_EQ(first->stops, std::vector<bool>{false});
    EXPECT_EQ(first->starts, 0);
    clock->advance(0.5);
    EXPECT_NEAR(layer->presentationValue("opacity").toDouble(), 0.75, kTimeSlack);
    clock->advance(0.5);
    EXPECT_EQ(second->stops, std::vector<bool>{true});
    EXPECT_EQ(second->starts, 1);
}

TEST_F(AnimationCompletion, RemovalAndDestructionStopUnfinished) {
    auto recorder = std::make_shared<StopRecorder>();
    auto layer = CALayer::layer();
    auto a = basic("position.x", 0.0, 10.0, 1.0);
    a->setDelegate(recorder);
    layer->addAnimation(a, "x");
    layer->addAnimation(a, "y");  // the same object twice: two copies
    layer->removeAnimationForKey("x");
    clock->advance(0.1);
    EXPECT_EQ(recorder->stops, std::vector<bool>{false});
    layer.reset();
    clock->advance(5);
    EXPECT_EQ(recorder->stops, (std::vector<bool>{false, false}));
}

TEST_F(AnimationCompletion, StoredHandlerRunsFromTheCopysValues) {
    auto card = CALayer::layer();
    int handled = 0;
    auto bounce = basic("opacity", 1.0, 0.0, 0.35);
    bounce->setDelegate(std::make_shared<StopRecorder>());
    bounce->setValue("handler", std::function<void()>([&] { ++handled; }));
    card->addAnimation(bounce, "bounce");
    clock->advance(0.35);
    EXPECT_EQ(handled, 1);
}

TEST_F(AnimationTransaction, CompletionWaitsForEveryAnimationAdded) {
    double firedAt = -1;
    const double start = clock->now();
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    CATransaction::setAnimationDuration(0.4);
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::setCompletionBlock([&] { firedAt = clock->now() - start; });
    layer->addAnimation(basic("opacity", 0.0, 1.0, 0.2), "a");
    auto defaulted = CABasicAnimation::animationWithKeyPath("cornerRadius");
    defaulted->setToValue(8.0);
    layer->addAnimation(defaulted, "b");  // no duration: the transaction's 0.4 s
    CATransaction::commit();
    EXPECT_FALSE(CATransaction::disableActions());
    EXPECT_DOUBLE_EQ(layer->animationForKey("b")->duration(), 0.4);
    clock->advance(0.3);
    EXPECT_EQ(firedAt, -1);
    clock->advance(0.2);
    EXPECT_NEAR(firedAt, 0.4, 1e-6);

    bool empty = false;
    CATransaction::begin();
    CATransaction::setCompletionBlock([&] { empty = true; });
    CATransaction::commit();
    EXPECT_FALSE(empty);
    clock->runUntilIdle();
    EXPECT_TRUE(empty);
}

TEST_F(AnimationTransaction, ImplicitTransactionEndsWithTheRunLoopTurn) {
    CATransaction::setAnimationDuration(1.5);
    EXPECT_EQ(CATransaction::animationDuration(), 1.5);
    EXPECT_EQ(CATransaction::depth(), 0);
    clock->runUntilIdle();
    EXPECT_EQ(CATransaction::animationDuration(), 0.25);
}
