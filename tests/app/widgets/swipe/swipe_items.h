#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/widgets/swipe/page_swipe_view.h"

namespace quorvel::testing {

// Items of a fixed size for a swipe view, each view tagged with its index, and a log of what the swipe
// view told (runs of scrolls as one word).
class SwipeItems : public PageSwipeViewDataSource, public PageSwipeViewDelegate {
public:
    long count = 10;
    platform::CGSize itemSize{100, 80};  // the delegate's answer
    platform::CGSize viewSize{100, 80};  // the views' own
    long refusedIndex = -1;              // answered no when asked to select it
    int reused = 0;
    std::vector<std::string> log;
    std::vector<long> selected;

    long numberOfItemsInSwipeView(PageSwipeView&) override { return count; }
    std::shared_ptr<platform::UIView> swipeViewViewForItemAtIndex(
        PageSwipeView&, long index, std::shared_ptr<platform::UIView> reusing) override {
        reused += reusing != nullptr;
        auto view =
            reusing ? reusing : std::make_shared<platform::UIView>(platform::CGRect({0, 0}, viewSize));
        view->setTag(index);
        return view;
    }

    platform::CGSize swipeViewItemSize(PageSwipeView&) override { return itemSize; }
    void swipeViewDidScroll(PageSwipeView&) override {
        if (log.empty() || log.back() != "scroll") log.push_back("scroll");
    }
    void swipeViewCurrentItemIndexDidChange(PageSwipeView& view) override {
        log.push_back("index " + std::to_string(view.currentItemIndex()));
    }
    void swipeViewWillBeginDragging(PageSwipeView&) override { log.push_back("beginDrag"); }
    void swipeViewDidEndDragging(PageSwipeView&, bool decelerate) override {
        log.push_back(decelerate ? "endDrag+" : "endDrag");
    }
    void swipeViewWillBeginDecelerating(PageSwipeView&) override { log.push_back("beginDecelerate"); }
    void swipeViewDidEndDecelerating(PageSwipeView&) override { log.push_back("endDecelerate"); }
    void swipeViewDidEndScrollingAnimation(PageSwipeView&) override { log.push_back("endAnimation"); }
    bool swipeViewShouldSelectItemAtIndex(PageSwipeView&, long index) override {
        return index != refusedIndex;
    }
    void swipeViewDidSelectItemAtIndex(PageSwipeView&, long index) override { selected.push_back(index); }
};

}  // namespace quorvel::testing
