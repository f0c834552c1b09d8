#include <gtest/gtest.h>

#include "platform/foundation/clock.h"
#include "platform/quartzcore/ca_transaction.h"
#include "platform/uikit/ui_view.h"
#include "platform/uikit/ui_view_animation.h"

using namespace platform;

namespace {

constexpr unsigned kLinear = UIViewAnimationOptionCurveLinear;

CATransform3D shownTransform(const UIView& v) {
    return v.layer()->presentationValue("transform").toTransform();
}

class ViewTransform3D : public ::testing::Test {
protected:
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<UIView> view = std::make_shared<UIView>(CGRect(0, 0, 100, 100));
};

}  // namespace

TEST_F(ViewTransform3D, KeepsPerspectiveAndDepthBesideItsAffinePart) {
    CATransform3D t = CATransform3DMakeTranslation(10, 20, -30);
    t.m34 = -0.002;
    view->setTransform3D(t);
    EXPECT_EQ(view->transform3D(), t);
    EXPECT_EQ(view->layer()->transform(), t);
    EXPECT_EQ(view->transform(), (CGAffineTransform{1, 0, 0, 1, 10, 20}));
}

TEST_F(ViewTransform3D, AnimatesInsideABlock) {
    UIView::animateWithDuration(
        1, 0, kLinear, [&] { view->setTransform3D(CATransform3DMakeTranslation(0, 0, -100)); }, nullptr);
    EXPECT_EQ(view->transform3D().m43, -100);
    clock->advance(0.5);
    EXPECT_NEAR(shownTransform(*view).m43, -50, 1e-6);
}

TEST_F(ViewTransform3D, ChangesInATransactionWithoutActionsDoNotAnimateInsideABlock) {
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
