#pragma once

#include <memory>
#include <vector>

#include "platform/uikit/navigation/ui_navigation_bar.h"

namespace platform {

class UIBarButtonItem;

// A bar of items from the leading edge, flexible spaces sharing out the room left. Its background is
// the bar tint, else white or (in the black style) black, see-through when translucent. Main thread.
class UIToolbar : public UIView {
public:
    static constexpr CGFloat kHeight = 44;

    UIToolbar();
    explicit UIToolbar(const CGRect& frame);

    void setBarStyle(UIBarStyle style);
    const std::shared_ptr<UIColor>& barTintColor() const { return barTintColor_; }
    void setBarTintColor(const std::shared_ptr<UIColor>& color);
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent);

    const std::vector<std::shared_ptr<UIBarButtonItem>>& items() const { return items_; }
    void setItems(const std::vector<std::shared_ptr<UIBarButtonItem>>& items, bool animated = false);

    CGSize sizeThatFits(CGSize size) const override { return {size.width, kHeight}; }
    void layoutSubviews() override;

private:
    void updateBackground();

    UIBarStyle barStyle_ = UIBarStyle::defaultStyle;
    std::shared_ptr<UIColor> barTintColor_;
    bool translucent_ = true;
    std::vector<std::shared_ptr<UIBarButtonItem>> items_;
};

}  // namespace platform
