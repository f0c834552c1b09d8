#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/quartzcore/ca_layer.h"
#include "platform/quartzcore/ca_transaction.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/views/ui_view.h"
#include "platform/uikit/views/ui_view_animation.h"

using namespace platform;

namespace {

constexpr unsigned kLinear = UIViewAnimationOptionCurveLinear;

double shownAlpha(const UIView& v) {
    return v.layer()->presentationValue("opacity").toDouble();
}
CGPoint shownCenter(const UIView& v) {
    return v.layer()->presentationValue("position").toPoint();
}
CATransform3D shownTransform(const UIView& v) {
    return v.layer()->presentationValue("transform").toTransform();
}

class ViewAnimation : public ::testing::Test {
protected:
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
};

}  // namespace

TEST_F(ViewAnimation, ModelChangesAtOncePresentationFollowsTheClock) {
    auto view = std::make_shared<UIView>(CGRect(0, 0, 100, 100));
    bool done = false, finished = false;
    UIView::animateWithDuration(
        1.0, 0, kLinear, [&] { view->setAlpha(0); },
        [&](bool f) {
            done = true;
            finished = f;
        });
    EXPECT_EQ(view->alpha(), 0);
    EXPECT_DOUBLE_EQ(shownAlpha(*view), 1);
    clock->advance(0.25);
    EXPECT_NEAR(shownAlpha(*view), 0.75, 1e-6);
    EXPECT_FALSE(done);
    clock->advance(0.75);
    EXPECT_TRUE(done);
    EXPECT_TRUE(finished);
    EXPECT_DOUBLE_EQ(shownAlpha(*view), 0);
    EXPECT_FALSE(view->layer()->hasAnimations());
}

TEST_F(ViewAnimation, DefaultCurveEasesInAndOut) {
    auto view = std::make_shared<UIView>(CGRect(0, 0, 100, 100));
    UIView::animateWithDuration(1.0, [&] { view->setCenter(CGPoint{150, 50}); });
    clock->advance(0.25);
    EXPECT_LT(shownCenter(*view).x, 75);  // slower than linear at the start
    clock->advance(0.25);
    EXPECT_NEAR(shownCenter(*view).x, 100, 1e-6);  // symmetric curve: half way at half time
}

TEST_F(ViewAnimation, CompletionsInTheOrderTheAnimationsEnd) {
    auto a = std::make_shared<UIView>(), b = std::make_shared<UIView>();
    std::vector<std::string> order;
    UIView::animateWithDuration(
        0.5, [&] { a->setAlpha(0.5); }, [&](bool) { order.push_back("long"); });
    UIView::animateWithDuration(
        0.3, 0.3, 0, [&] { b->setAlpha(0.5); }, [&](bool) { order.push_back("delayed"); });
    UIView::animateWithDuration(
        0.2, [&] { b->setBackgroundColor(UIColor::redColor()); }, [&](bool) { order.push_back("short"); });
    clock->advance(0.2);
    EXPECT_EQ(order, (std::vector<std::string>{"short"}));
    clock->advance(1);
    EXPECT_EQ(order, (std::vector<std::string>{"short", "long", "delayed"}));
}

TEST_F(ViewAnimation, DelayShowsTheOldValueUntilItStarts) {
    auto view = std::make_shared<UIView>();
    UIView::animateWithDuration(
        1.0, 0.5, kLinear, [&] { view->setAlpha(0); }, nullptr);
    clock->advance(0.4);
    EXPECT_DOUBLE_EQ(shownAlpha(*view), 1);
    clock->advance(0.6);  // half way through
    EXPECT_NEAR(shownAlpha(*view), 0.5, 1e-6);
}

TEST_F(ViewAnimation, SpringOvershootsAndSettlesOnTheModel) {
    auto view = std::make_shared<UIView>(CGRect(0, 0, 10, 10));
    bool done = false;
    UIView::animateWithDuration(
        1.0, 0, 0.3, 0, 0,
        [&] {
            view->setCenter(CGPoint{105, 5});
        },
        [&](bool f) { done = f; });
    double furthest = 0;
    for (int i = 0; i < 20; ++i) {
        clock->advance(0.04);
        furthest = std::max(furthest, shownCenter(*view).x);
    }
    EXPECT_GT(furthest, 105);  // a damping ratio of 0.3 bounces past the target
    EXPECT_FALSE(done);
    clock->advance(0.3);
    EXPECT_TRUE(done);
    EXPECT_DOUBLE_EQ(shownCenter(*view).x, 105);
}

TEST_F(ViewAnimation, ReplacedAnimationCompletesUnfinishedFirst) {
    auto view = std::make_shared<UIView>();
    std::vector<std::string> order;
    UIView::animateWithDuration(
        1.0, [&] { view->setAlpha(0); },
        [&](bool f) { order.push_back(f ? "first finished" : "first cut"); });
    clock->advance(0.5);
    UIView::animateWithDuration(
        1.0, [&] { view->setAlpha(1); },
        [&](bool f) { order.push_back(f ? "second finished" : "second cut"); });
    clock->runUntilIdle();
    EXPECT_EQ(order, (std::vector<std::string>{"first cut"}));
    clock->advance(1.0);
    EXPECT_EQ(order, (std::vector<std::string>{"first cut", "second finished"}));
}

