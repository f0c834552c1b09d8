#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "app/widgets/menu/drop_down_menu_appearance.h"
#include "app/widgets/menu/drop_down_menu_container_view.h"
#include "app/widgets/menu/drop_down_menu_item.h"
#include "app/widgets/menu/drop_down_menu_item_view.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/navigation/ui_navigation_bar.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/navigation/ui_toolbar.h"

namespace quorvel {

// A menu that drops down over the screen from under a navigation bar, one full-width row per item,
// and rolls back up when an item is chosen or the dimmed background is tapped. Its views are built
// afresh each time it opens. Requests to open or close while it is moving are dropped. Main thread.
//
// The rows' look comes from the menu's appearance values (see DropDownMenuAppearance), which each
// item may override; the menu view itself shows the menu's background colour.
class DropDownMenu : public DropDownMenuAppearance, public std::enable_shared_from_this<DropDownMenu> {
public:
    using BadgeConfiguration = std::function<void(const std::shared_ptr<platform::UILabel>& badge,
                                                  const std::shared_ptr<DropDownMenuItem>& item)>;
    // Room above the first row, hidden while open, for the spring to overshoot into.
    static constexpr platform::CGFloat kSpareHeight = 40;
    static constexpr double kLayoutDuration = 0.35;

    DropDownMenu();
    explicit DropDownMenu(std::vector<std::shared_ptr<DropDownMenuItem>> items);

    // Whether the platform draws flat bars (a recent Foundation, a tinted window); worked out once.
    static bool flatStyle();
    // A 1 × 4 pixel line at scale 2: two dark rows, a clear one and a light one.
    static std::shared_ptr<platform::UIImage> separatorImage();

    // Opening and closing.
    void showFromNavigationController(platform::UINavigationController& controller);
    // Over the view's bounds.
    void showInView(const std::shared_ptr<platform::UIView>& view);
    void showFromRect(const platform::CGRect& rect, const std::shared_ptr<platform::UIView>& view);
    void close() { closeWithCompletion(nullptr); }
    // `completion` runs once the menu has rolled up and left the screen, before closeCompletionHandler.
    void closeWithCompletion(std::function<void()> completion);
    // Rows, separators, the spare room and the corner.
    platform::CGFloat combinedHeight() const;
    // Animates a new layout of the open menu.
    void setNeedsLayout();

    bool isOpen() const { return isOpen_; }
    bool isAnimating() const { return isAnimating_; }

    const std::vector<std::shared_ptr<DropDownMenuItem>>& items() const { return items_; }
    void setItems(std::vector<std::shared_ptr<DropDownMenuItem>> items) { items_ = std::move(items); }
    platform::CGFloat itemHeight() const { return itemHeight_; }
    void setItemHeight(platform::CGFloat h) { itemHeight_ = h; }
    platform::CGFloat separatorHeight() const { return separatorHeight_; }
    void setSeparatorHeight(platform::CGFloat h) { separatorHeight_ = h; }
    // 0 puts the images on the left, anything else on the right.
    int imageAlignment() const { return imageAlignment_; }
    void setImageAlignment(int a) { imageAlignment_ = a; }
    platform::CGSize imageOffset() const { return imageOffset_; }
    void setImageOffset(platform::CGSize o) { imageOffset_ = o; }
    bool closeOnSelection() const { return closeOnSelection_; }
    void setCloseOnSelection(bool v) { closeOnSelection_ = v; }
    // Whether a chosen item's action waits until the menu has closed.
    bool waitUntilAnimationIsComplete() const { return waitUntilAnimationIsComplete_; }
    void setWaitUntilAnimationIsComplete(bool v) { waitUntilAnimationIsComplete_ = v; }

    platform::CGFloat borderWidth() const { return borderWidth_; }
    void setBorderWidth(platform::CGFloat w) { borderWidth_ = w; }
    const Color& borderColor() const { return borderColor_; }
    void setBorderColor(Color c) { borderColor_ = std::move(c); }
    platform::CGFloat cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(platform::CGFloat r) { cornerRadius_ = r; }
    const Color& shadowColor() const { return shadowColor_; }
    void setShadowColor(Color c) { shadowColor_ = std::move(c); }
    platform::CGSize shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(platform::CGSize o) { shadowOffset_ = o; }
    float shadowOpacity() const { return shadowOpacity_; }
    void setShadowOpacity(float o) { shadowOpacity_ = o; }
    platform::CGFloat shadowRadius() const { return shadowRadius_; }
    void setShadowRadius(platform::CGFloat r) { shadowRadius_ = r; }

