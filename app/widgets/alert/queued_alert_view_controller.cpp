#include "app/widgets/alert/queued_alert_view_controller.h"

#include "app/widgets/alert/queued_alert_utils.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/controllers/ui_view_controller_transition_coordinator.h"
#include "platform/uikit/device/ui_screen.h"

namespace quorvel {

using namespace platform;

void QueuedAlertViewController::loadView() {
    setView(alertView_);
}

void QueuedAlertViewController::viewDidLoad() {
    if (alertView_) alertView_->setUp();
}

void QueuedAlertViewController::willRotateToInterfaceOrientation(UIInterfaceOrientation, double) {
    if (!alertView_) return;
    if (const auto& card = alertView_->containerView()) card->layer()->removeAllAnimations();
    alertView_->invalidateLayout();
}

void QueuedAlertViewController::willAnimateRotationToInterfaceOrientation(UIInterfaceOrientation, double) {
    setNeedsStatusBarAppearanceUpdate();
}

void QueuedAlertViewController::viewWillTransitionToSize(CGSize size,
                                                         UIViewControllerTransitionCoordinator& coordinator) {
    UIViewController::viewWillTransitionToSize(size, coordinator);
    const UIInterfaceOrientation orientation = UIScreen::mainScreen().interfaceOrientation();
    willRotateToInterfaceOrientation(orientation, coordinator.transitionDuration());
    willAnimateRotationToInterfaceOrientation(orientation, coordinator.transitionDuration());
}

std::shared_ptr<UIViewController> QueuedAlertViewController::topControllerOfOldKeyWindow() const {
    const auto window = alertView_ ? alertView_->oldKeyWindow() : nullptr;
    auto top = window ? QueuedAlertUtils::currentViewController(*window) : nullptr;
    return top.get() == this ? nullptr : top;
}

unsigned QueuedAlertViewController::supportedInterfaceOrientations() const {
    const auto top = topControllerOfOldKeyWindow();
    return top ? top->supportedInterfaceOrientations() : UIInterfaceOrientationMaskAll;
}

bool QueuedAlertViewController::shouldAutorotate() const {
    const auto top = topControllerOfOldKeyWindow();
    return top ? top->shouldAutorotate() : true;
}

bool QueuedAlertViewController::shouldAutorotateToInterfaceOrientation(
    UIInterfaceOrientation orientation) const {
    const auto top = topControllerOfOldKeyWindow();
    return top ? (top->supportedInterfaceOrientations() & UIInterfaceOrientationMaskFor(orientation)) != 0
               : true;
}

std::shared_ptr<UIWindow> QueuedAlertViewController::statusBarWindow() const {
    if (auto window = alertView_ ? alertView_->oldKeyWindow() : nullptr) return window;
    const auto windows = UIApplication::sharedApplication().windows();
    return windows.empty() ? nullptr : windows.front();
}

UIStatusBarStyle QueuedAlertViewController::preferredStatusBarStyle() const {
    const auto window = statusBarWindow();
    const auto controller = window ? QueuedAlertUtils::viewControllerForStatusBarStyle(*window) : nullptr;
    // Without a window of the app's own, the alert's window would ask itself.
    if (!controller || controller.get() == this) return UIViewController::preferredStatusBarStyle();
    return controller->preferredStatusBarStyle();
}

bool QueuedAlertViewController::prefersStatusBarHidden() const {
    const auto window = statusBarWindow();
    const auto controller = window ? QueuedAlertUtils::viewControllerForStatusBarHidden(*window) : nullptr;
    if (!controller || controller.get() == this) return UIViewController::prefersStatusBarHidden();
    return controller->prefersStatusBarHidden();
}

}  // namespace quorvel
