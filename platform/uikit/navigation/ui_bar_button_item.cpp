#include "platform/uikit/navigation/ui_bar_button_item.h"

#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/text/ui_font.h"

namespace platform {

namespace {

constexpr CGFloat kTitleSize = 17;

}  // namespace

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::itemWithCustomView(const std::shared_ptr<UIView>& view) {
    std::shared_ptr<UIBarButtonItem> item(new UIBarButtonItem());
    item->customView_ = view;
    return item;
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::itemWithTitle(const std::string& title, UIBarButtonItemStyle style,
                                                                 Action action) {
    std::shared_ptr<UIBarButtonItem> item(new UIBarButtonItem());
    item->title_ = title;
    item->style_ = style;
    item->action_ = std::move(action);
    return item;
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::itemWithImage(const std::shared_ptr<UIImage>& image,
                                                                 UIBarButtonItemStyle style, Action action) {
    auto item = itemWithTitle("", style, std::move(action));
    item->image_ = image;
    return item;
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::itemWithBarButtonSystemItem(UIBarButtonSystemItem systemItem,
                                                                              Action action) {
    switch (systemItem) {
        case UIBarButtonSystemItem::done:
            return itemWithTitle("Done", UIBarButtonItemStyle::done, std::move(action));
        case UIBarButtonSystemItem::cancel:
            return itemWithTitle("Cancel", UIBarButtonItemStyle::plain, std::move(action));
        case UIBarButtonSystemItem::save:
            return itemWithTitle("Save", UIBarButtonItemStyle::done, std::move(action));
        case UIBarButtonSystemItem::flexibleSpace:
        case UIBarButtonSystemItem::fixedSpace:
            break;
    }
    std::shared_ptr<UIBarButtonItem> item(new UIBarButtonItem());
    item->space_ = true;
    item->flexible_ = systemItem == UIBarButtonSystemItem::flexibleSpace;
    return item;
}

void UIBarButtonItem::setTitle(const std::string& title) {
    title_ = title;
    updateButton();
}

void UIBarButtonItem::setImage(const std::shared_ptr<UIImage>& image) {
    image_ = image;
    updateButton();
}

void UIBarButtonItem::setStyle(UIBarButtonItemStyle style) {
    style_ = style;
    updateButton();
}

void UIBarButtonItem::setEnabled(bool enabled) {
    enabled_ = enabled;
    updateButton();
}

void UIBarButtonItem::setTintColor(const std::shared_ptr<UIColor>& color) {
    tintColor_ = color;
    updateButton();
}

void UIBarButtonItem::setCustomView(const std::shared_ptr<UIView>& view) {
    customView_ = view;
}

void UIBarButtonItem::sendAction() {
    if (!enabled_ || !action_) return;
    auto keep = shared_from_this();
    Action action = action_;
    action(*this);
}

std::shared_ptr<UIView> UIBarButtonItem::view() {
    if (customView_) return customView_;
    if (space_) return nullptr;
    if (!button_) {
        auto button = UIButton::buttonWithType(UIButtonType::system);
        button->addTarget(
            this,
            [weak = weak_from_this()](UIControl&) {
                if (auto item = weak.lock()) item->sendAction();
            },
            UIControlEventTouchUpInside);
        button_ = button;
        updateButton();
    }
    return button_;
}

void UIBarButtonItem::updateButton() {
    auto button = std::static_pointer_cast<UIButton>(button_);
    if (!button) return;
    button->setTitle(title_, UIControlStateNormal);
    button->setImage(image_, UIControlStateNormal);
    button->titleLabel()->setFont(style_ == UIBarButtonItemStyle::done ? UIFont::boldSystemFontOfSize(kTitleSize)
                                                                       : UIFont::systemFontOfSize(kTitleSize));
    button->setTintColor(tintColor_);
    button->setEnabled(enabled_);
    button->sizeToFit();
}

}  // namespace platform
