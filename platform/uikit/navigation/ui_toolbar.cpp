#include "platform/uikit/navigation/ui_toolbar.h"

#include <algorithm>

#include "platform/uikit/navigation/ui_bar_button_item.h"

namespace platform {

namespace {

constexpr double kTranslucentAlpha = 0.85;

}  // namespace

UIToolbar::UIToolbar() : UIToolbar(CGRect(0, 0, 320, kHeight)) {}

UIToolbar::UIToolbar(const CGRect& frame) : UIView(frame) {
    updateBackground();
}

void UIToolbar::setBarStyle(UIBarStyle style) {
    barStyle_ = style;
    updateBackground();
}

void UIToolbar::setBarTintColor(const std::shared_ptr<UIColor>& color) {
    barTintColor_ = color;
    updateBackground();
}

void UIToolbar::setTranslucent(bool translucent) {
    translucent_ = translucent;
    updateBackground();
}

void UIToolbar::updateBackground() {
    auto tint = barTintColor_ ? barTintColor_
                              : (barStyle_ == UIBarStyle::black ? UIColor::blackColor() : UIColor::whiteColor());
    setBackgroundColor(translucent_ ? tint->colorWithAlphaComponent(kTranslucentAlpha) : tint);
}

void UIToolbar::setItems(const std::vector<std::shared_ptr<UIBarButtonItem>>& items, bool animated) {
    (void)animated;
    for (const auto& item : items_) {
        auto view = item->view();
        if (view && view->superview().get() == this) view->removeFromSuperview();
    }
    items_ = items;
    for (const auto& item : items_) {
        if (auto view = item->view()) addSubview(view);
    }
    setNeedsLayout();
}

void UIToolbar::layoutSubviews() {
    CGRect b = bounds();
    CGFloat used = 0;
    int flexible = 0;
    for (const auto& item : items_) {
        if (item->isFlexibleSpace()) {
            ++flexible;
        } else {
            auto view = item->view();
            used += view ? view->frame().width() : item->width();
        }
    }
    CGFloat gaps = UINavigationBar::kMargin * CGFloat(items_.size() + 1);
    CGFloat share = flexible ? std::max(0.0, b.width() - used - gaps) / flexible : 0;
    CGFloat x = UINavigationBar::kMargin;
    for (const auto& item : items_) {
        auto view = item->view();
        CGFloat width = item->isFlexibleSpace() ? share : (view ? view->frame().width() : item->width());
        if (view) {
            CGFloat height = view->frame().height();
            view->setFrame(CGRect(x, (b.height() - height) / 2, width, height));
        }
        x += width + UINavigationBar::kMargin;
    }
}

}  // namespace platform
