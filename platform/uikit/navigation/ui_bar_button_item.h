#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/controls/target_actions.h"

namespace platform {

class UIColor;
class UIImage;
class UIView;

enum class UIBarButtonItemStyle : int { plain = 0, done = 2 };
enum class UIBarButtonSystemItem : int { done = 0, cancel = 1, save = 3, flexibleSpace = 5, fixedSpace = 6 };

// An item of a navigation bar or a toolbar: a custom view, or a title or image that the item shows as a
// button sending its action, or a space between items. Main thread.
class UIBarButtonItem : public std::enable_shared_from_this<UIBarButtonItem> {
public:
    using Action = TargetActions<UIBarButtonItem>::Action;

    static std::shared_ptr<UIBarButtonItem> itemWithCustomView(const std::shared_ptr<UIView>& view);
    static std::shared_ptr<UIBarButtonItem> itemWithTitle(const std::string& title, UIBarButtonItemStyle style,
                                                          Action action);
    static std::shared_ptr<UIBarButtonItem> itemWithImage(const std::shared_ptr<UIImage>& image,
                                                          UIBarButtonItemStyle style, Action action);
    // Done, Cancel and Save are titled buttons (Done in the done style); the spaces show nothing.
    static std::shared_ptr<UIBarButtonItem> itemWithBarButtonSystemItem(UIBarButtonSystemItem item, Action action);
    // `method` of `target`, given the item if it takes it, for as long as the target lives.
    template <typename T, typename Method>
    static Action action(const std::shared_ptr<T>& target, Method method) {
        return TargetActions<UIBarButtonItem>::weakly(target, method);
    }

    const std::string& title() const { return title_; }
    void setTitle(const std::string& title);
    const std::shared_ptr<UIImage>& image() const { return image_; }
    void setImage(const std::shared_ptr<UIImage>& image);
    UIBarButtonItemStyle style() const { return style_; }
    void setStyle(UIBarButtonItemStyle style);
    // Zero lets the item take the width of what it shows; a fixed space takes exactly this.
    CGFloat width() const { return width_; }
    void setWidth(CGFloat width) { width_ = width; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    const std::shared_ptr<UIColor>& tintColor() const { return tintColor_; }
    void setTintColor(const std::shared_ptr<UIColor>& color);
    const std::shared_ptr<UIView>& customView() const { return customView_; }
    void setCustomView(const std::shared_ptr<UIView>& view);
    void setAction(Action action) { action_ = std::move(action); }
    bool isFlexibleSpace() const { return flexible_; }
    bool isSpace() const { return space_; }

    // Runs the action, as a tap on the item does; nothing while disabled.
    void sendAction();
    // What shows the item on a bar: the custom view, else a button made on first use; none for a space.
    std::shared_ptr<UIView> view();

private:
    UIBarButtonItem() = default;
    // Brings the button in line with the title, image, style, tint and enabled state.
    void updateButton();

    std::string title_;
    std::shared_ptr<UIImage> image_;
    UIBarButtonItemStyle style_ = UIBarButtonItemStyle::plain;
    CGFloat width_ = 0;
    bool enabled_ = true;
    bool space_ = false;
    bool flexible_ = false;
    std::shared_ptr<UIColor> tintColor_;
    std::shared_ptr<UIView> customView_;
    std::shared_ptr<UIView> button_;
    Action action_;
};

}  // namespace platform
