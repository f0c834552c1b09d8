#pragma once

#include <memory>

#include "platform/uikit/controls/ui_control.h"

namespace platform {

class UIColor;

// A row of dots, one per page, the current one brighter, centred in the control. The current page is
// always a page there is (0 when there are none). A tap on either side of the middle steps one page
// that way and sends a value change.
class UIPageControl : public UIControl {
public:
    static constexpr CGFloat kDotDiameter = 7;
    static constexpr CGFloat kDotSpacing = 9;
    static constexpr CGFloat kHeight = 37;

    UIPageControl();
    explicit UIPageControl(const CGRect& frame);

    long numberOfPages() const { return numberOfPages_; }
    // Negative counts mean none.
    void setNumberOfPages(long pages);
    long currentPage() const { return currentPage_; }
    void setCurrentPage(long page);
    // With one page (or none) the control shows nothing.
    void setHidesForSinglePage(bool hides);

    // White at 20 % and white when not set.
    std::shared_ptr<UIColor> pageIndicatorTintColor() const;
    std::shared_ptr<UIColor> currentPageIndicatorTintColor() const;

    // What `pages` dots take: their row, as tall as the control's standard height.
    static CGSize sizeForNumberOfPages(long pages);
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    // Where the dot of `page` is drawn, in the control's bounds.
    CGRect rectForPage(long page) const;

    void drawRect(const CGRect& rect) override;
    void endTrackingWithTouch(UITouch& touch, const UIEvent* event) override;

private:
    bool showsDots() const;

    long numberOfPages_ = 0;
    long currentPage_ = 0;
    bool hidesForSinglePage_ = false;
    std::shared_ptr<UIColor> pageIndicatorTintColor_;
    std::shared_ptr<UIColor> currentPageIndicatorTintColor_;
};

}  // namespace platform
