#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/navigation/ui_navigation_bar.h"

namespace platform {

class ContainerView;

// A stack of controllers shown one at a time under a navigation bar, the top one's view filling the
// container (under the bar while the bar is translucent, below it otherwise). Pushing slides the new
// view in from the trailing edge and popping slides the top one out, on the clock; the controllers
// leaving and arriving hear of their disappearance and appearance as the change starts and after it.
// One change runs at a time; another asked for meanwhile follows it. Main thread.
class UINavigationController : public UIViewController, public UINavigationBarDelegate {
public:
    static constexpr double kTransitionDuration = 0.35;

    UINavigationController();
    static std::shared_ptr<UINavigationController> withRootViewController(
        const std::shared_ptr<UIViewController>& root);

    // Bottom to top.
    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return stack_; }
    void setViewControllers(const std::vector<std::shared_ptr<UIViewController>>& controllers, bool animated);
    std::shared_ptr<UIViewController> topViewController() const;
    void pushViewController(const std::shared_ptr<UIViewController>& controller, bool animated);
    // The controller popped; none when only the root is left.
    std::shared_ptr<UIViewController> popViewControllerAnimated(bool animated);
    std::vector<std::shared_ptr<UIViewController>> popToViewController(const std::shared_ptr<UIViewController>& controller,
                                                                      bool animated);
    std::vector<std::shared_ptr<UIViewController>> popToRootViewControllerAnimated(bool animated);

    const std::shared_ptr<UINavigationBar>& navigationBar() const { return navigationBar_; }

    void loadView() override;
    // The back button pops the top controller.
    bool navigationBarShouldPopItem(UINavigationBar& bar, UINavigationItem& item) override;

private:
    enum class Direction { forward, backward };

    // Runs `change` now, or after the running transition.
    void whenIdle(std::function<void()> change);
    // Makes `controllers` the stack and shows its top, sliding in `direction` when animated.
    void replaceStack(std::vector<std::shared_ptr<UIViewController>> controllers, bool animated,
                      Direction direction);
    void transition(const std::shared_ptr<UIViewController>& from, const std::shared_ptr<UIViewController>& to,
                    bool animated, Direction direction, std::vector<std::shared_ptr<UIViewController>> removed);
    void transitionFinished();
    bool isOnScreen() const;
    void layoutContainer(ContainerView& view);
    CGRect contentFrame() const;
    // Where the bar ends in the container `view`, whose safe area without the bar is `insets`.
    CGFloat barBottom(const UIView& view, const UIEdgeInsets& insets) const;

    std::vector<std::shared_ptr<UIViewController>> stack_;
    std::shared_ptr<UINavigationBar> navigationBar_;
    bool navigationBarHidden_ = false;
    bool transitioning_ = false;
    std::deque<std::function<void()>> waiting_;
};

}  // namespace platform
