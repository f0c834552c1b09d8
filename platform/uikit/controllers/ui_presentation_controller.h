#pragma once

#include <functional>
#include <memory>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

class UIView;
class UIViewController;
class UIWindow;

enum class UIModalPresentationStyle : int {
    fullScreen = 0,
    custom = 4,
    overFullScreen = 5,
    overCurrentContext = 6,
    popover = 7,
    none = -1,
    automatic = -2,
};

// Carries out one presentation: where the presented view goes in the window, whether the presenter's
// view leaves the screen meanwhile, and the transitions in and out on the clock with the appearance
// calls of both sides (the side leaving hears "will" first; both "did" calls come after the
// animation, the leaving side's first, then the completion). Presentations and dismissals run one at a
// time: one asked for during another's transition starts when that one is over. Main thread.
class UIPresentationController {
public:
    static constexpr double kTransitionDuration = 0.3;

    explicit UIPresentationController(const std::shared_ptr<UIViewController>& presented);
    virtual ~UIPresentationController() = default;

    std::shared_ptr<UIViewController> presentedViewController() const { return presented_.lock(); }
    std::shared_ptr<UIViewController> presentingViewController() const { return presenting_.lock(); }
    // The window the presented view is shown in.
    std::shared_ptr<UIWindow> containerView() const { return container_.lock(); }
    UIModalPresentationStyle presentationStyle() const;

    // The whole window, unless a subclass places the view otherwise.
    virtual CGRect frameOfPresentedViewInContainerView() const;
    // Full-screen presentations take the presenter's view off the screen; "over" ones leave it showing.
    virtual bool shouldRemovePresentersView() const;
    // Places the presented view again after the window changed size.
    void containerViewDidChangeSize();

    // Runs the transitions; the controllers call these with the presenting controller's view in a
    // window. The completions run after the appearance calls.
    void present(const std::shared_ptr<UIViewController>& presenting, bool animated,
                 std::function<void()> completion);
    void dismiss(bool animated, std::function<void()> completion);

    // Runs `request` now, or once the running presentation or dismissal is over.
    static void whenIdle(std::function<void()> request);

protected:
    // Slides up from the bottom edge, or fades for custom presentations and where a subclass says so.
    virtual bool slides() const;

private:
    // Where the presented view starts its way in and ends its way out: below the window, or
    // transparent.
    void moveOut(UIView& view) const;
    void moveIn(UIView& view) const;
    static void transitionStarted();
    static void transitionFinished();

    std::weak_ptr<UIViewController> presented_;
    std::weak_ptr<UIViewController> presenting_;
    std::weak_ptr<UIWindow> container_;
};

}  // namespace platform
