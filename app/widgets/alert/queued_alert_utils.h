#pragma once

#include <memory>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"

namespace quorvel {

// What an alert asks of the window that was key before it, to answer as that window's screen would.
class QueuedAlertUtils {
public:
    // The root controller, followed through the controllers presented over it to the last.
    static std::shared_ptr<platform::UIViewController> currentViewController(
        const platform::UIWindow& window);
    // From the current controller down the chain of children that decide the status bar's style.
    static std::shared_ptr<platform::UIViewController> viewControllerForStatusBarStyle(
        const platform::UIWindow& window);
    // The same for whether the status bar is hidden.
    static std::shared_ptr<platform::UIViewController> viewControllerForStatusBarHidden(
        const platform::UIWindow& window);
};

}  // namespace quorvel
