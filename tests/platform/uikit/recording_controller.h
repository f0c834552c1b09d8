#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/controllers/ui_view_controller_transition_coordinator.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel::testing {

// A controller that writes each life-cycle call, prefixed with its name, into a shared log.
class RecordingController : public platform::UIViewController {
public:
    RecordingController(std::string name, std::vector<std::string>* log)
        : name_(std::move(name)), log_(log) {}

    void viewDidLoad() override { note("viewDidLoad"); }
    void viewWillAppear(bool) override { note("viewWillAppear"); }
    void viewDidAppear(bool) override { note("viewDidAppear"); }
    void viewWillDisappear(bool) override { note("viewWillDisappear"); }
    void viewDidDisappear(bool) override { note("viewDidDisappear"); }
    void viewWillLayoutSubviews() override { note("viewWillLayoutSubviews"); }
    void viewDidLayoutSubviews() override {
        ++layouts;
        laidOutBounds = view()->bounds();
        laidOutTraits = traitCollection();
        note("viewDidLayoutSubviews");
    }
    void viewWillTransitionToSize(platform::CGSize size,
                                  platform::UIViewControllerTransitionCoordinator& coordinator) override {
        transitionSize = size;
        windowSizeBeforeTransition = view()->window() ? view()->window()->bounds().size : platform::CGSize{};
        note("viewWillTransitionToSize");
        UIViewController::viewWillTransitionToSize(size, coordinator);
    }
    void willTransitionToTraitCollection(
        const platform::UITraitCollection& traits,
        platform::UIViewControllerTransitionCoordinator& coordinator) override {
        note("willTransitionToTraitCollection");
        UIViewController::willTransitionToTraitCollection(traits, coordinator);
    }
    bool shouldAutorotate() const override { return canRotate; }

    int layouts = 0;
    bool canRotate = true;
    platform::CGRect laidOutBounds;
    platform::UITraitCollection laidOutTraits;
    platform::CGSize transitionSize;
    platform::CGSize windowSizeBeforeTransition;

private:
    void note(const std::string& call) {
        if (log_) log_->push_back(name_ + "." + call);
    }

    std::string name_;
    std::vector<std::string>* log_;
};

// A shown window on the device chosen before, whose recording root controller has appeared; the log
// starts empty.
struct ShownRoot {
    ShownRoot() {
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        clock->runUntilIdle();
        log.clear();
    }
    std::shared_ptr<RecordingController> make(const std::string& name) {
        return std::make_shared<RecordingController>(name, &log);
    }

    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::vector<std::string> log;
    std::shared_ptr<RecordingController> root = make("root");
    std::shared_ptr<platform::UIWindow> window = std::make_shared<platform::UIWindow>();
};

}  // namespace quorvel::testing
