#pragma once

#include <memory>
#include <vector>

#include "platform/uikit/views/ui_view.h"

namespace platform {

class UIEvent;
class UIViewController;

using UIWindowLevel = CGFloat;
inline constexpr UIWindowLevel UIWindowLevelNormal = 0;
inline constexpr UIWindowLevel UIWindowLevelAlert = 2000;

// The root of a view tree shown on the screen. Windows start hidden; at most one is key (receives
// keyboard-like focus and is what the app means by "the key window"). When the key window is hidden or
// destroyed, the window that was key before it, if still shown, becomes key again.
class UIWindow : public UIView {
public:
    // Covers the app's frame on the main screen.
    UIWindow();
    explicit UIWindow(const CGRect& frame);
    ~UIWindow() override;

    UIWindowLevel windowLevel() const { return windowLevel_; }
    void setWindowLevel(UIWindowLevel level) { windowLevel_ = level; }

    // Held strongly, as the platform does. Its view fills the window and follows its size; it appears
    // and disappears with the window.
    std::shared_ptr<UIViewController> rootViewController() const { return rootViewController_; }
    void setRootViewController(const std::shared_ptr<UIViewController>& controller);
    // The root controller and the controllers presented over it, bottom up.
    std::vector<std::shared_ptr<UIViewController>> rootAndPresentedViewControllers() const;

    bool isKeyWindow() const;
    void makeKeyWindow();
    void makeKeyAndVisible();
    virtual void becomeKeyWindow() {}
    virtual void resignKeyWindow() {}
    void setHidden(bool hidden) override;

    static std::shared_ptr<UIWindow> keyWindow();
    // Every living window, shown or not, from the lowest level to the highest (creation order within
    // a level).
    static std::vector<std::shared_ptr<UIWindow>> windows();

    // The one way touches come in. A touch that begins here lands on the view the hit test finds and
    // is watched by the gesture recognisers of that view and its ancestors; the recognisers see each
    // event first, then the views (see GestureArbiter and TouchDelivery).
    virtual void sendEvent(const UIEvent& event);

    // The screen's safe-area insets where they overlap this window.
    UIEdgeInsets safeAreaInsets() const override;
    // Traits for this window's size on the current screen: a window narrower than the screen is a
    // split-view share.
    UITraitCollection traitCollection() const override;

private:
    void resignKey();

    UIWindowLevel windowLevel_ = UIWindowLevelNormal;
    std::shared_ptr<UIViewController> rootViewController_;
};

}  // namespace platform
