#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "tests/app/widgets/carousel/carousel_fixture.h"

namespace quorvel::testing {
namespace {

using platform::CGPoint;
using Log = std::vector<std::string>;

// Both of the carousel's recognisers are offered each touch, and each tells the delegate.
const Log kTouched{"touched", "touched"};

// A scroll view that follows its touches itself, as a table does.
class TrackingScrollView : public platform::UIScrollView {
public:
    using platform::UIScrollView::UIScrollView;
    bool handlesTouchPhase(platform::UITouchPhase) const override { return true; }
};

// A view that follows its own touches (a knob, a drawing pad).
class Knob : public platform::UIView {
public:
    using platform::UIView::UIView;
    bool handlesTouchPhase(platform::UITouchPhase) const override { return true; }
};

class CarouselTouch : public CarouselTest {
protected:
    void SetUp() override {
        CarouselTest::SetUp();
        items->count = 10;
    }
    // One point a frame along the line, slow enough to settle without running out.
    void slowDrag(CGPoint from, CGPoint to) {
        driver.drag(from, to, std::max(std::fabs(to.x - from.x), std::fabs(to.y - from.y)) / 60);
    }
    static Log with(Log log) {
        log.insert(log.begin(), kTouched.begin(), kTouched.end());
        return log;
    }
    // Which of the carousel's recognisers take a finger put down at `point`.
    std::string takers(CGPoint point) {
        driver.input().down(point);
        const auto& recognizers = carousel->contentView()->gestureRecognizers();
        std::string taken;
        if (recognizers[0]->numberOfTouches()) taken += "pan";
        if (recognizers[1]->numberOfTouches()) taken += taken.empty() ? "tap" : "+tap";
        driver.input().cancel();
        clock->advance(0.5);
        return taken.empty() ? "none" : taken;
    }
    // Below the 40-point-high items, inside the carousel.
    static constexpr CGPoint kBelowItems{160, 100 + 140};
};

}  // namespace

TEST_F(CarouselTouch, TapsSelectTheItemUnderTheFingerAndCentreIt) {
    show();
    // The centred item is centred again.
    carousel->setScrollOffset(0.3);
    driver.tap(centre());
    EXPECT_EQ(items->log, with({"beginAnimation", "select 0"}));
    clock->advance(0.5);
    EXPECT_EQ(items->log, with({"beginAnimation", "select 0", "endAnimation"}));
    EXPECT_EQ(carousel->scrollOffset(), 0);

    // Only the centred item's container takes touches, yet a tap finds the item under it.
    settle();
    EXPECT_FALSE(containerOf(2)->isUserInteractionEnabled());
    driver.tap(centre(100));
    clock->advance(0.5);
    EXPECT_EQ(items->log, with({"beginAnimation", "select 2", "endAnimation"}));
    EXPECT_EQ(carousel->scrollOffset(), 2);

    // Beside every item a tap only tells of the touch.
    settle();
    driver.tap(kBelowItems);
    clock->advance(0.5);
    EXPECT_EQ(items->log, kTouched);
}

TEST_F(CarouselTouch, ARefusedSelectionRecentresOnlyWhileScrollingIsEnabled) {
    show();
    items->selectable = false;
    carousel->setScrollOffset(0.3);
    driver.tap(centre());
    clock->advance(0.5);
    EXPECT_EQ(items->log, with({"beginAnimation", "endAnimation"}));
    EXPECT_EQ(carousel->scrollOffset(), 0);

    settle();
    carousel->setScrollEnabled(false);
    carousel->setScrollOffset(0.3);
    driver.tap(centre());
    clock->advance(0.5);
    EXPECT_EQ(items->log, kTouched);
    EXPECT_EQ(carousel->scrollOffset(), 0.3);

    // Taps still select with scrolling off, but drags do nothing.
    settle();
    items->selectable = true;
    driver.tap(centre());
    EXPECT_EQ(items->log, with({"beginAnimation", "select 0"}));
    settle();
    slowDrag(centre(100), centre(0));
    clock->advance(1);
    EXPECT_EQ(items->log, kTouched);
    EXPECT_EQ(carousel->scrollOffset(), 0);
}

TEST_F(CarouselTouch, AnyTouchHaltsTheMotionWhereItIs) {
    show();
    carousel->scrollToItemAtIndex(5, true);
    clock->advance(0.2);
    const double halfway = carousel->scrollOffset();
    EXPECT_NEAR(halfway, 2.5, 1e-5);
    driver.input().down(kBelowItems);
    EXPECT_FALSE(carousel->isScrolling());
    EXPECT_FALSE(carousel->timer());
    driver.input().up(kBelowItems);
    clock->advance(1);
    EXPECT_EQ(carousel->scrollOffset(), halfway) << "left between items: nothing settles a tap beside them";
}

TEST_F(CarouselTouch, ItemsThatTakeTheirOwnTouchesKeepTapsAndDrags) {
    items->make = [](long) { return std::make_shared<Knob>(platform::CGRect{0, 0, 50, 40}); };
    show();
    EXPECT_EQ(takers(centre()), "none");
    EXPECT_EQ(takers(kBelowItems), "pan+tap");
    // An inner view of plain class inherits its item's choice.
    auto inner = std::make_shared<platform::UIView>(platform::CGRect{5, 10, 20, 20});
    carousel->currentItemView()->addSubview(inner);
    EXPECT_EQ(takers(centre(-15)), "none");
}

TEST_F(CarouselTouch, ButtonsInItemsKeepTheirTapsAndDrags) {
    std::vector<std::shared_ptr<platform::UIButton>> buttons;
    items->make = [&](long) {
        buttons.push_back(std::make_shared<platform::UIButton>(platform::CGRect{0, 0, 50, 40}));
        return buttons.back();
    };
    show();
    Log pressed;
    buttons.front()->addTarget(
        &pressed, [&](platform::UIControl&) { pressed.push_back("up-inside"); },
        platform::UIControlEventTouchUpInside);
    driver.tap(centre());
    clock->advance(0.5);
    EXPECT_EQ(items->log, kTouched) << "no selection";
    EXPECT_EQ(pressed, (Log{"up-inside"}));

    settle();
    slowDrag(centre(), centre(-100));
    clock->advance(1);
    EXPECT_EQ(items->log, kTouched) << "no drag";
    EXPECT_EQ(carousel->scrollOffset(), 0);
}

TEST_F(CarouselTouch, AScrollViewInAnItemKeepsDragsOnlyAlongWhatItCanScroll) {
    std::shared_ptr<TrackingScrollView> table;
    items->make = [&](long index) -> std::shared_ptr<platform::UIView> {
        if (index != 0) return std::make_shared<platform::UIView>(platform::CGRect{0, 0, 50, 40});
        table = std::make_shared<TrackingScrollView>(platform::CGRect{0, 0, 50, 40});
        return table;
    };
    show();
    // Its content runs down, not across: the carousel drags.
    table->setContentSize({50, 400});
    EXPECT_EQ(takers(centre()), "pan");
    slowDrag(centre(), centre(-60));
    clock->advance(1);
    EXPECT_EQ(carousel->scrollOffset(), 1);

    // Content wider than the table: the table keeps the drag.
    carousel->setScrollOffset(0);
    settle();
    table->setContentSize({400, 40});
    EXPECT_EQ(takers(centre()), "none");
    slowDrag(centre(), centre(-60));
    clock->advance(1);
    EXPECT_EQ(carousel->scrollOffset(), 0);
    EXPECT_GT(table->contentOffset().x, 0);

    // Unless it cannot scroll at all.
    table->setScrollEnabled(false);
    slowDrag(centre(), centre(-60));
    clock->advance(1);
    EXPECT_EQ(carousel->scrollOffset(), 1);
}

TEST_F(CarouselTouch, SwipesAcrossTheAxisDoNotDragUnlessAllowed) {
    show();
    driver.drag(centre(), {160, 100 + 75 + 70}, 0.5);
    clock->advance(1);
    EXPECT_EQ(items->log, kTouched);
    EXPECT_EQ(carousel->scrollOffset(), 0);

    settle();
    carousel->setIgnorePerpendicularSwipes(false);
    driver.drag(centre(), {160, 100 + 75 + 70}, 0.5);
    clock->advance(1);
    EXPECT_EQ(items->log, with({"beginDrag", "endDrag", "beginAnimation", "endAnimation"}));
    EXPECT_EQ(carousel->scrollOffset(), 0);

    // A vertical carousel drags along y and ignores swipes across.
    settle();
    carousel->setIgnorePerpendicularSwipes(true);
    carousel->setVertical(true);
    settle();
    slowDrag(centre(), centre(-100));
    clock->advance(1);
    EXPECT_EQ(items->log, kTouched);
    slowDrag({160, 200}, {160, 140});
    clock->advance(1);
    EXPECT_EQ(carousel->scrollOffset(), 1);
}

}  // namespace quorvel::testing
