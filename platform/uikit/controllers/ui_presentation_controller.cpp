#include "platform/uikit/controllers/ui_presentation_controller.h"

#include <deque>
#include <utility>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

namespace {

struct TransitionQueue {
    bool running = false;
    std::deque<std::function<void()>> waiting;
};

TransitionQueue& transitions() {
    static TransitionQueue queue;
    // Installing a clock drops the animations under way, and with them the end of a running transition:
    // the transitions of the clock before it are over.
    static const Clock* owner = nullptr;
    if (owner != &Clock::shared()) {
        owner = &Clock::shared();
        const auto dropped = std::exchange(queue, {});
    }
    return queue;
}

// Where a controller's view rests in its window: its presentation's place, or the whole window.
CGRect restingFrame(const UIViewController& controller, const UIWindow& window) {
    if (auto presentation = controller.presentationController())
        return presentation->frameOfPresentedViewInContainerView();
    return window.bounds();
}

}  // namespace

UIPresentationController::UIPresentationController(const std::shared_ptr<UIViewController>& presented)
    : presented_(presented) {}

UIModalPresentationStyle UIPresentationController::presentationStyle() const {
    auto presented = presented_.lock();
    return presented ? presented->modalPresentationStyle() : UIModalPresentationStyle::fullScreen;
}

CGRect UIPresentationController::frameOfPresentedViewInContainerView() const {
    auto window = container_.lock();
    return window ? window->bounds() : CGRect::zero();
}

bool UIPresentationController::shouldRemovePresentersView() const {
    switch (presentationStyle()) {
        case UIModalPresentationStyle::overFullScreen:
        case UIModalPresentationStyle::overCurrentContext:
        case UIModalPresentationStyle::popover:
        case UIModalPresentationStyle::custom:
        case UIModalPresentationStyle::none:
            return false;
        default:
            return true;
    }
}

bool UIPresentationController::slides() const {
    // Custom presentations (alerts) fade in over what they cover.
    return presentationStyle() != UIModalPresentationStyle::custom;
}

void UIPresentationController::containerViewDidChangeSize() {
    auto presented = presented_.lock();
    if (auto view = presented ? presented->viewIfLoaded() : nullptr) view->setFrame(frameOfPresentedViewInContainerView());
}

void UIPresentationController::moveOut(UIView& view) const {
    if (!slides()) return view.setAlpha(0);
    CGRect frame = frameOfPresentedViewInContainerView();
    auto window = container_.lock();
    frame.origin.y = window ? window->bounds().maxY() : frame.maxY();
    view.setFrame(frame);
}

void UIPresentationController::moveIn(UIView& view) const {
    if (!slides()) return view.setAlpha(1);
    view.setFrame(frameOfPresentedViewInContainerView());
}

// Transitions -----------------------------------------------------------------------------------------

void UIPresentationController::present(const std::shared_ptr<UIViewController>& presenting, bool animated,
                                       std::function<void()> completion) {
    auto presented = presented_.lock();
    auto window = presenting->viewIfLoaded()->window();
    presenting_ = presenting;
    container_ = window;
    transitionStarted();
    const auto& view = presented->view();
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->setFrame(frameOfPresentedViewInContainerView());
    bool covers = shouldRemovePresentersView();
    if (covers) presenting->beginAppearanceTransition(false, animated);
    presented->beginAppearanceTransition(true, animated);
    window->addSubview(view);
    if (animated) UIView::performWithoutAnimation([&] { moveOut(*view); });
    UIView::animateWithDuration(
        animated ? kTransitionDuration : 0, [&] { moveIn(*view); },
        [presented, presenting, window, covers, completion = std::move(completion)](bool) {
            if (covers) {
                auto covered = presenting->viewIfLoaded();
                if (covered && covered->superview() == window) covered->removeFromSuperview();
                presenting->endAppearanceTransition();
            }
            presented->endAppearanceTransition();
            if (completion) completion();
            transitionFinished();
        });
}

void UIPresentationController::dismiss(bool animated, std::function<void()> completion) {
    auto presented = presented_.lock();
    auto presenting = presenting_.lock();
    auto window = container_.lock();
    transitionStarted();
    // Whatever the presented controller presents goes with it, at once.
    std::vector<std::shared_ptr<UIViewController>> above;
    for (auto c = presented->presentedViewController(); c; c = c->presentedViewController()) above.push_back(c);
    for (auto it = above.rbegin(); it != above.rend(); ++it) (*it)->beginAppearanceTransition(false, animated);
    presented->beginAppearanceTransition(false, animated);
    bool uncovers = shouldRemovePresentersView() && presenting && window;
    const auto& view = presented->view();
    if (uncovers) {
        const auto& underneath = presenting->view();
        underneath->setFrame(restingFrame(*presenting, *window));
        if (underneath->superview() != window) window->insertSubviewBelowSubview(underneath, view);
        presenting->beginAppearanceTransition(true, animated);
    }
    for (const auto& c : above) {
        if (auto v = c->viewIfLoaded(); v && v->superview() == window) v->removeFromSuperview();
    }
    UIView::animateWithDuration(
        animated ? kTransitionDuration : 0, [&] { moveOut(*view); },
        [presented, presenting, above, window, uncovers, completion = std::move(completion)](bool) {
            auto view = presented->viewIfLoaded();
            if (view && view->superview() == window) view->removeFromSuperview();
            if (view) UIView::performWithoutAnimation([&] { view->setAlpha(1); });
            for (auto it = above.rbegin(); it != above.rend(); ++it) (*it)->endAppearanceTransition();
            presented->endAppearanceTransition();
            if (uncovers) presenting->endAppearanceTransition();
            if (completion) completion();
            transitionFinished();
        });
}

void UIPresentationController::whenIdle(std::function<void()> request) {
    auto& queue = transitions();
    if (queue.running) {
        queue.waiting.push_back(std::move(request));
    } else {
        request();
    }
}

void UIPresentationController::transitionStarted() {
    transitions().running = true;
}

void UIPresentationController::transitionFinished() {
    auto& queue = transitions();
    queue.running = false;
    // A request may start another transition; the rest then wait for that one.
    while (!queue.running && !queue.waiting.empty()) {
        auto next = std::move(queue.waiting.front());
        queue.waiting.pop_front();
        next();
    }
}

}  // namespace platform
