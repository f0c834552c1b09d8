#include "app/widgets/menu/drop_down_menu.h"

#include <cmath>

#include "platform/foundation/ns_foundation_version.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/views/ui_view_animation.h"

namespace quorvel {

using namespace platform;

namespace {

// Where the flat look of the platform begins.
constexpr double kFlatFoundationVersion = 993;
// Opening springs with this damping and initial speed; closing first dips to this height.
constexpr double kOpenDamping = 0.6;
constexpr double kOpenVelocity = 4.0;
constexpr CGFloat kDipY = -20;

std::shared_ptr<UIColor> darkLine() {
    return UIColor::colorWithRed(28 / 255.0, 28 / 255.0, 27 / 255.0, 1);
}

std::shared_ptr<UIFont> defaultFont() {
    auto font = UIFont::fontWithName("HelveticaNeue-Light", 20);
    return font ? font : UIFont::systemFontOfSize(20);
}

}  // namespace

DropDownMenu::DropDownMenu() : DropDownMenu(std::vector<std::shared_ptr<DropDownMenuItem>>{}) {}

DropDownMenu::DropDownMenu(std::vector<std::shared_ptr<DropDownMenuItem>> items)
    : items_(std::move(items)), borderColor_(darkLine()), appearsBehindNavigationBar_(flatStyle()) {
    const auto grey = UIColor::colorWithWhite(210 / 255.0, 1);
    const auto pressed = UIColor::colorWithRed(28 / 255.0, 28 / 255.0, 27 / 255.0, 0.8);
    setFont(defaultFont());
    setSubtitleFont(UIFont::systemFontOfSize(14));
    setBackgroundColor(UIColor::colorWithRed(53 / 255.0, 53 / 255.0, 52 / 255.0, 0.8));
    setSeparatorColor(UIColor::colorWithPatternImage(separatorImage()));
    setTextColor(grey);
    setHighlightedTextColor(grey);
    for (auto set :
         {&DropDownMenu::setTextShadowColor, &DropDownMenu::setHighlightedTextShadowColor,
          &DropDownMenu::setSubtitleTextShadowColor, &DropDownMenu::setSubtitleHighlightedTextShadowColor}) {
        (this->*set)(UIColor::blackColor());
    }
    for (auto set : {&DropDownMenu::setTextShadowOffset, &DropDownMenu::setHighlightedTextShadowOffset,
                     &DropDownMenu::setSubtitleTextShadowOffset,
                     &DropDownMenu::setSubtitleHighlightedTextShadowOffset}) {
        (this->*set)(CGSize{0, -1});
    }
    setTextAlignment(int(NSTextAlignment::center));
    setSubtitleTextAlignment(int(NSTextAlignment::center));
    setHighlightedBackgroundColor(pressed);
    setHighlightedSeparatorColor(pressed);
    setSubtitleTextColor(UIColor::colorWithWhite(0.425, 1));
    setSubtitleHighlightedTextColor(UIColor::colorWithRed(0.389, 0.384, 0.379, 1));
}

bool DropDownMenu::flatStyle() {
    static const bool flat = [] {
        auto window = UIApplication::sharedApplication().keyWindow();
        if (!window) window = std::make_shared<UIWindow>();
        return std::floor(NSFoundationVersionNumber) > kFlatFoundationVersion &&
               window->tintColor() != nullptr;
    }();
    return flat;
}

std::shared_ptr<UIImage> DropDownMenu::separatorImage() {
    constexpr CGFloat kScale = 2, kPixel = 1 / kScale;
    if (!UIGraphicsBeginImageContextWithOptions({kPixel, 4 * kPixel}, false, kScale)) return nullptr;
    CGContext* context = UIGraphicsGetCurrentContext();
    context->setFillColor(darkLine());
    context->fillRect(CGRectMake(0, 0, kPixel, 2 * kPixel));
    context->setFillColor(UIColor::colorWithRed(79 / 255.0, 79 / 255.0, 77 / 255.0, 1));
    context->fillRect(CGRectMake(0, 3 * kPixel, kPixel, kPixel));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

CGFloat DropDownMenu::combinedHeight() const {
    const auto count = CGFloat(items_.size());
    return count * itemHeight_ + count * separatorHeight_ + kSpareHeight + cornerRadius_;
}

CGFloat DropDownMenu::navigationOffset() const {
    // The bar's real bottom edge: lower under a sensor housing than under a status bar.
    const auto bar = navigationBar();
    return appearsBehindNavigationBar_ && bar ? bar->frame().maxY() : 0;
}

// Opening --------------------------------------------------------------------------------------------

void DropDownMenu::showFromNavigationController(UINavigationController& controller) {
    if (isAnimating_ || isOpen_) return;
    const auto bar = controller.navigationBar();
    const auto view = controller.view();
    show(CGRect(0, 0, bar->bounds().size.width, view->bounds().size.height), view, bar);
    containerView_->setAppearsBehindNavigationBar(appearsBehindNavigationBar_);
    containerView_->setNavigationBar(bar);
    // A turn of the device moves the bar's bottom edge (a status bar comes or goes), and the rows
    // dropped from behind the bar move with it.
    containerView_->setLayoutHandler([weak = weak_from_this()] {
        if (const auto menu = weak.lock(); menu && menu->navigationOffset() != menu->rowsOffset_)
            menu->placeRows();
    });
    if (appearsBehindNavigationBar_) view->bringSubviewToFront(bar);
}

void DropDownMenu::showInView(const std::shared_ptr<UIView>& view) {
    if (view) showFromRect(view->bounds(), view);
}

void DropDownMenu::showFromRect(const CGRect& rect, const std::shared_ptr<UIView>& view) {
    show(rect, view, nullptr);
}

void DropDownMenu::show(const CGRect& rect, const std::shared_ptr<UIView>& view,
                        const std::shared_ptr<UINavigationBar>& bar) {
    // Open already, a second set of views would cover the first for good.
    if (isAnimating_ || isOpen_ || !view) return;
    isOpen_ = true;
    isAnimating_ = true;
    navigationBar_ = bar;

    containerView_ = std::make_shared<DropDownMenuContainerView>();
    containerView_->setClipsToBounds(true);
    // The dimmed background keeps covering the screen when the device turns with the menu open.
    containerView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    if (backgroundView_) {
        backgroundView_->setAlpha(0);
        containerView_->addSubview(backgroundView_);
    }

    const CGFloat screenScale = UIScreen::mainScreen().scale();
    menuView_ = std::make_shared<UIView>();
    if (!blurs()) menuView_->setBackgroundColor(backgroundColor());
    const auto& menuLayer = menuView_->layer();
    menuLayer->setCornerRadius(cornerRadius_);
    menuLayer->setBorderColor(borderColor_);
    menuLayer->setBorderWidth(borderWidth_);
    menuLayer->setMasksToBounds(true);
    menuLayer->setShouldRasterize(true);
    menuLayer->setRasterizationScale(screenScale);
    menuView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    toolbar_ = nullptr;
    if (blurs()) {
        toolbar_ = std::make_shared<UIToolbar>();
        toolbar_->setBarStyle(static_cast<UIBarStyle>(liveBlurBackgroundStyle_));
        toolbar_->setBarTintColor(liveBlurTintColor_);
    }

    menuWrapperView_ = std::make_shared<UIView>();
    menuWrapperView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    if (!blurs()) {
        const auto& wrapperLayer = menuWrapperView_->layer();
        wrapperLayer->setShadowColor(shadowColor_);
        wrapperLayer->setShadowOffset(shadowOffset_);
        wrapperLayer->setShadowOpacity(shadowOpacity_);
        wrapperLayer->setShadowRadius(shadowRadius_);
        wrapperLayer->setShouldRasterize(true);
        wrapperLayer->setRasterizationScale(screenScale);
    }

    backgroundButton_ = UIButton::buttonWithType(UIButtonType::custom);
    backgroundButton_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth |
                                           UIViewAutoresizingFlexibleHeight);
    backgroundButton_->setAccessibilityLabel("Menu background");
    backgroundButton_->setAccessibilityHint("Double tap to close");
    backgroundButton_->addTarget(shared_from_this(), &DropDownMenu::close, UIControlEventTouchUpInside);

    // Fully above the visible area, at the width the rows are made for.
    const CGFloat width = rect.size.width, offset = navigationOffset();
    menuWrapperView_->setFrame(CGRect(0, -combinedHeight() - offset, width, offset + combinedHeight()));
    buildRows(width);
    if (toolbar_) menuWrapperView_->addSubview(toolbar_);
    menuWrapperView_->addSubview(menuView_);
    containerView_->setFrame(rect);
    backgroundButton_->setFrame(containerView_->bounds());
    containerView_->addSubview(backgroundButton_);
    containerView_->addSubview(menuWrapperView_);
    view->addSubview(containerView_);

    std::weak_ptr<DropDownMenu> weak = weak_from_this();
    auto drop = [weak] {
        auto menu = weak.lock();
        if (!menu) return;
        menu->moveWrapperTo(-kSpareHeight - menu->separatorHeight_);
        if (menu->backgroundView_) menu->backgroundView_->setAlpha(menu->backgroundAlpha_);
    };
    auto opened = [weak](bool) {
        if (auto menu = weak.lock()) menu->isAnimating_ = false;
    };
    if (bounce_) {
        UIView::animateWithDuration(animationDuration_ + bounceAnimationDuration_, 0, kOpenDamping,
                                    kOpenVelocity, UIViewAnimationOptionBeginFromCurrentState, drop, opened);
    } else {
        UIView::animateWithDuration(animationDuration_, 0, UIViewAnimationOptionBeginFromCurrentState, drop,
                                    opened);
    }
}

void DropDownMenu::buildRows(CGFloat width) {
    itemViews_.clear();
    auto self = shared_from_this();
    for (const auto& item : items_) {
        auto separator = std::make_shared<UIView>(CGRect(0, 0, width, separatorHeight_));
        separator->setBackgroundColor(separatorColor());
        separator->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        auto row = std::make_shared<DropDownMenuItemView>(self, item, CGRect(0, 0, width, itemHeight_));
        row->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        row->setSeparatorView(separator);
        item->setItemView(row);
        menuView_->addSubview(separator);
        menuView_->addSubview(row);
        itemViews_.push_back(row);
    }
    placeRows();
}

// The rows under the bar's bottom edge of the moment, and the wrapper tall enough to reach them.
void DropDownMenu::placeRows() {
    rowsOffset_ = navigationOffset();
    CGRect wrapper = menuWrapperView_->frame();
    wrapper.size.height = rowsOffset_ + combinedHeight();
    menuWrapperView_->setFrame(wrapper);
    menuView_->setFrame(menuWrapperView_->bounds());
    if (toolbar_) toolbar_->setFrame(menuWrapperView_->bounds());
    const CGFloat width = wrapper.size.width;
    for (std::size_t i = 0; i < itemViews_.size(); ++i) {
        const CGFloat index = CGFloat(i);
        const CGFloat height = itemHeight_ + (i + 1 == itemViews_.size() ? cornerRadius_ : 0);
        itemViews_[i]->separatorView()->setFrame(
            CGRect(0, rowsOffset_ + index * itemHeight_ + index * separatorHeight_ + kSpareHeight, width,
                   separatorHeight_));
        itemViews_[i]->setFrame(
            CGRect(0, rowsOffset_ + index * itemHeight_ + (index + 1) * separatorHeight_ + kSpareHeight,
                   width, height));
    }
}

void DropDownMenu::moveWrapperTo(CGFloat y) {
    if (!menuWrapperView_) return;
    CGRect frame = menuWrapperView_->frame();
    frame.origin.y = y;
    menuWrapperView_->setFrame(frame);
}

void DropDownMenu::setNeedsLayout() {
    if (!containerView_) return;
    auto container = containerView_;
    UIView::animateWithDuration(kLayoutDuration, [container] {
        container->setNeedsLayout();
        container->layoutIfNeeded();
    });
}

// Closing --------------------------------------------------------------------------------------------

void DropDownMenu::closeWithCompletion(std::function<void()> completion) {
    if (isAnimating_) return;
    isAnimating_ = true;
    if (!bounce_) return rollUp(std::move(completion));
    std::weak_ptr<DropDownMenu> weak = weak_from_this();
    UIView::animateWithDuration(
        bounceAnimationDuration_,
        [weak] {
            if (auto menu = weak.lock()) menu->moveWrapperTo(kDipY);
        },
        [weak, completion](bool) {
            if (auto menu = weak.lock()) menu->rollUp(completion);
        });
}

void DropDownMenu::rollUp(std::function<void()> completion) {
    std::weak_ptr<DropDownMenu> weak = weak_from_this();
    UIView::animateWithDuration(
        animationDuration_, 0, UIViewAnimationOptionBeginFromCurrentState,
        [weak] {
            auto menu = weak.lock();
            if (!menu) return;
            menu->moveWrapperTo(-menu->combinedHeight() - menu->navigationOffset());
            if (menu->backgroundView_) menu->backgroundView_->setAlpha(0);
        },
        [weak, completion](bool) {
            if (auto menu = weak.lock()) menu->finishClose(completion);
        });
}

void DropDownMenu::finishClose(const std::function<void()>& completion) {
    isOpen_ = false;
    isAnimating_ = false;
    for (const auto& view : {menuView_, menuWrapperView_, std::static_pointer_cast<UIView>(backgroundButton_),
                             backgroundView_, std::static_pointer_cast<UIView>(containerView_)}) {
        if (view) view->removeFromSuperview();
    }
    if (completion) completion();
    if (closeCompletionHandler_) closeCompletionHandler_();
}

}  // namespace quorvel
