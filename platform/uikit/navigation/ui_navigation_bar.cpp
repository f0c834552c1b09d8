#include "platform/uikit/navigation/ui_navigation_bar.h"

#include <algorithm>

#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_item.h"
#include "platform/uikit/text/ui_label.h"

namespace platform {

namespace {

constexpr CGFloat kTitleSize = 17;
constexpr double kTranslucentAlpha = 0.85;

std::vector<std::shared_ptr<UIView>> viewsOf(const std::vector<std::shared_ptr<UIBarButtonItem>>& items) {
    std::vector<std::shared_ptr<UIView>> views;
    for (const auto& item : items) {
        if (auto view = item->view()) views.push_back(view);
    }
    return views;
}

}  // namespace

UINavigationBar::UINavigationBar() : UINavigationBar(CGRect(0, 0, 320, kHeight)) {}

UINavigationBar::UINavigationBar(const CGRect& frame) : UIView(frame) {
    setUp();
}

UINavigationBar::~UINavigationBar() = default;

void UINavigationBar::setUp() {
    background_ = std::make_shared<UIImageView>();
    addSubview(background_);
    shadow_ = std::make_shared<UIImageView>();
    addSubview(shadow_);
    titleLabel_ = std::make_shared<UILabel>();
    titleLabel_->setTextAlignment(NSTextAlignment::center);
    addSubview(titleLabel_);
    backButton_ = UIButton::buttonWithType(UIButtonType::system);
    backButton_->titleLabel()->setFont(UIFont::systemFontOfSize(kTitleSize));
    backButton_->addTarget(
        this, [this](UIControl&) { backButtonTapped(); }, UIControlEventTouchUpInside);
    backButton_->setHidden(true);
    addSubview(backButton_);
    setBackgroundColor(UIColor::clearColor());
    updateBackground();
    showTopItem();
}

// Look ------------------------------------------------------------------------------------------------

void UINavigationBar::setBarStyle(UIBarStyle style) {
    barStyle_ = style;
    updateBackground();
    showTopItem();
}

void UINavigationBar::setTranslucent(bool translucent) {
    if (translucent == translucent_) return;
    translucent_ = translucent;
    updateBackground();
    // Whether the content goes on under the bar or starts below it depends on this.
    if (const auto container = superview()) container->setNeedsLayout();
}

void UINavigationBar::setBarTintColor(const std::shared_ptr<UIColor>& color) {
    barTintColor_ = color;
    updateBackground();
}

void UINavigationBar::setTitleTextAttributes(const NSAttributes& attributes) {
    titleAttributes_ = attributes;
    showTopItem();
}

void UINavigationBar::setShadowImage(const std::shared_ptr<UIImage>& image) {
    shadowImage_ = image;
    updateBackground();
}

std::shared_ptr<UIImage> UINavigationBar::backgroundImageForBarMetrics(UIBarMetrics metrics) const {
    auto it = backgroundImages_.find(metrics);
    return it == backgroundImages_.end() ? nullptr : it->second;
}

void UINavigationBar::setBackgroundImage(const std::shared_ptr<UIImage>& image, UIBarMetrics metrics) {
    if (image) {
        backgroundImages_[metrics] = image;
    } else {
        backgroundImages_.erase(metrics);
    }
    updateBackground();
}

void UINavigationBar::updateBackground() {
    if (auto image = backgroundImageForBarMetrics(UIBarMetrics::defaultMetrics)) {
        background_->setImage(image);
        background_->setBackgroundColor(UIColor::clearColor());
    } else {
        background_->setImage(nullptr);
        auto tint = barTintColor_ ? barTintColor_
                                  : (barStyle_ == UIBarStyle::black ? UIColor::blackColor() : UIColor::whiteColor());
        background_->setBackgroundColor(translucent_ ? tint->colorWithAlphaComponent(kTranslucentAlpha) : tint);
    }
    if (shadowImage_) {
        shadow_->setImage(shadowImage_);
        shadow_->setBackgroundColor(UIColor::clearColor());
    } else {
        shadow_->setImage(nullptr);
        shadow_->setBackgroundColor(UIColor::colorWithWhite(0, 0.3));
    }
}

// Items -----------------------------------------------------------------------------------------------

std::shared_ptr<UINavigationItem> UINavigationBar::topItem() const {
    return items_.empty() ? nullptr : items_.back();
}

std::shared_ptr<UINavigationItem> UINavigationBar::backItem() const {
    return items_.size() < 2 ? nullptr : items_[items_.size() - 2];
}

std::shared_ptr<UINavigationItem> UINavigationBar::popNavigationItemAnimated(bool animated) {
    if (items_.empty()) return nullptr;
    auto items = items_;
    auto popped = items.back();
    items.pop_back();
    setItems(items, animated);
    return popped;
}

void UINavigationBar::setItems(const std::vector<std::shared_ptr<UINavigationItem>>& items, bool animated) {
    (void)animated;
    for (const auto& old : items_) {
        if (std::find(items.begin(), items.end(), old) == items.end() && old->bar_.lock().get() == this)
            old->bar_.reset();
    }
    items_ = items;
    auto self = std::static_pointer_cast<UINavigationBar>(weak_from_this().lock());
    for (const auto& item : items_) item->bar_ = self;
    showTopItem();
}

void UINavigationBar::itemDidChange(UINavigationItem& item) {
    if (&item == topItem().get() || &item == backItem().get()) showTopItem();
}

std::shared_ptr<UIButton> UINavigationBar::backButton() const {
    return showsBackButton_ ? backButton_ : nullptr;
}

void UINavigationBar::backButtonTapped() {
    auto top = topItem();
    if (!top) return;
    auto keep = weak_from_this().lock();
    auto delegate = delegate_.lock();
    if (!delegate || delegate->navigationBarShouldPopItem(*this, *top)) popNavigationItemAnimated(true);
}

void UINavigationBar::showTopItem() {
    for (const auto& views : {leftViews_, rightViews_}) {
        for (const auto& view : views) {
            if (view->superview().get() == this) view->removeFromSuperview();
        }
    }
    if (titleView_ && titleView_->superview().get() == this) titleView_->removeFromSuperview();
    auto top = topItem();
    auto back = backItem();
    leftViews_ = top ? viewsOf(top->leftBarButtonItems()) : std::vector<std::shared_ptr<UIView>>{};
    rightViews_ = top ? viewsOf(top->rightBarButtonItems()) : std::vector<std::shared_ptr<UIView>>{};
    titleView_ = top ? top->titleView() : nullptr;
    showsBackButton_ = back && top->leftBarButtonItems().empty() && !top->hidesBackButton();
    for (const auto& views : {leftViews_, rightViews_}) {
        for (const auto& view : views) addSubview(view);
    }
    if (titleView_) addSubview(titleView_);

    titleLabel_->setText(top ? top->title() : "");
    titleLabel_->setFont(titleAttributes_.font ? titleAttributes_.font : UIFont::boldSystemFontOfSize(kTitleSize));
    auto defaultColor = barStyle_ == UIBarStyle::black ? UIColor::whiteColor() : UIColor::blackColor();
    titleLabel_->setTextColor(titleAttributes_.foregroundColor ? titleAttributes_.foregroundColor : defaultColor);
    titleLabel_->setHidden(titleView_ != nullptr);
    backButton_->setHidden(!showsBackButton_);
    if (showsBackButton_) {
        std::string title = back->backButtonTitle().empty() ? back->title() : back->backButtonTitle();
        backButton_->setTitle("\u2039 " + (title.empty() ? std::string("Back") : title), UIControlStateNormal);
        backButton_->sizeToFit();
    }
    setNeedsLayout();
}

// Layout ----------------------------------------------------------------------------------------------

CGSize UINavigationBar::sizeThatFits(CGSize size) const {
    bool compactPhone = traitCollection().userInterfaceIdiom == UIUserInterfaceIdiom::phone &&
                        traitCollection().verticalSizeClass == UIUserInterfaceSizeClass::compact;
    return {size.width, compactPhone ? kCompactHeight : kHeight};
}

CGFloat UINavigationBar::placeItems(const std::vector<std::shared_ptr<UIView>>& views, CGFloat edge, bool fromLeft) {
    CGFloat height = bounds().height();
    for (const auto& view : views) {
        CGSize size = view->frame().size;
        CGFloat x = fromLeft ? edge : edge - size.width;
        view->setFrame(CGRect(x, (height - size.height) / 2, size.width, size.height));
        edge = fromLeft ? edge + size.width + kMargin : edge - size.width - kMargin;
    }
    return edge;
}

void UINavigationBar::layoutSubviews() {
    CGRect b = bounds();
    // The background also covers the status bar above the bar.
    CGFloat above = std::max(0.0, frame().minY());
    background_->setFrame(CGRect(0, -above, b.width(), b.height() + above));
    shadow_->setFrame(CGRect(0, b.height(), b.width(), 1 / UIScreen::mainScreen().scale()));

    std::vector<std::shared_ptr<UIView>> left = leftViews_;
    if (showsBackButton_) left = {backButton_};
    // Clear of a sensor housing at either side.
    const UIEdgeInsets insets = safeAreaInsets();
    CGFloat leftEnd = placeItems(left, insets.left + kMargin, true);
    CGFloat rightEnd = placeItems(rightViews_, b.width() - insets.right - kMargin, false);

    // The title is centred on the bar where the items leave room for it, else in the room they leave.
    UIView& title = titleView_ ? *titleView_ : *titleLabel_;
    CGSize size = titleView_ ? titleView_->frame().size : titleLabel_->sizeThatFits(b.size);
    CGFloat room = std::max(0.0, rightEnd - leftEnd);
    size.width = std::min(size.width, room);
    CGFloat x = std::clamp(b.midX() - size.width / 2, leftEnd, std::max(leftEnd, rightEnd - size.width));
    title.setFrame(CGRect(x, (b.height() - size.height) / 2, size.width, size.height));
}

}  // namespace platform
