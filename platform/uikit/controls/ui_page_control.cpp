#include "platform/uikit/controls/ui_page_control.h"

#include <algorithm>

#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/touches/ui_touch.h"

namespace platform {

UIPageControl::UIPageControl() : UIPageControl(CGRect::zero()) {}

UIPageControl::UIPageControl(const CGRect& frame) : UIControl(frame) {
    setOpaque(false);
}

void UIPageControl::setNumberOfPages(long pages) {
    numberOfPages_ = std::max(0L, pages);
    currentPage_ = std::clamp(currentPage_, 0L, std::max(0L, numberOfPages_ - 1));
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UIPageControl::setCurrentPage(long page) {
    currentPage_ = std::clamp(page, 0L, std::max(0L, numberOfPages_ - 1));
    setNeedsDisplay();
}

void UIPageControl::setHidesForSinglePage(bool hides) {
    hidesForSinglePage_ = hides;
    setNeedsDisplay();
}

std::shared_ptr<UIColor> UIPageControl::pageIndicatorTintColor() const {
    return pageIndicatorTintColor_ ? pageIndicatorTintColor_ : UIColor::colorWithWhite(1, 0.2);
}

std::shared_ptr<UIColor> UIPageControl::currentPageIndicatorTintColor() const {
    return currentPageIndicatorTintColor_ ? currentPageIndicatorTintColor_ : UIColor::whiteColor();
}

CGSize UIPageControl::sizeForNumberOfPages(long pages) {
    if (pages <= 0) return {0, kHeight};
    return {CGFloat(pages) * kDotDiameter + CGFloat(pages - 1) * kDotSpacing, kHeight};
}

CGSize UIPageControl::sizeThatFits(CGSize size) const {
    (void)size;
    return sizeForNumberOfPages(numberOfPages_);
}

CGSize UIPageControl::intrinsicContentSize() const {
    return sizeForNumberOfPages(numberOfPages_);
}

CGRect UIPageControl::rectForPage(long page) const {
    const CGRect b = bounds();
    const CGFloat row = sizeForNumberOfPages(numberOfPages_).width;
    const CGFloat x = b.minX() + (b.width() - row) / 2 + CGFloat(page) * (kDotDiameter + kDotSpacing);
    return CGRect(x, b.midY() - kDotDiameter / 2, kDotDiameter, kDotDiameter);
}

bool UIPageControl::showsDots() const {
    return numberOfPages_ > (hidesForSinglePage_ ? 1 : 0);
}

void UIPageControl::drawRect(const CGRect& rect) {
    (void)rect;
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context || !showsDots()) return;
    const auto other = pageIndicatorTintColor(), current = currentPageIndicatorTintColor();
    for (long page = 0; page < numberOfPages_; ++page) {
        context->setFillColor(page == currentPage_ ? current : other);
        context->fillEllipseInRect(rectForPage(page));
    }
}

void UIPageControl::endTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    (void)event;
    if (!isTouchInside()) return;
    const long page = currentPage_ + (touch.locationInView(this).x < bounds().midX() ? -1 : 1);
    const long before = currentPage_;
    setCurrentPage(page);
    if (currentPage_ != before) sendActionsForControlEvents(UIControlEventValueChanged);
}

}  // namespace platform
