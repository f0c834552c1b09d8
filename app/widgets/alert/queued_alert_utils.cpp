#include "app/widgets/alert/queued_alert_utils.h"

namespace quorvel {

using namespace platform;

namespace {

using Child = std::shared_ptr<UIViewController> (UIViewController::*)() const;

std::shared_ptr<UIViewController> follow(std::shared_ptr<UIViewController> controller, Child next) {
    while (controller) {
        auto child = ((*controller).*next)();
        if (!child) break;
        controller = std::move(child);
    }
    return controller;
}

}  // namespace

std::shared_ptr<UIViewController> QueuedAlertUtils::currentViewController(const UIWindow& window) {
    return follow(window.rootViewController(), &UIViewController::presentedViewController);
}

std::shared_ptr<UIViewController> QueuedAlertUtils::viewControllerForStatusBarStyle(const UIWindow& window) {
    return follow(currentViewController(window), &UIViewController::childViewControllerForStatusBarStyle);
}

std::shared_ptr<UIViewController> QueuedAlertUtils::viewControllerForStatusBarHidden(const UIWindow& window) {
    return follow(currentViewController(window), &UIViewController::childViewControllerForStatusBarHidden);
}

}  // namespace quorvel
