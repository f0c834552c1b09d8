#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/widgets/carousel/item_carousel.h"
#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"
#include "tests/support/touch_driver.h"

namespace quorvel::testing {

// Items of one size, tagged with their index (placeholders with −100 − their index), answering the
// options a test sets, and writing down what it is asked and told.
class Items : public ItemCarouselDataSource, public ItemCarouselDelegate {
public:
    long count = 10;
    long placeholders = 0;
    platform::CGSize itemSize{50, 40};
    double itemWidth = 0;  // the delegate's answer
    bool selectable = true;
    std::map<ItemCarouselOption, double> options;
    // Makes the view of an item, when set; else a plain view.
    std::function<std::shared_ptr<platform::UIView>(long index)> make;

    // "item 3" or "placeholder 1", with "+reused" when handed a recycled view.
    std::vector<std::string> requests;
    // The delegate's messages, didScroll and currentItemIndexDidChange left out (they are counted),
    // and the scroll offset at each.
    std::vector<std::string> log;
    int scrolls = 0;
    std::vector<long> indexChanges;
    std::vector<double> offsetsAtEvents;

    long numberOfItemsInCarousel(ItemCarousel&) override { return count; }
    long numberOfPlaceholdersInCarousel(ItemCarousel&) override { return placeholders; }
    std::shared_ptr<platform::UIView> carouselViewForItemAtIndex(
        ItemCarousel&, long index, std::shared_ptr<platform::UIView> reusing) override {
        return view("item", index, index, std::move(reusing));
    }
    std::shared_ptr<platform::UIView> carouselPlaceholderViewAtIndex(
        ItemCarousel&, long index, std::shared_ptr<platform::UIView> reusing) override {
        return view("placeholder", index, -100 - index, std::move(reusing));
    }

    void carouselTouched(ItemCarousel& c) override { note("touched", c); }
    void carouselWillBeginScrollingAnimation(ItemCarousel& c) override { note("beginAnimation", c); }
    void carouselDidEndScrollingAnimation(ItemCarousel& c) override { note("endAnimation", c); }
    void carouselDidScroll(ItemCarousel&) override { ++scrolls; }
    void carouselCurrentItemIndexDidChange(ItemCarousel& c) override {
        indexChanges.push_back(c.currentItemIndex());
    }
    void carouselWillBeginDragging(ItemCarousel& c) override { note("beginDrag", c); }
    void carouselDidEndDragging(ItemCarousel& c, bool decelerate) override {
        note(decelerate ? "endDrag+" : "endDrag", c);
        releaseVelocity = c.startVelocity();
        releaseRunOut = c.decelerationDistance();
    }
    void carouselWillBeginDecelerating(ItemCarousel& c) override { note("beginDecelerate", c); }
    void carouselDidEndDecelerating(ItemCarousel& c) override { note("endDecelerate", c); }
    bool carouselShouldSelectItemAtIndex(ItemCarousel&, long) override { return selectable; }
    void carouselDidSelectItemAtIndex(ItemCarousel& c, long index) override {
        note("select " + std::to_string(index), c);
    }
    double carouselItemWidth(ItemCarousel&) override { return itemWidth; }
    double carouselValueForOption(ItemCarousel&, ItemCarouselOption option, double value) override {
        auto it = options.find(option);
        return it == options.end() ? value : it->second;
    }

    double releaseVelocity = 0;
    double releaseRunOut = 0;

private:
    std::shared_ptr<platform::UIView> view(const std::string& kind, long index, long tag,
                                           std::shared_ptr<platform::UIView> reusing) {
        requests.push_back(kind + " " + std::to_string(index) + (reusing ? "+reused" : ""));
        auto v = reusing ? reusing : make ? make(index) : std::make_shared<platform::UIView>();
        if (!reusing && !make) v->setFrame({0, 0, itemSize.width, itemSize.height});
        v->setTag(tag);
        return v;
    }
    void note(const std::string& what, ItemCarousel& c) {
        log.push_back(what);
        offsetsAtEvents.push_back(c.scrollOffset());
    }
};

// A 320 × 150 carousel in a shown phone window on a virtual clock, and a driver to touch it.
class CarouselTest : public ::testing::Test {
protected:
    static constexpr platform::CGRect kFrame{0, 100, 320, 150};

    void SetUp() override {
        platform::DeviceProfile::setCurrent(*platform::DeviceProfile::named("iPhone8"));
        platform::UIScreen::mainScreen().reset();
        platform::UIDevice::currentDevice().reset();
        window->makeKeyAndVisible();
    }

    // Shows the carousel with the items and lets the first layout's settle run out.
    void show(ItemCarouselType type = ItemCarouselType::linear) {
        window->addSubview(carousel);
        carousel->setType(type);
        carousel->setDataSource(items);
        carousel->setDelegate(items);
        carousel->layoutIfNeeded();
        settle();
    }
    // Long enough for any scroll, run-out or snap to finish.
    void settle(double seconds = 3) {
        clock->advance(seconds);
        items->log.clear();
        items->offsetsAtEvents.clear();
        items->indexChanges.clear();
        items->requests.clear();
        items->scrolls = 0;
    }
    std::shared_ptr<platform::UIView> containerOf(long index) const {
        auto view = carousel->itemViewAtIndex(index);
        return view ? view->superview() : nullptr;
    }
    // A point of the screen over the carousel's centre, `dx` points to the right.
    static platform::CGPoint centre(double dx = 0) {
        return {kFrame.origin.x + kFrame.size.width / 2 + dx, kFrame.origin.y + kFrame.size.height / 2};
    }

    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::shared_ptr<platform::UIWindow> window =
        std::make_shared<platform::UIWindow>(platform::CGRect(0, 0, 375, 667));
    std::shared_ptr<ItemCarousel> carousel = std::make_shared<ItemCarousel>(kFrame);
    std::shared_ptr<Items> items = std::make_shared<Items>();
    TouchDriver driver{clock};
};

}  // namespace quorvel::testing
