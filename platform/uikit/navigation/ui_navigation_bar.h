#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/uikit/text/ns_attributed_string.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

class UIButton;
class UIImage;
class UIImageView;
class UILabel;
class UINavigationBar;
class UINavigationItem;

enum class UIBarStyle : int { defaultStyle = 0, black = 1 };
enum class UIBarMetrics : int { defaultMetrics = 0, compact = 1 };

class UINavigationBarDelegate {
public:
    virtual ~UINavigationBarDelegate() = default;
    // The back button asks before the bar pops its top item; no leaves the items to the delegate.
    virtual bool navigationBarShouldPopItem(UINavigationBar& bar, UINavigationItem& item) {
        (void)bar;
        (void)item;
        return true;
    }
};

// The bar at the top of a navigation stack: the top item's title (or title view) in the middle, its
// items at the sides, and a back button to the item below when the top item has no left items. Its
// background reaches up under the status bar: a background image when one is set (an empty image shows
// nothing), else the bar tint (white or, in the black style, black), see-through when translucent. A
// hairline runs along its bottom edge unless a shadow image replaces it. Main thread.
class UINavigationBar : public UIView {
public:
    static constexpr CGFloat kHeight = 44;
    // A phone lying on its side.
    static constexpr CGFloat kCompactHeight = 32;
    static constexpr CGFloat kMargin = 8;

    UINavigationBar();
    explicit UINavigationBar(const CGRect& frame);
    ~UINavigationBar() override;

    void setBarStyle(UIBarStyle style);
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent);
    const std::shared_ptr<UIColor>& barTintColor() const { return barTintColor_; }
    void setBarTintColor(const std::shared_ptr<UIColor>& color);
    const NSAttributes& titleTextAttributes() const { return titleAttributes_; }
    void setTitleTextAttributes(const NSAttributes& attributes);
    const std::shared_ptr<UIImage>& shadowImage() const { return shadowImage_; }
    void setShadowImage(const std::shared_ptr<UIImage>& image);
    std::shared_ptr<UIImage> backgroundImageForBarMetrics(UIBarMetrics metrics) const;
    void setBackgroundImage(const std::shared_ptr<UIImage>& image, UIBarMetrics metrics);

    std::shared_ptr<UINavigationBarDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::weak_ptr<UINavigationBarDelegate>& delegate) { delegate_ = delegate; }

    // Bottom to top.
    const std::vector<std::shared_ptr<UINavigationItem>>& items() const { return items_; }
    std::shared_ptr<UINavigationItem> topItem() const;
    std::shared_ptr<UINavigationItem> backItem() const;
    std::shared_ptr<UINavigationItem> popNavigationItemAnimated(bool animated);
    void setItems(const std::vector<std::shared_ptr<UINavigationItem>>& items, bool animated);

    // What the bar shows now: its title label, and its back button (null when there is none).
    const std::shared_ptr<UILabel>& titleLabel() const { return titleLabel_; }
    std::shared_ptr<UIButton> backButton() const;

    CGSize sizeThatFits(CGSize size) const override;
    void layoutSubviews() override;

private:
    friend class UINavigationItem;
    void setUp();
    void itemDidChange(UINavigationItem& item);
    // Puts the top item's views in the bar.
    void showTopItem();
    void updateBackground();
    void backButtonTapped();
    // Lays out views from one edge inwards; returns where the next would go.
    CGFloat placeItems(const std::vector<std::shared_ptr<UIView>>& views, CGFloat edge, bool fromLeft);

    UIBarStyle barStyle_ = UIBarStyle::defaultStyle;
    bool translucent_ = true;
    std::shared_ptr<UIColor> barTintColor_;
    NSAttributes titleAttributes_;
    std::shared_ptr<UIImage> shadowImage_;
    std::map<UIBarMetrics, std::shared_ptr<UIImage>> backgroundImages_;
    std::weak_ptr<UINavigationBarDelegate> delegate_;
    std::vector<std::shared_ptr<UINavigationItem>> items_;

    std::shared_ptr<UIImageView> background_;
    std::shared_ptr<UIImageView> shadow_;
    std::shared_ptr<UILabel> titleLabel_;
    std::shared_ptr<UIButton> backButton_;
    std::vector<std::shared_ptr<UIView>> leftViews_;
    std::vector<std::shared_ptr<UIView>> rightViews_;
    std::shared_ptr<UIView> titleView_;
    bool showsBackButton_ = false;
};

}  // namespace platform
