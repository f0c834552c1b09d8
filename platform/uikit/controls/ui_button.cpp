#include "platform/uikit/controls/ui_button.h"

#include <algorithm>

#include "platform/uikit/drawing/ui_graphics.h"

namespace platform {

UIButton::UIButton() : UIButton(CGRect()) {}

UIButton::UIButton(const CGRect& frame) : UIControl(frame) {
    setUp();
}

UIButton::UIButton(UIButtonType type) : UIControl(CGRect()), type_(type) {
    setUp();
}

std::shared_ptr<UIButton> UIButton::buttonWithType(UIButtonType type) {
    auto button = std::shared_ptr<UIButton>(new UIButton(type));
    button->addSubview(button->imageView_);
    button->addSubview(button->titleLabel_);
    button->stateDidChange();
    return button;
}

void UIButton::setUp() {
    setOpaque(false);
    titleLabel_ = std::make_shared<UILabel>();
    titleLabel_->setFont(
        UIFont::systemFontOfSize(type_ == UIButtonType::system ? 15 : UIFont::buttonFontSize()));
    titleLabel_->setLineBreakMode(NSLineBreakMode::byTruncatingMiddle);
    imageView_ = std::make_shared<UIImageView>();
    imageView_->setContentMode(UIViewContentMode::center);
}

template <typename T>
T UIButton::lookup(const std::map<unsigned, T>& values, unsigned state) {
    if (auto it = values.find(state); it != values.end()) return it->second;
    if (auto it = values.find(UIControlStateNormal); it != values.end()) return it->second;
    return T();
}

void UIButton::setTitle(const std::string& title, unsigned state) {
    if (const auto it = titles_.find(state); it != titles_.end() && it->second == title) return;
    titles_[state] = title;
    stateDidChange();
}

void UIButton::setTitleColor(std::shared_ptr<UIColor> color, unsigned state) {
    if (color) {
        titleColors_[state] = std::move(color);
    } else {
        titleColors_.erase(state);
    }
    stateDidChange();
}

void UIButton::setImage(std::shared_ptr<UIImage> image, unsigned state) {
    if (image) {
        images_[state] = std::move(image);
    } else {
        images_.erase(state);
    }
    stateDidChange();
}

void UIButton::setBackgroundImage(std::shared_ptr<UIImage> image, unsigned state) {
    if (image) {
        backgroundImages_[state] = std::move(image);
    } else {
        backgroundImages_.erase(state);
    }
    stateDidChange();
}

std::optional<std::string> UIButton::titleForState(unsigned state) const {
    if (auto it = titles_.find(state); it != titles_.end()) return it->second;
    if (auto it = titles_.find(UIControlStateNormal); it != titles_.end()) return it->second;
    return std::nullopt;
}

std::shared_ptr<UIColor> UIButton::titleColorForState(unsigned state) const {
    if (auto color = lookup(titleColors_, state)) return color;
    if (type_ == UIButtonType::custom) return UIColor::whiteColor();
    if (state & UIControlStateDisabled) return UIColor::colorWithWhite(0.5, 0.5);
    auto tint = tintColor();
    if (tint && (state & UIControlStateHighlighted)) return tint->colorWithAlphaComponent(0.2);
    return tint;
}

std::shared_ptr<UIImage> UIButton::imageForState(unsigned state) const {
    return lookup(images_, state);
}

std::shared_ptr<UIImage> UIButton::backgroundImageForState(unsigned state) const {
    return lookup(backgroundImages_, state);
}

void UIButton::setContentEdgeInsets(const UIEdgeInsets& insets) {
    contentInsets_ = insets;
    stateDidChange();
}

void UIButton::setTitleEdgeInsets(const UIEdgeInsets& insets) {
    titleInsets_ = insets;
    setNeedsLayout();
}

void UIButton::setImageEdgeInsets(const UIEdgeInsets& insets) {
    imageInsets_ = insets;
    setNeedsLayout();
}

void UIButton::stateDidChange() {
    if (titleLabel_->superview().get() != this) {
        addSubview(imageView_);
        addSubview(titleLabel_);
    }
    const unsigned s = state();
    titleLabel_->setText(titleForState(s).value_or(""));
    titleLabel_->setTextColor(titleColorForState(s));
    titleLabel_->setHidden(titleLabel_->text().empty());
    imageView_->setImage(imageForState(s));
    imageView_->setHidden(!imageView_->image());
    invalidateIntrinsicContentSize();
    setNeedsLayout();
    setNeedsDisplay();
}

CGSize UIButton::titleSize() const {
    return titleLabel_->text().empty() ? CGSize() : titleLabel_->sizeThatFits({0, 0});
}

CGSize UIButton::imageSize() const {
    return imageView_->image() ? imageView_->image()->size() : CGSize();
}

CGSize UIButton::sizeThatFits(CGSize size) const {
    (void)size;
    const CGSize title = titleSize(), image = imageSize();
    CGSize fit{image.width + title.width, std::max(image.height, title.height)};
    if (auto background = currentBackgroundImage()) {
        fit.width = std::max(fit.width, background->size().width);
        fit.height = std::max(fit.height, background->size().height);
    }
    return {fit.width + contentInsets_.left + contentInsets_.right,
            fit.height + contentInsets_.top + contentInsets_.bottom};
}

void UIButton::layoutSubviews() {
    const CGRect content = UIEdgeInsetsInsetRect(bounds(), contentInsets_);
    CGSize title = titleSize(), image = imageSize();
    // A title that does not fit beside the image is truncated.
    title.width = std::min(title.width, std::max<CGFloat>(0, content.size.width - image.width));
    const CGFloat total = image.width + title.width;
    CGFloat x = content.midX() - total / 2;
    switch (contentHorizontalAlignment()) {
        case UIControlContentHorizontalAlignment::left:
            x = content.minX();
            break;
        case UIControlContentHorizontalAlignment::right:
            x = content.maxX() - total;
            break;
        default:
            break;
    }
    auto y = [&](CGFloat h) {
        switch (contentVerticalAlignment()) {
            case UIControlContentVerticalAlignment::top:
                return content.minY();
            case UIControlContentVerticalAlignment::bottom:
                return content.maxY() - h;
            default:
                return content.midY() - h / 2;
        }
    };
    imageView_->setFrame(
        UIEdgeInsetsInsetRect(CGRectMake(x, y(image.height), image.width, image.height), imageInsets_));
    titleLabel_->setFrame(UIEdgeInsetsInsetRect(
        CGRectMake(x + image.width, y(title.height), title.width, title.height), titleInsets_));
}

void UIButton::subviewLayoutInputsChanged(UIView* subview) {
    if (subview != titleLabel_.get() && subview != imageView_.get()) return;
    invalidateIntrinsicContentSize();
    setNeedsLayout();
}

void UIButton::drawRect(const CGRect& rect) {
    (void)rect;
    if (auto background = currentBackgroundImage()) background->drawInRect(bounds());
}

}  // namespace platform
