#include <gtest/gtest.h>

#include "app/widgets/alert/queued_alert_background_window.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/quartzcore/ca_keyframe_animation.h"
#include "platform/uikit/application/ui_application.h"
#include "tests/app/widgets/alert/alert_test.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::AlertTest;
using Log = std::vector<std::string>;

Log showing(const std::string& a) {
    return {a + ":willShow", a + ":WillShowNotification", a + ":didShow", a + ":DidShowNotification"};
}
Log dismissing(const std::string& a) {
    return {a + ":willDismiss", a + ":WillDismissNotification", a + ":didDismiss",
            a + ":DidDismissNotification"};
}
Log operator+(Log a, const Log& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using QueuedAlertFlow = AlertTest;

TEST_F(QueuedAlertFlow, ButtonRunsItsHandlerBetweenShowingAndDismissingThenKeyStatusGoesBack) {
    auto alert = makeAlert("A");
    alert->addButtonWithTitle("Go", QueuedAlertViewButtonTypeDefault,
                              [this](QueuedAlertView&) { log.push_back("A:button"); });
    alert->show();
    EXPECT_TRUE(alert->visible());
    EXPECT_TRUE(QueuedAlertView::isAnimating()) << "while the card comes in";
    clock->advance(kSettle);
    EXPECT_FALSE(QueuedAlertView::isAnimating());

    const auto background = QueuedAlertView::backgroundWindow();
    ASSERT_TRUE(background);
    EXPECT_EQ(background->windowLevel(), 1985.0);
    EXPECT_EQ(alert->alertWindow()->windowLevel(), 1996.0);
    EXPECT_EQ(UIApplication::sharedApplication().keyWindow(), alert->alertWindow());
    EXPECT_EQ(appWindow->tintAdjustmentMode(), UIViewTintAdjustmentMode::dimmed);

    press(*alert->buttons()[0]);
    clock->advance(kSettle);
    EXPECT_EQ(takeLog(), showing("A") + Log{"A:button"} + dismissing("A"));
    EXPECT_FALSE(alert->visible());
    EXPECT_FALSE(alert->alertWindow());
    EXPECT_FALSE(QueuedAlertView::backgroundWindow()) << "faded out and released";
    EXPECT_TRUE(QueuedAlertView::sharedQueue().empty());
    EXPECT_FALSE(QueuedAlertView::currentAlertView());
    EXPECT_TRUE(appWindow->isKeyWindow());
    EXPECT_EQ(appWindow->tintAdjustmentMode(), UIViewTintAdjustmentMode::normal);
}

TEST_F(QueuedAlertFlow, AlertShownWhileAnotherComesInWaitsThenTheFirstComesBackAsTheLastQueued) {
    auto a = makeAlert("A");
    auto b = makeAlert("B");
    a->addButtonWithTitle("OK", QueuedAlertViewButtonTypeDefault);
    b->addButtonWithTitle("OK", QueuedAlertViewButtonTypeDefault);
    a->show();
    clock->advance(0.1);
    b->show();
    EXPECT_FALSE(b->visible());
    EXPECT_EQ(QueuedAlertView::sharedQueue(), (std::vector{a, b}));

    clock->advance(2);
    EXPECT_EQ(takeLog(), showing("A") + dismissing("A") + showing("B")) << "A gives way once it is in";
    EXPECT_EQ(QueuedAlertView::currentAlertView(), b);
    EXPECT_EQ(QueuedAlertView::sharedQueue(), (std::vector{a, b})) << "A stays queued";

    press(*b->buttons()[0]);
    clock->advance(kSettle);
    EXPECT_EQ(takeLog(), dismissing("B") + showing("A"));
    EXPECT_EQ(QueuedAlertView::currentAlertView(), a);
    EXPECT_EQ(QueuedAlertView::sharedQueue(), std::vector{a});
}

TEST_F(QueuedAlertFlow, DimmingStaysUpForTheFollowingAlertAndFadesOnlyAfterTheLast) {
    auto a = makeAlert("A");
    auto b = makeAlert("B");
    a->addButtonWithTitle("OK", QueuedAlertViewButtonTypeDefault);
    b->addButtonWithTitle("OK", QueuedAlertViewButtonTypeDefault);
    a->show();
    clock->advance(kSettle);
    const auto background = QueuedAlertView::backgroundWindow();
    b->show();
    // A goes out and B comes in; the dimming never fades on the way.
    for (int step = 0; step < 40; ++step) {
        clock->advance(0.05);
        ASSERT_EQ(QueuedAlertView::backgroundWindow(), background);
        ASSERT_DOUBLE_EQ(background->layer()->presentationValue("opacity").toDouble(), 1.0);
    }
    press(*b->buttons()[0]);
    clock->advance(kSettle);
    EXPECT_EQ(QueuedAlertView::currentAlertView(), a);
    EXPECT_EQ(QueuedAlertView::backgroundWindow(), background) << "A came back over the same dimming";

    press(*a->buttons()[0]);
    clock->advance(0.1);
    EXPECT_EQ(QueuedAlertView::backgroundWindow(), background) << "fading out";
    // An alert asked for during the fade turns it back.
    auto c = makeAlert("C");
    c->show();
    clock->advance(kSettle);
    EXPECT_TRUE(c->visible());
    EXPECT_EQ(QueuedAlertView::backgroundWindow(), background);
    EXPECT_FALSE(background->isHidden());
    EXPECT_DOUBLE_EQ(background->layer()->presentationValue("opacity").toDouble(), 1.0);
    c->dismissAnimated(true);
    clock->advance(kSettle);
    EXPECT_EQ(appWindow->tintAdjustmentMode(), UIViewTintAdjustmentMode::normal)
        << "C, asked for while the app's window was dimmed for A, gives back its own look";
}

TEST_F(QueuedAlertFlow, DismissingAnAlertThatNeverShowedLeavesTheShownOneAlone) {
    auto a = makeAlert("A");
    auto b = makeAlert("B");
    a->show();
    b->show();
    takeLog();
    b->dismissAnimated(true);
    EXPECT_TRUE(log.empty()) << "no handlers, no notifications";
    EXPECT_EQ(QueuedAlertView::currentAlertView(), a);
    EXPECT_TRUE(QueuedAlertView::isAnimating()) << "A is still coming in";
    EXPECT_EQ(QueuedAlertView::sharedQueue(), std::vector{a});

    clock->advance(kSettle);
    EXPECT_EQ(takeLog(), (Log{"A:didShow", "A:DidShowNotification"})) << "A is last again, so it stays";
    EXPECT_TRUE(a->visible());
    EXPECT_TRUE(QueuedAlertView::backgroundWindow());
}

TEST_F(QueuedAlertFlow, BounceComesInAndGoesOutAsKeyFrameScales) {
    auto alert = makeAlert("A");
    alert->addButtonWithTitle("OK", QueuedAlertViewButtonTypeDefault);
    alert->show();
    const auto in = alert->containerView()->layer()->animationForKey("bouce");
    ASSERT_TRUE(std::dynamic_pointer_cast<CAKeyframeAnimation>(in));
    EXPECT_EQ(in->duration(), 0.5);
    clock->advance(kSettle);

    const auto card = alert->containerView();
    alert->buttons()[0]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    const auto out = std::dynamic_pointer_cast<CAKeyframeAnimation>(card->layer()->animationForKey("bounce"));
    ASSERT_TRUE(out);
    EXPECT_EQ(out->values().back(), CAValue(0.01));
    EXPECT_EQ(card->transform(), CGAffineTransformMakeScale(0.01, 0.01)) << "left shrunk";
    clock->advance(0.34);
    EXPECT_TRUE(alert->visible());
    clock->advance(0.02);
    EXPECT_FALSE(alert->visible());
}

TEST_F(QueuedAlertFlow, EveryStyleCompletesSoTheQueueNeverStalls) {
    for (long style : {0, 1, 2, 4, 9}) {
        auto alert = makeAlert(std::to_string(style));
        alert->setTransitionStyle(static_cast<QueuedAlertViewTransitionStyle>(style));
        alert->addButtonWithTitle("OK", QueuedAlertViewButtonTypeDefault);
        alert->show();
        clock->advance(kSettle);
        EXPECT_FALSE(QueuedAlertView::isAnimating()) << style;
        alert->buttons()[0]->sendActionsForControlEvents(UIControlEventTouchUpInside);
        clock->advance(kSettle);
        EXPECT_FALSE(QueuedAlertView::isAnimating()) << style;
        EXPECT_FALSE(QueuedAlertView::currentAlertView()) << style;
    }
    EXPECT_EQ(log.size(), 5 * 8u);
}

}  // namespace
}  // namespace quorvel
