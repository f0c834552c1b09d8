#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/widgets/swipe/page_swipe_view.h"
#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "tests/app/widgets/swipe/swipe_items.h"
#include "tests/support/touch_driver.h"

namespace quorvel::testing {

// A 300 × 80 swipe view 100 points down a shown phone-sized window, showing ten items of 100 × 80,
// not paging (so that layout does not start a scroll of its own), on a virtual clock.
class SwipeTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::DeviceProfile::setCurrent(*platform::DeviceProfile::named("iPhone8"));
        window->makeKeyAndVisible();
        window->addSubview(swipe);
        swipe->setPagingEnabled(false);
        swipe->setDelegate(items);
        swipe->setDataSource(items);
        swipe->layoutIfNeeded();
        items->log.clear();
    }

    void relayout() {
        swipe->setNeedsLayout();
        swipe->layoutIfNeeded();
    }
    void reload(long count) {
        items->count = count;
        swipe->reloadData();
        swipe->layoutIfNeeded();
    }
    // Where an item's view is, in the swipe view's coordinates.
    platform::CGRect frameOf(long index) const {
        auto view = swipe->itemViewAtIndex(index);
        return view ? view->convertRectToView(view->bounds(), swipe.get()) : platform::CGRect::null();
    }
    platform::CGFloat contentOffsetX() const { return swipe->scrollView()->contentOffset().x; }

    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::shared_ptr<platform::UIWindow> window =
        std::make_shared<platform::UIWindow>(platform::CGRect(0, 0, 375, 667));
    std::shared_ptr<PageSwipeView> swipe = std::make_shared<PageSwipeView>(platform::CGRect(0, 100, 300, 80));
    std::shared_ptr<SwipeItems> items = std::make_shared<SwipeItems>();
    TouchDriver driver{clock};
};

}  // namespace quorvel::testing
