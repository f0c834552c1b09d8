#include "platform/uikit/navigation/ui_navigation_item.h"

#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_bar.h"

namespace platform {

namespace {

UINavigationItem::Items itemsOf(const std::shared_ptr<UIBarButtonItem>& item) {
    return item ? UINavigationItem::Items{item} : UINavigationItem::Items{};
}

}  // namespace

void UINavigationItem::setTitle(const std::string& title) {
    title_ = title;
    changed();
}

std::shared_ptr<UIBarButtonItem> UINavigationItem::leftBarButtonItem() const {
    return left_.empty() ? nullptr : left_.front();
}

void UINavigationItem::setLeftBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item) {
    setLeftBarButtonItems(itemsOf(item));
}

void UINavigationItem::setLeftBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item, bool animated) {
    (void)animated;
    setLeftBarButtonItem(item);
}

std::shared_ptr<UIBarButtonItem> UINavigationItem::rightBarButtonItem() const {
    return right_.empty() ? nullptr : right_.front();
}

void UINavigationItem::setRightBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item) {
    setRightBarButtonItems(itemsOf(item));
}

void UINavigationItem::setRightBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item, bool animated) {
    (void)animated;
    setRightBarButtonItem(item);
}

void UINavigationItem::setLeftBarButtonItems(const Items& items) {
    left_ = items;
    changed();
}

void UINavigationItem::setRightBarButtonItems(const Items& items) {
    right_ = items;
    changed();
}

void UINavigationItem::changed() {
    if (auto bar = bar_.lock()) bar->itemDidChange(*this);
}

}  // namespace platform
