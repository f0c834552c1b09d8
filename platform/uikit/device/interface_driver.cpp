#include "platform/uikit/device/interface_driver.h"

#include <memory>
#include <vector>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/controllers/ui_view_controller_transition_coordinator.h"
#include "platform/uikit/device/ui_screen.h"

namespace platform {

namespace {

// The controller whose answers decide the interface orientation: the key window's root, else the
// root of the first shown window that has one.
std::shared_ptr<UIViewController> orientationController() {
    auto key = UIWindow::keyWindow();
    if (key && key->rootViewController()) return key->rootViewController();
    for (const auto& window : UIWindow::windows()) {
        if (!window->isHidden() && window->rootViewController()) return window->rootViewController();
    }
    return nullptr;
}

bool allows(UIInterfaceOrientation orientation) {
    auto controller = orientationController();
    if (!controller) return true;
    return controller->shouldAutorotate() &&
           (controller->supportedInterfaceOrientations() & UIInterfaceOrientationMaskFor(orientation)) != 0;
}

}  // namespace

bool InterfaceDriver::rotateDevice(UIDeviceOrientation orientation) {
    UIDevice::currentDevice().setOrientation(orientation);
    return attemptRotationToDeviceOrientation();
}

bool InterfaceDriver::attemptRotationToDeviceOrientation() {
    UIInterfaceOrientation target = UIInterfaceOrientationForDevice(UIDevice::currentDevice().orientation());
    const UIScreen& screen = UIScreen::mainScreen();
    if (target == UIInterfaceOrientation::unknown || target == screen.interfaceOrientation() || !allows(target))
        return false;
    transition(target, screen.splitShare());
    return true;
}

void InterfaceDriver::setSplitShare(CGFloat share) {
    const UIScreen& screen = UIScreen::mainScreen();
    if (!(share > 0 && share <= 1) || share == screen.splitShare()) return;
    transition(screen.interfaceOrientation(), share);
}

void InterfaceDriver::transition(UIInterfaceOrientation orientation, CGFloat share) {
    CGSize screenSize = DeviceProfile::current().screenSizeFor(orientation);
    CGRect frame(0, 0, screenSize.width * share, screenSize.height);
    UITraitCollection traits = UITraitCollection::forWindowSize(frame.size, orientation);
    auto coordinator =
        std::make_shared<UIViewControllerTransitionCoordinator>(kTransitionDuration, UIView::areAnimationsEnabled());
    auto windows = UIWindow::windows();
    for (const auto& window : windows) {
        bool traitsChange = window->traitCollection() != traits;
        for (const auto& controller : window->rootAndPresentedViewControllers()) {
            if (traitsChange) controller->willTransitionToTraitCollection(traits, *coordinator);
            controller->viewWillTransitionToSize(frame.size, *coordinator);
        }
    }
    UIView::animateWithDuration(
        kTransitionDuration,
        [&] {
            UIScreen& screen = UIScreen::mainScreen();
            screen.setInterfaceOrientation(orientation);
            screen.setSplitShare(share);
            for (const auto& window : windows) {
                window->setFrame(frame);
                for (const auto& controller : window->rootAndPresentedViewControllers()) {
                    if (auto presentation = controller->presentationController()) presentation->containerViewDidChangeSize();
                }
            }
            coordinator->runAnimations();
            for (const auto& window : windows) window->layoutIfNeeded();
        },
        [coordinator](bool) { coordinator->runCompletions(); });
}

}  // namespace platform
