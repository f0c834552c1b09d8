#pragma once

#include <memory>

#include "platform/uikit/controllers/ui_view_controller.h"

namespace quorvel {

class QueuedAlertView;

// The root controller of an alert's window: its view is the alert itself. For rotation and the status
// bar it answers as the window that was key before the alert would.
class QueuedAlertViewController : public platform::UIViewController {
public:
    const std::shared_ptr<QueuedAlertView>& alertView() const { return alertView_; }
    void setAlertView(std::shared_ptr<QueuedAlertView> alertView) { alertView_ = std::move(alertView); }

    void loadView() override;
    void viewDidLoad() override;

    // The card's motion stops and it is laid out afresh for the new size.
    void willRotateToInterfaceOrientation(platform::UIInterfaceOrientation orientation, double duration);
    void willAnimateRotationToInterfaceOrientation(platform::UIInterfaceOrientation orientation,
                                                   double duration);
    void viewWillTransitionToSize(platform::CGSize size,
                                  platform::UIViewControllerTransitionCoordinator& coordinator) override;

    // What the top controller of the window that was key answers; without one, every orientation.
    unsigned supportedInterfaceOrientations() const override;
    bool shouldAutorotate() const override;
    bool shouldAutorotateToInterfaceOrientation(platform::UIInterfaceOrientation orientation) const;

    // What the controller deciding the status bar of the window that was key (else of the app's first
    // window) answers.
    platform::UIStatusBarStyle preferredStatusBarStyle() const override;
    bool prefersStatusBarHidden() const override;

private:
    std::shared_ptr<platform::UIViewController> topControllerOfOldKeyWindow() const;
    std::shared_ptr<platform::UIWindow> statusBarWindow() const;

    std::shared_ptr<QueuedAlertView> alertView_;
};

}  // namespace quorvel
