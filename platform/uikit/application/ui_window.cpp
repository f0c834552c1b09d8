#include "platform/uikit/application/ui_window.h"

#include <algorithm>

#include "platform/foundation/ns_run_loop.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/touches/gesture_arbiter.h"
#include "platform/uikit/touches/touch_delivery.h"
#include "platform/uikit/touches/ui_event.h"

namespace platform {

namespace {

struct Registry {
    std::vector<UIWindow*> all;       // creation order
    std::vector<UIWindow*> keyOrder;  // windows that were key, most recent last
};

Registry& registry() {
    static Registry r;
    return r;
}

// The "did" half of an appearance change comes once the current work is done, as on the platform.
void endAppearanceSoon(const std::shared_ptr<UIViewController>& controller) {
    NSRunLoop::main().perform([weak = std::weak_ptr(controller)] {
        if (auto strong = weak.lock()) strong->endAppearanceTransition();
    });
}

// The key status goes back to the last key window that is still shown.
void passKeyToLastShown() {
    auto& order = registry().keyOrder;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if ((*it)->isHidden()) continue;
        UIWindow* next = *it;
        std::erase(order, next);
        order.push_back(next);
        next->becomeKeyWindow();
        return;
    }
}

}  // namespace

UIWindow::UIWindow() : UIWindow(UIScreen::mainScreen().applicationFrame()) {}

UIWindow::UIWindow(const CGRect& frame) : UIView(frame) {
    UIView::setHidden(true);
    registry().all.push_back(this);
}

UIWindow::~UIWindow() {
    bool wasKey = isKeyWindow();
    auto& r = registry();
    std::erase(r.all, this);
    std::erase(r.keyOrder, this);
    if (wasKey) passKeyToLastShown();
    // Subviews leave the window while it is still one.
    for (auto& sub : std::vector(subviews())) sub->removeFromSuperview();
}

bool UIWindow::isKeyWindow() const {
    auto& order = registry().keyOrder;
    return !order.empty() && order.back() == this && !isHidden();
}

std::shared_ptr<UIWindow> UIWindow::keyWindow() {
    auto& order = registry().keyOrder;
    if (order.empty() || order.back()->isHidden()) return nullptr;
    return std::static_pointer_cast<UIWindow>(order.back()->weak_from_this().lock());
}

void UIWindow::makeKeyWindow() {
    auto& order = registry().keyOrder;
    if (!order.empty() && order.back() == this) return;
    UIWindow* old = order.empty() ? nullptr : order.back();
    std::erase(order, this);
    order.push_back(this);
    if (old && !old->isHidden()) old->resignKeyWindow();
    becomeKeyWindow();
}

void UIWindow::makeKeyAndVisible() {
    setHidden(false);
    makeKeyWindow();
}

void UIWindow::setHidden(bool hidden) {
    bool wasHidden = isHidden();
    bool wasKey = isKeyWindow();
    UIView::setHidden(hidden);
    if (hidden && wasKey) resignKey();
    if (hidden == wasHidden || !rootViewController_) return;
    rootViewController_->beginAppearanceTransition(!hidden, false);
    endAppearanceSoon(rootViewController_);
}

void UIWindow::setRootViewController(const std::shared_ptr<UIViewController>& controller) {
    if (controller == rootViewController_) return;
    auto keep = weak_from_this().lock();
    bool shown = !isHidden();
    if (auto old = rootViewController_) {
        if (shown) old->beginAppearanceTransition(false, false);
        for (const auto& c : rootAndPresentedViewControllers()) {
            auto view = c->viewIfLoaded();
            if (view && view->superview().get() == this) view->removeFromSuperview();
        }
        if (shown) old->endAppearanceTransition();
    }
    rootViewController_ = controller;
    if (!controller) return;
    const auto& view = controller->view();
    view->setFrame(bounds());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    if (shown) controller->beginAppearanceTransition(true, false);
    addSubview(view);
    if (shown) endAppearanceSoon(controller);
}

std::vector<std::shared_ptr<UIViewController>> UIWindow::rootAndPresentedViewControllers() const {
    std::vector<std::shared_ptr<UIViewController>> chain;
    for (auto c = rootViewController_; c; c = c->presentedViewController()) chain.push_back(c);
    return chain;
}

void UIWindow::resignKey() {
    resignKeyWindow();
    std::erase(registry().keyOrder, this);
    passKeyToLastShown();
}

std::vector<std::shared_ptr<UIWindow>> UIWindow::windows() {
    std::vector<UIWindow*> all = registry().all;
    std::stable_sort(all.begin(), all.end(),
                     [](const UIWindow* a, const UIWindow* b) { return a->windowLevel_ < b->windowLevel_; });
    std::vector<std::shared_ptr<UIWindow>> result;
    for (UIWindow* w : all) {
        if (auto shared = w->weak_from_this().lock())
            result.push_back(std::static_pointer_cast<UIWindow>(shared));
    }
    return result;
}

void UIWindow::sendEvent(const UIEvent& event) {
    auto keep = weak_from_this().lock();
    auto& arbiter = GestureArbiter::shared();
    for (const auto& touch : event.allTouches()) {
        if (touch->phase() != UITouchPhase::began || touch->window().get() != this || touch->view()) continue;
        touch->view_ = hitTest(touch->locationInView(nullptr), &event);
        arbiter.attach(touch);
    }
    arbiter.deliver(event);
    TouchDelivery::shared().deliver(event);
    arbiter.finish(event);
}

UIEdgeInsets UIWindow::safeAreaInsets() const {
    const UIScreen& screen = UIScreen::mainScreen();
    return insetsOverlapping(screen.safeAreaInsets(), screen.bounds(), frame());
}

UITraitCollection UIWindow::traitCollection() const {
    return UITraitCollection::forWindowSize(bounds().size);
}

}  // namespace platform
