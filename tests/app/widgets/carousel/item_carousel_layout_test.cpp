#include <cmath>

#include "platform/foundation/console.h"
#include "tests/app/widgets/carousel/carousel_fixture.h"
#include "tests/support/transform_expectations.h"

namespace quorvel::testing {
namespace {

using platform::CATransform3D;
using Type = ItemCarouselType;
using Option = ItemCarouselOption;

constexpr double kPerspective = double(-0.002f);

// Where an animated container shows now, along x, and how opaque.
double shownAt(const std::shared_ptr<platform::UIView>& container) {
    return container->layer()->presentationValue("transform").toTransform().m41;
}
double shownAlpha(const std::shared_ptr<platform::UIView>& container) {
    return container->layer()->presentationValue("opacity").toDouble();
}

class CarouselLayout : public CarouselTest {
protected:
    void showWith(Type type, long count, double itemWidth = 50) {
        items->count = count;
        items->itemSize = {itemWidth, 40};
        show(type);
    }
};

// The transform of an item `along` points along x and `depth` along z, turned by `angle` about y (in
// that order), seen with the default perspective: written out, not composed.
CATransform3D placed(double along, double depth, double angle = 0) {
    const double c = std::cos(angle), s = std::sin(angle), p = kPerspective;
    CATransform3D t;
    t.m11 = c, t.m13 = -s, t.m14 = -s * p;
    t.m31 = s, t.m33 = c, t.m34 = c * p;
    t.m41 = along, t.m43 = depth, t.m44 = 1 + depth * p;
    return t;
}

}  // namespace

TEST_F(CarouselLayout, VisibleAndCircularCountsFollowEachTypeAndItsCaps) {
    // 320 points across, items 50 wide: 6.4 items, rounded up to 7; by type number.
    const long visible[12] = {9, 21, 11, 21, 11, 12, 12, 28, 28, 30, 30, 30};
    showWith(Type::linear, 100);
    platform::Console::Capture wheelLines;
    for (long number = 0; number < 12; ++number) {
        const auto type = Type(number);
        carousel->setType(type);
        EXPECT_EQ(carousel->numberOfVisibleItems(), visible[number]) << "type " << number;
        const bool circular = type >= Type::rotary && type <= Type::invertedWheel;
        EXPECT_EQ(carousel->circularCarouselItemCount(), circular ? 21 : 100) << "type " << number;
    }

    // Few items cap every count.
    carousel->setType(Type::linear);
    items->count = 3;
    carousel->reloadData();
    carousel->layoutIfNeeded();
    EXPECT_EQ(carousel->numberOfVisibleItems(), 3);

    // A narrow carousel still takes 12 for a full turn; a wide one at most 200, or 30 for the
    // inverted cylinder and the wheels.
    items->count = 1000;
    carousel->reloadData();
    carousel->setType(Type::cylinder);
    carousel->setFrame({0, 100, 80, 150});
    carousel->layoutIfNeeded();
    EXPECT_EQ(carousel->circularCarouselItemCount(), 12);
    items->itemWidth = 5;
    carousel->reloadData();
    carousel->setFrame({0, 100, 2000, 150});
    carousel->layoutIfNeeded();
    EXPECT_EQ(carousel->circularCarouselItemCount(), 200);
    carousel->setType(Type::invertedCylinder);
    EXPECT_EQ(carousel->circularCarouselItemCount(), 30);
}

TEST_F(CarouselLayout, DelegateAnswersOverrideTheCountsAndBadAnswersTakeTheNeutralValue) {
    showWith(Type::cylinder, 100);
    items->options[Option::count] = 40;
    items->options[Option::visibleItems] = 25;
    carousel->layoutIfNeeded();
    carousel->setType(Type::rotary);
    EXPECT_EQ(carousel->circularCarouselItemCount(), 40);
    EXPECT_EQ(carousel->numberOfVisibleItems(), 25);

    // Negative counts are none; they neither load views nor break the transforms.
    items->options[Option::count] = -5;
    items->options[Option::visibleItems] = -5;
    carousel->setType(Type::cylinder);
    EXPECT_EQ(carousel->circularCarouselItemCount(), 0);
    EXPECT_EQ(carousel->numberOfVisibleItems(), 0);
    const CATransform3D t = carousel->transformForItemViewWithOffset(1);
    EXPECT_TRUE(std::isfinite(t.m41) && std::isfinite(t.m43) && std::isfinite(t.m11));
    EXPECT_TRUE(carousel->indexesForVisibleItems().empty());
}

TEST_F(CarouselLayout, ZeroItemWidthGivesNeutralCountsUntilTheDelegateGivesAWidth) {
    items->itemSize = {0, 40};
    showWith(Type::linear, 10, 0);
    EXPECT_EQ(carousel->itemWidth(), 0) << "measured on the first item";
    EXPECT_EQ(carousel->numberOfVisibleItems(), 2);
    carousel->setType(Type::cylinder);
    EXPECT_EQ(carousel->circularCarouselItemCount(), 10);
    EXPECT_TRUE(std::isfinite(carousel->transformForItemViewWithOffset(2).m43));

    items->itemWidth = 80;
    carousel->setType(Type::linear);
    EXPECT_EQ(carousel->itemWidth(), 80);
    EXPECT_EQ(carousel->numberOfVisibleItems(), 6) << "ceil(320 ÷ 80) + 2";
}

TEST_F(CarouselLayout, ClampsAndItemOffsetsWithAndWithoutWrapOnOneItemAndOnNone) {
    showWith(Type::linear, 10);
    EXPECT_EQ(carousel->clampedIndex(-3), 0);
    EXPECT_EQ(carousel->clampedIndex(12), 9);
    EXPECT_EQ(carousel->clampedOffset(-1), 0);
    EXPECT_EQ(carousel->clampedOffset(10.5), 9);
    EXPECT_EQ(carousel->clampedOffset(3.3), double(3.3f)) << "in single precision";

    carousel->setType(Type::cylinder);
    EXPECT_EQ(carousel->clampedIndex(-1), 9);
    EXPECT_EQ(carousel->clampedIndex(23), 3);
    EXPECT_EQ(carousel->clampedOffset(-0.5), 9.5);
    EXPECT_EQ(carousel->clampedOffset(25.25), 5.25);
    // Halves round away from zero, and the index comes round the circle.
    carousel->setScrollOffset(9.5);
    EXPECT_EQ(carousel->currentItemIndex(), 0);
    carousel->setScrollOffset(2.5);
    EXPECT_EQ(carousel->currentItemIndex(), 3);
    // Item offsets take the short way round.
    carousel->setScrollOffset(9.5);
    EXPECT_EQ(carousel->offsetForItemAtIndex(1), 1.5);
    EXPECT_EQ(carousel->offsetForItemAtIndex(5), -4.5);

    // A single item sits in the centre whatever the offset.
    items->count = 1;
    carousel->reloadData();
    carousel->setScrollOffset(0.4);
    EXPECT_EQ(carousel->offsetForItemAtIndex(0), 0);

    items->count = 0;
    carousel->reloadData();
    EXPECT_EQ(carousel->clampedIndex(7), 0);
    EXPECT_EQ(carousel->clampedOffset(7.5), 0);
    EXPECT_EQ(carousel->currentItemIndex(), 0);
}

TEST_F(CarouselLayout, LinearRotaryAndTimeMachineTransformsAtSeveralOffsets) {
    showWith(Type::linear, 100);
    for (double o : {-1.5, 0.0, 2.0})
        expectTransformNear(carousel->transformForItemViewWithOffset(o), placed(50 * o, 0));

    carousel->setViewpointOffset({10, -4});
    CATransform3D shifted = placed(-10 + 100, 0);
    shifted.m42 = 4;
    expectTransformNear(carousel->transformForItemViewWithOffset(2), shifted);
    carousel->setViewpointOffset({0, 0});

    // Rotary: radius max(w/2, w/2 ÷ tan(π/n)) with n = 21 items to the turn.
    carousel->setType(Type::rotary);
    const double r = std::fmax(25.0f, float(25.0 / std::tan(float(M_PI / 21))));
    for (double o : {1.0, -3.0}) {
        const double a = o / 21 * 2 * M_PI;
        expectTransformNear(carousel->transformForItemViewWithOffset(o),
                        placed(r * std::sin(a), r * std::cos(a) - r));
    }
    carousel->setType(Type::invertedRotary);
    const double a = 1.0 / 21 * 2 * M_PI;
    expectTransformNear(carousel->transformForItemViewWithOffset(1),
                    placed(r * std::sin(a), r - r * std::cos(a)));

    carousel->setType(Type::timeMachine);
    expectTransformNear(carousel->transformForItemViewWithOffset(2), placed(double(0.3f) * 2 * 50, 100));
    carousel->setType(Type::invertedTimeMachine);
    expectTransformNear(carousel->transformForItemViewWithOffset(2), placed(double(0.3f) * 2 * 50, -100));

    // Vertical carousels lay the same distances along y.
    carousel->setType(Type::linear);
    carousel->setVertical(true);
    const CATransform3D down = carousel->transformForItemViewWithOffset(2);
    EXPECT_EQ(down.m41, 0);
    EXPECT_DOUBLE_EQ(down.m42, 2 * carousel->itemWidth());
}

TEST_F(CarouselLayout, CylinderOfTheMinuteRingTurnsEachTickAboutItsAxis) {
    // The minute ring: 65 ticks 20 points apart across a 375-point phone.
    items->count = 65;
    items->itemSize = {20, 42};
    items->options[Option::spacing] = 1;
    carousel->setFrame({0, 100, 375, 150});
    show(Type::cylinder);
    const long n = carousel->circularCarouselItemCount();
    EXPECT_EQ(n, 59) << "ceil(375 ÷ 20) × π";
    EXPECT_EQ(carousel->numberOfVisibleItems(), 30);
    const double r = std::fmax(float(10.0 / std::tan(float(M_PI / 59))), 0.01f);
    const double lift = double(0.01f);
    for (double o : {0.0, 1.0, -2.5, 7.0}) {
        const double a = o / 59 * 2 * M_PI;
        expectTransformNear(carousel->transformForItemViewWithOffset(o),
                        placed((r + lift) * std::sin(a), (r + lift) * std::cos(a) - r, a));
    }
    // Inverted: the ticks turn the other way round a cylinder seen from inside, at most 30 to the turn.
    carousel->setType(Type::invertedCylinder);
    EXPECT_EQ(carousel->circularCarouselItemCount(), 30);
    const double inner = std::fmax(float(10.0 / std::tan(float(M_PI / 30))), 0.01f);
    const double a = -1.0 / 30 * 2 * M_PI;
    expectTransformNear(carousel->transformForItemViewWithOffset(1),
                    placed((-inner + lift) * std::sin(a), (-inner + lift) * std::cos(a) + inner, a));
}

TEST_F(CarouselLayout, WheelCoverFlowAndCustomTransforms) {
    showWith(Type::coverFlow, 100);
    const double tilt = double(0.9f);
    for (double o : {0.5, -3.0}) {
        const double k = std::clamp(o, -1.0, 1.0);
        expectTransformNear(carousel->transformForItemViewWithOffset(o),
                        placed((k * 0.5 * tilt + o * 0.25) * 50, -std::fabs(k) * 25, tilt * k * (-M_PI / 2)));
    }

    // Wheel: a turn of 21 items about an axis r below the centre, each 0.01 deeper per item.
    platform::Console::Capture console;
    carousel->setType(Type::wheel);
    const double r = 50.0 * 21 / (2 * M_PI), angle = 2 * M_PI / 21 * 2;
    const CATransform3D wheel = carousel->transformForItemViewWithOffset(2);
    EXPECT_NEAR(wheel.m41, r * std::sin(angle), 1e-9);
    EXPECT_NEAR(wheel.m42, r - r * std::cos(angle), 1e-9);
    EXPECT_NEAR(wheel.m43, 0.02, 1e-12);
    EXPECT_NEAR(wheel.m12, std::sin(angle), 1e-12);

    carousel->setType(Type::custom);
    const CATransform3D base = carousel->transformForItemViewWithOffset(1);
    EXPECT_EQ(base.m34, kPerspective) << "the delegate's default answer is the base transform";
    carousel->setDelegate({});
    EXPECT_EQ(carousel->transformForItemViewWithOffset(1), CATransform3D::zero());
}

TEST_F(CarouselLayout, AlphaFadesBeyondTheFadeLimitsOverTheFadeRange) {
    showWith(Type::linear, 10);
    EXPECT_EQ(carousel->alphaForItemWithOffset(-50), 1);
    items->options[Option::fadeMin] = -2;
    items->options[Option::fadeMax] = 2;
    EXPECT_EQ(carousel->alphaForItemWithOffset(1.5), 1);
    EXPECT_EQ(carousel->alphaForItemWithOffset(2.5), 0.5);
    EXPECT_EQ(carousel->alphaForItemWithOffset(-2.75), 0.25);
    EXPECT_EQ(carousel->alphaForItemWithOffset(3.5), 0);
    items->options[Option::fadeMinAlpha] = 0.2;
    EXPECT_NEAR(carousel->alphaForItemWithOffset(9), 0.2, 1e-12);
    items->options[Option::fadeRange] = 0;
    EXPECT_EQ(carousel->alphaForItemWithOffset(9), 1) << "a zero fade range fades nothing";

    items->options.clear();
    carousel->setType(Type::timeMachine);
    EXPECT_EQ(carousel->alphaForItemWithOffset(0.25), 0.75);
    EXPECT_EQ(carousel->alphaForItemWithOffset(-9), 1);
    carousel->setType(Type::invertedTimeMachine);
    EXPECT_EQ(carousel->alphaForItemWithOffset(-0.5), 0.5);
}

TEST_F(CarouselLayout, ContainersCarryTransformAlphaAndTouchesAndFadedPositionsDoNotLoad) {
    items->options[Option::fadeMin] = -2;
    items->options[Option::fadeMax] = 2;
    showWith(Type::linear, 10);
    // Visible: ceil(320 ÷ 50) + 2 = 9 positions from 0, of which the faded-out ones (offset ≥ 3) are left.
    EXPECT_EQ(carousel->indexesForVisibleItems(), (std::vector<long>{0, 1, 2}));
    carousel->setScrollOffset(4.5);
    EXPECT_EQ(carousel->indexesForVisibleItems(), (std::vector<long>{2, 3, 4, 5, 6, 7}));
    const auto container = containerOf(2);
    EXPECT_EQ(container->bounds().size, (platform::CGSize{50, 40}));
    EXPECT_EQ(container->center(), (platform::CGPoint{160, 75}));
    EXPECT_FLOAT_EQ(container->alpha(), 0.5);
    expectTransformNear(container->transform3D(), placed(-2.5 * 50, 0));
    EXPECT_FALSE(container->isUserInteractionEnabled());
    EXPECT_TRUE(containerOf(5)->isUserInteractionEnabled()) << "the centred item, 4.5 rounded away from zero";

    carousel->setCenterItemWhenSelected(false);
    carousel->setScrollOffset(4);
    EXPECT_TRUE(containerOf(2)->isUserInteractionEnabled());
}

TEST_F(CarouselLayout, ViewsThatLeaveGoToThePoolAndComeBackAsReusingViews) {
    showWith(Type::linear, 20);
    EXPECT_EQ(carousel->indexesForVisibleItems(), (std::vector<long>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    const auto first = carousel->itemViewAtIndex(0);
    carousel->setScrollOffset(5);
    // From 5 − 4 = 1 on: item 0 left for the pool, item 9 came in and was handed item 0's view.
    EXPECT_EQ(carousel->indexesForVisibleItems(), (std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(items->requests, (std::vector<std::string>{"item 9+reused"}));
    EXPECT_EQ(carousel->itemViewAtIndex(9), first);
    EXPECT_EQ(carousel->indexOfItemView(first.get()), 9);
    EXPECT_EQ(carousel->currentItemView()->tag(), 5);

    auto inner = std::make_shared<platform::UIView>();
    first->addSubview(inner);
    EXPECT_EQ(carousel->indexOfItemViewOrSubview(inner.get()), 9);
    EXPECT_EQ(carousel->indexOfItemView(inner.get()), ItemCarousel::NotFound);
    EXPECT_EQ(carousel->indexOfItemViewOrSubview(carousel->contentView().get()), ItemCarousel::NotFound);
}

TEST_F(CarouselLayout, PlaceholdersFillBothEndsOfACarouselThatDoesNotWrap) {
    items->placeholders = 3;
    showWith(Type::linear, 5);
    // min(9, 5 + 3) positions from max(−2, min(5 + 1 − 8, −4)) = −2: two leading placeholders and one
    // trailing, whose index starts at 1.
    EXPECT_EQ(carousel->indexesForVisibleItems(), (std::vector<long>{-2, -1, 0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(carousel->itemViewAtIndex(-2)->tag(), -100);
    EXPECT_EQ(carousel->itemViewAtIndex(-1)->tag(), -101);
    EXPECT_EQ(carousel->itemViewAtIndex(5)->tag(), -101);

    // A wrapping type shows none.
    carousel->setType(Type::cylinder);
    for (long index : carousel->indexesForVisibleItems()) EXPECT_GE(index, 0);
}

TEST_F(CarouselLayout, NearestItemsAreInFrontAndATapPointFindsTheFrontmost) {
    showWith(Type::cylinder, 30);
    // Containers are put in depth order when a scroll ends.
    carousel->scrollToItemAtIndex(10, true);
    clock->advance(1);
    const auto& order = carousel->contentView()->subviews();
    ASSERT_EQ(order.size(), carousel->indexesForVisibleItems().size());
    EXPECT_EQ(order.back(), containerOf(10));
    // Deeper first, so each container lies in front of those farther back.
    for (size_t i = 1; i < order.size(); ++i) {
        EXPECT_LE(order[i - 1]->transform3D().m43, order[i]->transform3D().m43 + 1e-9);
    }

    // On the flat linear type depth is equal: the farther from the centre, the farther back.
    carousel->setType(Type::linear);
    carousel->scrollToItemAtIndex(4, true);
    clock->advance(1);
    const auto& flat = carousel->contentView()->subviews();
    EXPECT_EQ(flat.back(), containerOf(4));
    EXPECT_TRUE(flat.front() == containerOf(0) || flat.front() == containerOf(8));

    // Items half their width apart overlap: the one nearer the centre wins the point.
    items->options[Option::spacing] = 0.5;
    carousel->scrollToItemAtIndex(5, true);
    clock->advance(1);
    EXPECT_EQ(carousel->itemViewAtPoint({175, 75}), carousel->itemViewAtIndex(5));
    EXPECT_EQ(carousel->itemViewAtPoint({200, 75}), carousel->itemViewAtIndex(6));
    EXPECT_EQ(carousel->itemViewAtPoint({160, 140}), nullptr);
}

TEST_F(CarouselLayout, BackFacingItemsHideWhereTheTypeOrTheDelegateSays) {
    items->options[Option::angle] = M_PI;  // every item turned its back
    showWith(Type::cylinder, 10);
    EXPECT_FALSE(containerOf(0)->isHidden()) << "double-sided items show their backs";
    carousel->setType(Type::invertedCylinder);
    EXPECT_TRUE(containerOf(0)->isHidden());
    items->options[Option::showBackfaces] = 1;
    carousel->setScrollOffset(0.2);
    EXPECT_FALSE(containerOf(0)->isHidden());
}

TEST_F(CarouselLayout, InsertingAndRemovingAtOnceShiftsTheLoadedViews) {
    showWith(Type::linear, 10);
    const auto third = carousel->itemViewAtIndex(2);
    items->count = 11;
    carousel->insertItemAtIndex(2, false);
    EXPECT_EQ(carousel->itemViewAtIndex(3), third);
    EXPECT_EQ(carousel->itemViewAtIndex(2)->tag(), 2);
    EXPECT_EQ(containerOf(2)->alpha(), 1);
    expectTransformNear(containerOf(3)->transform3D(), placed(150, 0));

    items->count = 10;
    const auto inserted = carousel->itemViewAtIndex(2);
    const auto container = inserted->superview();
    carousel->removeItemAtIndex(2, false);
    EXPECT_EQ(carousel->itemViewAtIndex(2), third);
    EXPECT_EQ(container->superview(), nullptr);
    // The removed view is the next one handed out.
    items->count = 11;
    carousel->insertItemAtIndex(5, false);
    EXPECT_EQ(carousel->itemViewAtIndex(5), inserted);
    EXPECT_EQ(items->requests.back(), "item 5+reused");
}

TEST_F(CarouselLayout, RemovingFromAnEmptyCarouselDoesNothingAndTheLastItemLeavesOffsetZero) {
    showWith(Type::linear, 1);
    items->count = 0;
    carousel->removeItemAtIndex(0, false);
    EXPECT_EQ(carousel->numberOfItems(), 0);
    EXPECT_EQ(carousel->scrollOffset(), 0);
    EXPECT_TRUE(carousel->contentView()->subviews().empty());
    carousel->removeItemAtIndex(0, false);
    carousel->removeItemAtIndex(0, true);
    EXPECT_EQ(carousel->numberOfItems(), 0) << "never below zero";
}

TEST_F(CarouselLayout, AnimatedInsertSlidesTheOthersAndFadesTheNewItemIn) {
    showWith(Type::linear, 10);
    items->count = 11;
    carousel->insertItemAtIndex(1, true);
    const auto added = containerOf(1);
    const auto moved = containerOf(2);
    ASSERT_TRUE(moved->layer()->animationForKey("transform"));
    EXPECT_NEAR(shownAt(moved), 50, 1e-6);
    EXPECT_NEAR(shownAlpha(added), 0, 1e-6);
    clock->advance(0.35);
    EXPECT_GT(shownAlpha(added), 0.5);
    clock->advance(0.1);
    EXPECT_NEAR(shownAt(moved), 100, 1e-6);
    EXPECT_EQ(added->alpha(), 1);
    EXPECT_FALSE(added->layer()->hasAnimations());
}

TEST_F(CarouselLayout, AnimatedRemoveFadesTheItemThenClosesTheGap) {
    showWith(Type::linear, 10);
    const auto removed = carousel->itemViewAtIndex(1);
    const auto container = removed->superview();
    const auto next = containerOf(2);
    items->count = 9;
    carousel->removeItemAtIndex(1, true);
    EXPECT_EQ(carousel->itemViewAtIndex(1), next->subviews().back()) << "positions shift at once";
    EXPECT_EQ(container->alpha(), 0);
    clock->advance(0.05);
    EXPECT_NEAR(shownAt(next), 100, 1e-6) << "the gap waits for the fade";
    clock->advance(0.06);
    EXPECT_EQ(container->superview(), nullptr);
    clock->advance(0.45);
    EXPECT_NEAR(shownAt(next), 50, 1e-6);
    // The removed view went to the pool.
    items->count = 10;
    carousel->insertItemAtIndex(8, false);
    EXPECT_EQ(carousel->itemViewAtIndex(8), removed);
}

TEST_F(CarouselLayout, ReloadingOneItemAsksForItAgainAndCrossFades) {
    showWith(Type::linear, 10);
    const auto before = carousel->itemViewAtIndex(3);
    const auto container = before->superview();
    carousel->reloadItemAtIndex(3, true);
    EXPECT_EQ(items->requests, (std::vector<std::string>{"item 3"}));
    EXPECT_NE(carousel->itemViewAtIndex(3), before);
    EXPECT_EQ(carousel->itemViewAtIndex(3)->superview(), container);
    EXPECT_EQ(before->superview(), nullptr);
    EXPECT_TRUE(container->layer()->animationForKey("transition"));
    carousel->reloadItemAtIndex(30, true);  // not loaded: nothing
    EXPECT_EQ(items->requests.size(), 1u);
}

TEST_F(CarouselLayout, ReloadDataCountsAfreshAndLoadsAtTheNextLayout) {
    showWith(Type::linear, 10);
    items->count = 4;
    carousel->reloadData();
    EXPECT_EQ(carousel->numberOfItems(), 4);
    EXPECT_TRUE(carousel->contentView()->subviews().empty());
    EXPECT_TRUE(carousel->indexesForVisibleItems().empty());
    carousel->layoutIfNeeded();
    EXPECT_EQ(carousel->indexesForVisibleItems(), (std::vector<long>{0, 1, 2, 3}));

    // The data source is weak: once gone, reloads and layouts do nothing.
    items.reset();
    carousel->reloadData();
    carousel->layoutIfNeeded();
    EXPECT_EQ(carousel->numberOfItems(), 4);
}

}  // namespace quorvel::testing
