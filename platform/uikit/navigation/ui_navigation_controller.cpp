#include "platform/uikit/navigation/ui_navigation_controller.h"

#include <algorithm>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/container_view.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/navigation/ui_navigation_item.h"

namespace platform {

namespace {

using Controllers = std::vector<std::shared_ptr<UIViewController>>;

bool contains(const Controllers& controllers, const std::shared_ptr<UIViewController>& controller) {
    return std::find(controllers.begin(), controllers.end(), controller) != controllers.end();
}

// Those of `a` that are not in `b`, in order.
Controllers without(const Controllers& a, const Controllers& b) {
    Controllers rest;
    for (const auto& c : a) {
        if (!contains(b, c)) rest.push_back(c);
    }
    return rest;
}

}  // namespace

UINavigationController::UINavigationController() : navigationBar_(std::make_shared<UINavigationBar>()) {}

std::shared_ptr<UINavigationController> UINavigationController::withRootViewController(
    const std::shared_ptr<UIViewController>& root) {
    auto navigation = std::make_shared<UINavigationController>();
    navigation->setViewControllers({root}, false);
    return navigation;
}

std::shared_ptr<UIViewController> UINavigationController::topViewController() const {
    return stack_.empty() ? nullptr : stack_.back();
}

// Changing the stack -----------------------------------------------------------------------------------

void UINavigationController::setViewControllers(const Controllers& controllers, bool animated) {
    whenIdle([this, controllers, animated] {
        Controllers stack;
        for (const auto& c : controllers) {
            if (c && c.get() != this && !contains(stack, c)) stack.push_back(c);
        }
        bool known = !stack.empty() && contains(stack_, stack.back());
        replaceStack(stack, animated, known ? Direction::backward : Direction::forward);
    });
}

void UINavigationController::pushViewController(const std::shared_ptr<UIViewController>& controller, bool animated) {
    whenIdle([this, controller, animated] {
        if (!controller || controller.get() == this || contains(stack_, controller)) return;
        Controllers stack = stack_;
        stack.push_back(controller);
        replaceStack(stack, animated, Direction::forward);
    });
}

std::shared_ptr<UIViewController> UINavigationController::popViewControllerAnimated(bool animated) {
    if (stack_.size() < 2) return nullptr;
    auto popped = stack_.back();
    popToViewController(stack_[stack_.size() - 2], animated);
    return popped;
}

Controllers UINavigationController::popToViewController(const std::shared_ptr<UIViewController>& controller,
                                                        bool animated) {
    auto at = std::find(stack_.begin(), stack_.end(), controller);
    if (at == stack_.end()) return {};
    Controllers popped(at + 1, stack_.end());
    whenIdle([this, weak = std::weak_ptr(controller), animated] {
        auto target = weak.lock();
        auto at = std::find(stack_.begin(), stack_.end(), target);
        if (!target || at == stack_.end()) return;
        replaceStack(Controllers(stack_.begin(), at + 1), animated, Direction::backward);
    });
    return popped;
}

Controllers UINavigationController::popToRootViewControllerAnimated(bool animated) {
    if (stack_.empty()) return {};
    return popToViewController(stack_.front(), animated);
}

void UINavigationController::whenIdle(std::function<void()> change) {
    if (transitioning_) {
        waiting_.push_back(std::move(change));
        return;
    }
    auto keep = weak_from_this().lock();
    change();
}

void UINavigationController::replaceStack(Controllers controllers, bool animated, Direction direction) {
    auto from = topViewController();
    Controllers removed = without(stack_, controllers);
    Controllers added = without(controllers, stack_);
    for (const auto& c : added) addChildViewController(c);
    stack_ = std::move(controllers);
    std::vector<std::shared_ptr<UINavigationItem>> items;
    for (const auto& c : stack_) items.push_back(c->navigationItem());
    navigationBar_->setItems(items, animated);
    for (const auto& c : removed) c->willMoveToParentViewController(nullptr);
    transition(from, topViewController(), animated, direction, removed);
    for (const auto& c : added) c->didMoveToParentViewController(this);
}

// Transitions ------------------------------------------------------------------------------------------

bool UINavigationController::isOnScreen() const {
    auto view = viewIfLoaded();
    auto window = view ? view->window() : nullptr;
    return window && !window->isHidden();
}

void UINavigationController::transition(const std::shared_ptr<UIViewController>& from,
                                        const std::shared_ptr<UIViewController>& to, bool animated,
                                        Direction direction, Controllers removed) {
    auto finishRemoval = [removed] {
        for (const auto& c : removed) c->removeFromParentViewController();
    };
    auto container = viewIfLoaded();
    if (!container || from == to) {
        // Nothing on screen changes: the new top's view goes in when the view loads.
        if (container && to && to->view()->superview() != container) {
            container->insertSubviewBelowSubview(to->view(), navigationBar_);
        }
        return finishRemoval();
    }
    auto fromView = from ? from->viewIfLoaded() : nullptr;
    auto toView = to ? to->view() : nullptr;
    bool onScreen = isOnScreen();
    if (!onScreen) {
        if (fromView && fromView->superview() == container) fromView->removeFromSuperview();
        if (toView) {
            toView->setFrame(contentFrame());
            container->insertSubviewBelowSubview(toView, navigationBar_);
        }
        return finishRemoval();
    }

    transitioning_ = true;
    if (from) from->beginAppearanceTransition(false, animated);
    if (to) to->beginAppearanceTransition(true, animated);
    CGRect content = contentFrame();
    CGFloat width = content.width();
    bool slides = animated && fromView && toView;
    if (toView) {
        toView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        toView->setFrame(content);
        if (direction == Direction::forward || !fromView || fromView->superview() != container) {
            container->insertSubviewBelowSubview(toView, navigationBar_);
        } else {
            container->insertSubviewBelowSubview(toView, fromView);
        }
    }
    if (slides) {
        // The arriving view comes in from the trailing edge on a push, from a third behind on a pop.
        CGFloat start = direction == Direction::forward ? width : -width / 3;
        UIView::performWithoutAnimation([&] { toView->setFrame(content.offsetBy(start, 0)); });
    }
    UIView::animateWithDuration(
        slides ? kTransitionDuration : 0,
        [&] {
            if (!slides) return;
            toView->setFrame(content);
            fromView->setFrame(content.offsetBy(direction == Direction::forward ? -width / 3 : width, 0));
        },
        [self = std::static_pointer_cast<UINavigationController>(shared_from_this()), from, to, fromView, container,
         content, finishRemoval](bool) {
            if (fromView && (!to || fromView != to->viewIfLoaded())) {
                if (fromView->superview() == container) fromView->removeFromSuperview();
                UIView::performWithoutAnimation([&] { fromView->setFrame(content); });
            }
            if (from) from->endAppearanceTransition();
            if (to) to->endAppearanceTransition();
            finishRemoval();
            self->transitionFinished();
        });
}

void UINavigationController::transitionFinished() {
    transitioning_ = false;
    while (!transitioning_ && !waiting_.empty()) {
        auto next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
}

bool UINavigationController::navigationBarShouldPopItem(UINavigationBar& bar, UINavigationItem& item) {
    (void)bar;
    (void)item;
    popViewControllerAnimated(true);
    return false;
}

// View and layout --------------------------------------------------------------------------------------

void UINavigationController::loadView() {
    std::weak_ptr<UINavigationController> weak = std::static_pointer_cast<UINavigationController>(shared_from_this());
    auto view = std::make_shared<ContainerView>(
        UIScreen::mainScreen().applicationFrame(),
        [weak](ContainerView& v) {
            if (auto self = weak.lock()) self->layoutContainer(v);
        },
        // A shown bar covers the view down to its bottom edge, so the screens keep clear of it.
        [weak](const ContainerView& v, const UIEdgeInsets& insets) {
            auto self = weak.lock();
            if (!self || self->navigationBarHidden_) return UIEdgeInsets{};
            return UIEdgeInsets{self->barBottom(v, insets), 0, 0, 0};
        });
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    navigationBar_->setDelegate(weak);
    view->addSubview(navigationBar_);
    setView(view);
    if (auto top = topViewController()) {
        top->view()->setFrame(contentFrame());
        view->insertSubviewBelowSubview(top->view(), navigationBar_);
    }
}

CGFloat UINavigationController::barBottom(const UIView& view, const UIEdgeInsets& insets) const {
    return insets.top + navigationBar_->sizeThatFits(view.bounds().size).height;
}

CGRect UINavigationController::contentFrame() const {
    auto view = viewIfLoaded();
    if (!view) return CGRect::zero();
    CGRect bounds = view->bounds();
    if (navigationBarHidden_ || navigationBar_->isTranslucent()) return bounds;
    CGFloat bottom = barBottom(*view, view->UIView::safeAreaInsets());
    return CGRect(0, bottom, bounds.width(), std::max(0.0, bounds.height() - bottom));
}

void UINavigationController::layoutContainer(ContainerView& view) {
    CGRect bounds = view.bounds();
    navigationBar_->setHidden(navigationBarHidden_);
    // The safe area without the bar itself: the status bar or the sensor housing above it.
    const UIEdgeInsets insets = view.UIView::safeAreaInsets();
    navigationBar_->setFrame(CGRect(0, insets.top, bounds.width(), barBottom(view, insets) - insets.top));
    auto top = topViewController();
    auto topView = top ? top->viewIfLoaded() : nullptr;
    if (topView && topView->superview().get() == &view && !transitioning_) topView->setFrame(contentFrame());
}

}  // namespace platform