TEST_F(ViewAnimation, BeginFromCurrentStateStartsWhereTheScreenIs) {
    auto view = std::make_shared<UIView>();
    UIView::animateWithDuration(
        1.0, 0, kLinear, [&] { view->setAlpha(0); }, nullptr);
    clock->advance(0.5);
    UIView::animateWithDuration(
        1.0, 0, kLinear | UIViewAnimationOptionBeginFromCurrentState, [&] { view->setAlpha(1); }, nullptr);
    EXPECT_NEAR(shownAlpha(*view), 0.5, 1e-6);
    // Without it the animation starts from the old model value, 0.
    UIView::animateWithDuration(
        1.0, 0, kLinear, [&] { view->setAlpha(0.2); }, nullptr);
    EXPECT_NEAR(shownAlpha(*view), 1.0, 1e-6);
}

TEST_F(ViewAnimation, NothingChangedCompletesOnTheNextTurn) {
    auto view = std::make_shared<UIView>();
    std::vector<bool> calls;
    UIView::animateWithDuration(
        1.0, [&] { view->setAlpha(1); }, [&](bool f) { calls.push_back(f); });
    EXPECT_TRUE(calls.empty());
    clock->runUntilIdle();
    EXPECT_EQ(calls, std::vector<bool>{true});
}

TEST_F(ViewAnimation, WithoutAnimationInsideABlockAndWhenDisabled) {
    auto view = std::make_shared<UIView>();
    UIView::animateWithDuration(1.0, [&] {
        UIView::performWithoutAnimation([&] { view->setAlpha(0.5); });
        view->setCenter(CGPoint{40, 40});
    });
    EXPECT_EQ(view->layer()->animationKeys(), (std::vector<std::string>{"position"}));
    EXPECT_DOUBLE_EQ(shownAlpha(*view), 0.5);
    UIView::setAnimationsEnabled(false);
    UIView::animateWithDuration(1.0, [&] { view->setAlpha(0.1); });
    UIView::setAnimationsEnabled(true);
    EXPECT_EQ(view->layer()->animationForKey("opacity"), nullptr);
}

TEST_F(ViewAnimation, AnimatedLayoutSlidesTheSheetIn) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 300, 600));
    auto sheet = std::make_shared<UIView>();
    sheet->setTranslatesAutoresizingMaskIntoConstraints(false);
    root->addSubview(sheet);
    auto hidden = sheet->topAnchor().constraintEqualToAnchor(root->bottomAnchor());
    hidden->setPriority(751);
    auto shown = sheet->bottomAnchor().constraintEqualToAnchor(root->bottomAnchor());
    shown->setPriority(750);
    NSLayoutConstraint::activateConstraints(
        {hidden, shown, sheet->heightAnchor().constraintEqualToConstant(200),
         sheet->leftAnchor().constraintEqualToAnchor(root->leftAnchor()),
         sheet->rightAnchor().constraintEqualToAnchor(root->rightAnchor())});
    root->layoutIfNeeded();
    EXPECT_EQ(sheet->frame(), CGRect(0, 600, 300, 200));

    hidden->setPriority(749);
    bool done = false;
    UIView::animateWithDuration(
        0.1, 0, kLinear, [&] { root->layoutIfNeeded(); }, [&](bool f) { done = f; });
    EXPECT_EQ(sheet->frame(), CGRect(0, 400, 300, 200));
    clock->advance(0.05);
    // Half way from 700 to 500; media time this far from its zero is good to a fraction of a microsecond.
    EXPECT_NEAR(shownCenter(*sheet).y, 600, 1e-3);
    clock->advance(0.06);
    EXPECT_TRUE(done);
}

TEST_F(ViewAnimation, Transform3DKeepsPerspectiveAndDepthBesideItsAffinePartAndAnimates) {
    auto view = std::make_shared<UIView>(CGRect(0, 0, 100, 100));
    CATransform3D t = CATransform3DMakeTranslation(10, 20, -30);
    t.m34 = -0.002;
    view->setTransform3D(t);
    EXPECT_EQ(view->layer()->transform(), t);
    EXPECT_EQ(view->transform(), (CGAffineTransform{1, 0, 0, 1, 10, 20}));

    view->setTransform3D(CATransform3D::identity());
    UIView::animateWithDuration(
        1, 0, kLinear, [&] { view->setTransform3D(CATransform3DMakeTranslation(0, 0, -100)); }, nullptr);
    clock->advance(0.5);
    EXPECT_NEAR(shownTransform(*view).m43, -50, 1e-6);
}

TEST_F(ViewAnimation, Transform3DChangesInATransactionWithoutActionsDoNotAnimateInsideABlock) {
    auto view = std::make_shared<UIView>(CGRect(0, 0, 100, 100));
    UIView::animateWithDuration(
        1, 0, kLinear,
        [&] {
            CATransaction::begin();
            CATransaction::setDisableActions(true);
            view->setTransform3D(CATransform3DMakeTranslation(40, 0, 0));
            view->setAlpha(0.5);
            // A nested transaction may allow them again.
            CATransaction::begin();
            CATransaction::setDisableActions(false);
            view->setCenter({80, 80});
            CATransaction::commit();
            CATransaction::commit();
        },
        nullptr);
    EXPECT_FALSE(view->layer()->animationForKey("transform"));
    EXPECT_FALSE(view->layer()->animationForKey("opacity"));
    EXPECT_TRUE(view->layer()->animationForKey("position"));
    EXPECT_EQ(shownTransform(*view).m41, 40);
}