    double animationDuration() const { return animationDuration_; }
    void setAnimationDuration(double d) { animationDuration_ = d; }
    // Opening springs past its place and closing dips before it rolls up.
    bool bounce() const { return bounce_; }
    void setBounce(bool b) { bounce_ = b; }
    double bounceAnimationDuration() const { return bounceAnimationDuration_; }
    void setBounceAnimationDuration(double d) { bounceAnimationDuration_ = d; }
    // Whether the menu slides out from behind the navigation bar rather than from its bottom edge.
    bool appearsBehindNavigationBar() const { return appearsBehindNavigationBar_; }
    void setAppearsBehindNavigationBar(bool v) { appearsBehindNavigationBar_ = v; }
    bool liveBlur() const { return liveBlur_; }
    void setLiveBlur(bool v) { liveBlur_ = v; }
    const Color& liveBlurTintColor() const { return liveBlurTintColor_; }
    void setLiveBlurTintColor(Color c) { liveBlurTintColor_ = std::move(c); }
    int liveBlurBackgroundStyle() const { return liveBlurBackgroundStyle_; }
    void setLiveBlurBackgroundStyle(int style) { liveBlurBackgroundStyle_ = style; }
    // How far the background view fades in.
    float backgroundAlpha() const { return backgroundAlpha_; }
    void setBackgroundAlpha(float a) { backgroundAlpha_ = a; }
    // Shown behind the rows while open, to dim what lies under the menu.
    const std::shared_ptr<platform::UIView>& backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<platform::UIView> view) { backgroundView_ = std::move(view); }
    const BadgeConfiguration& badgeLabelConfigurationBlock() const { return badgeLabelConfigurationBlock_; }
    void setBadgeLabelConfigurationBlock(BadgeConfiguration b) {
        badgeLabelConfigurationBlock_ = std::move(b);
    }
    // Runs after every close.
    const std::function<void()>& closeCompletionHandler() const { return closeCompletionHandler_; }
    void setCloseCompletionHandler(std::function<void()> h) { closeCompletionHandler_ = std::move(h); }

    // The views of the last opening.
    const std::shared_ptr<DropDownMenuContainerView>& containerView() const { return containerView_; }
    const std::shared_ptr<platform::UIView>& menuWrapperView() const { return menuWrapperView_; }
    const std::shared_ptr<platform::UIView>& menuView() const { return menuView_; }
    const std::shared_ptr<platform::UIButton>& backgroundButton() const { return backgroundButton_; }
    const std::shared_ptr<platform::UIToolbar>& toolbar() const { return toolbar_; }
    std::shared_ptr<platform::UINavigationBar> navigationBar() const { return navigationBar_.lock(); }
    const std::vector<std::shared_ptr<DropDownMenuItemView>>& itemViews() const { return itemViews_; }

private:
    void show(const platform::CGRect& rect, const std::shared_ptr<platform::UIView>& view,
              const std::shared_ptr<platform::UINavigationBar>& bar);
    void buildRows(platform::CGFloat width);
    void placeRows();
    platform::CGFloat navigationOffset() const;
    void moveWrapperTo(platform::CGFloat y);
    void rollUp(std::function<void()> completion);
    void finishClose(const std::function<void()>& completion);
    bool blurs() const { return liveBlur_ && flatStyle(); }

    std::vector<std::shared_ptr<DropDownMenuItem>> items_;
    platform::CGFloat itemHeight_ = 60;
    platform::CGFloat separatorHeight_ = 0;
    int imageAlignment_ = 0;
    platform::CGSize imageOffset_;
    bool closeOnSelection_ = true;
    bool waitUntilAnimationIsComplete_ = true;
    platform::CGFloat borderWidth_ = 0;
    Color borderColor_;
    platform::CGFloat cornerRadius_ = 0;
    Color shadowColor_;
    platform::CGSize shadowOffset_;
    float shadowOpacity_ = 0;
    platform::CGFloat shadowRadius_ = 0;
    double animationDuration_ = 0.3;
    bool bounce_ = true;
    double bounceAnimationDuration_ = 0.2;
    bool appearsBehindNavigationBar_;
    bool liveBlur_ = false;
    Color liveBlurTintColor_;
    int liveBlurBackgroundStyle_ = 0;
    float backgroundAlpha_ = 0;
    std::shared_ptr<platform::UIView> backgroundView_;
    BadgeConfiguration badgeLabelConfigurationBlock_;
    std::function<void()> closeCompletionHandler_;

    bool isOpen_ = false;
    bool isAnimating_ = false;
    std::shared_ptr<DropDownMenuContainerView> containerView_;
    std::shared_ptr<platform::UIView> menuWrapperView_;
    std::shared_ptr<platform::UIView> menuView_;
    std::shared_ptr<platform::UIButton> backgroundButton_;
    std::shared_ptr<platform::UIToolbar> toolbar_;
    std::weak_ptr<platform::UINavigationBar> navigationBar_;
    std::vector<std::shared_ptr<DropDownMenuItemView>> itemViews_;
    // The bar's bottom edge the rows are placed under.
    platform::CGFloat rowsOffset_ = 0;
};

}  // namespace quorvel
