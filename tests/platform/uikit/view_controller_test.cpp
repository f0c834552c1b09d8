#include "platform/uikit/controllers/ui_view_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_popover_presentation_controller.h"
#include "platform/uikit/device/interface_driver.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/platform/uikit/recording_controller.h"

using namespace platform;
using quorvel::testing::RecordingController;

using Log = std::vector<std::string>;
using Shown = quorvel::testing::ShownRoot;

TEST(ViewControllerView, LoadsOnceOnFirstUseAndAgainAfterItIsDropped) {
    auto clock = VirtualClock::install();
    Log log;
    struct Asking : RecordingController {
        using RecordingController::RecordingController;
        void loadView() override {
            asked = view();  // asked while it is being made: not made again inside itself
            UIViewController::loadView();
        }
        std::shared_ptr<UIView> asked;
    };
    auto controller = std::make_shared<Asking>("c", &log);
    EXPECT_FALSE(controller->isViewLoaded());
    auto view = controller->view();
    EXPECT_EQ(controller->asked, nullptr);
    EXPECT_EQ(controller->view(), view);
    EXPECT_EQ(log, (Log{"c.viewDidLoad"}));
    controller->setView(nullptr);
    EXPECT_NE(controller->view(), view);
    EXPECT_EQ(log, (Log{"c.viewDidLoad", "c.viewDidLoad"}));
}

TEST(ViewControllerAppearance, TheRootAppearsWithItsWindowAndHearsOfLayout) {
    auto clock = VirtualClock::install();
    Log log;
    auto root = std::make_shared<RecordingController>("root", &log);
    auto window = std::make_shared<UIWindow>();
    window->setRootViewController(root);
    EXPECT_EQ(log, (Log{"root.viewDidLoad"}));
    EXPECT_EQ(root->view()->frame(), window->bounds());
    window->makeKeyAndVisible();
    EXPECT_EQ(log.back(), "root.viewWillAppear");
    clock->runUntilIdle();
    EXPECT_EQ(log, (Log{"root.viewDidLoad", "root.viewWillAppear", "root.viewWillLayoutSubviews",
                        "root.viewDidLayoutSubviews", "root.viewDidAppear"}));
    log.clear();
    window->setHidden(true);
    window->setHidden(true);
    clock->runUntilIdle();
    EXPECT_EQ(log, (Log{"root.viewWillDisappear", "root.viewDidDisappear"}));
}

TEST(ViewControllerAppearance, ReplacingTheRootSwapsViewsAndAppearance) {
    Shown shown;
    auto next = shown.make("next");
    shown.window->setRootViewController(next);
    shown.clock->runUntilIdle();
    EXPECT_EQ(shown.log, (Log{"root.viewWillDisappear", "root.viewDidDisappear", "next.viewDidLoad",
                              "next.viewWillAppear", "next.viewWillLayoutSubviews", "next.viewDidLayoutSubviews",
                              "next.viewDidAppear"}));
    EXPECT_EQ(shown.root->view()->superview(), nullptr);
    EXPECT_EQ(next->view()->superview(), shown.window);
}

TEST(ViewControllerContainment, ChildrenInTheViewShareTheParentsAppearance) {
    auto clock = VirtualClock::install();
    Log log;
    auto root = std::make_shared<RecordingController>("root", &log);
    auto inside = std::make_shared<RecordingController>("inside", &log);
    auto aside = std::make_shared<RecordingController>("aside", &log);
    root->addChildViewController(inside);
    root->view()->addSubview(inside->view());
    root->addChildViewController(aside);  // its view is elsewhere
    aside->view();
    auto window = std::make_shared<UIWindow>();
    window->setRootViewController(root);
    clock->runUntilIdle();
    log.clear();
    window->makeKeyAndVisible();
    window->setHidden(true);  // before it finished appearing
    clock->runUntilIdle();
    EXPECT_EQ(log, (Log{"root.viewWillAppear", "inside.viewWillAppear", "root.viewWillDisappear",
                        "inside.viewWillDisappear", "root.viewDidDisappear", "inside.viewDidDisappear"}));
    inside->removeFromParentViewController();
    EXPECT_EQ(inside->parentViewController(), nullptr);
    EXPECT_EQ(root->childViewControllers().size(), 1u);
    aside->addChildViewController(root);  // not a child of its own child
    EXPECT_EQ(root->parentViewController(), nullptr);
}

TEST(Presentation, FullScreenCoversThePresenterAndDismissalBringsItBack) {
    Shown shown;
    auto modal = shown.make("modal");
    Log completions;
    shown.root->presentViewController(modal, false, [&] { completions.push_back("presented"); });
    EXPECT_TRUE(modal->isBeingPresented());
    EXPECT_TRUE(completions.empty());
    shown.clock->runUntilIdle();
    EXPECT_EQ(shown.log, (Log{"modal.viewDidLoad", "root.viewWillDisappear", "modal.viewWillAppear",
                              "modal.viewWillLayoutSubviews", "modal.viewDidLayoutSubviews", "root.viewDidDisappear",
                              "modal.viewDidAppear"}));
    EXPECT_EQ(completions, (Log{"presented"}));
    EXPECT_FALSE(modal->isBeingPresented());
    EXPECT_EQ(modal->view()->frame(), shown.window->bounds());
    EXPECT_EQ(shown.root->view()->superview(), nullptr);

    shown.log.clear();
    modal->dismissViewControllerAnimated(false, [&] { completions.push_back("dismissed"); });
    shown.clock->runUntilIdle();
    EXPECT_EQ(shown.log, (Log{"modal.viewWillDisappear", "root.viewWillAppear", "root.viewWillLayoutSubviews",
                              "root.viewDidLayoutSubviews", "modal.viewDidDisappear", "root.viewDidAppear"}));
    EXPECT_EQ(completions, (Log{"presented", "dismissed"}));
    EXPECT_EQ(shown.root->view()->superview(), shown.window);
    EXPECT_EQ(modal->view()->superview(), nullptr);
    EXPECT_EQ(shown.root->presentedViewController(), nullptr);
    EXPECT_EQ(modal->presentingViewController(), nullptr);
}

TEST(Presentation, AnAnimatedPresentationSlidesInOnTheClock) {
    Shown shown;
    auto modal = shown.make("modal");
    bool done = false;
    shown.root->presentViewController(modal, true, [&] { done = true; });
    auto layer = modal->view()->layer();
    shown.clock->advance(UIPresentationController::kTransitionDuration / 2);
    EXPECT_GT(layer->presentationLayer()->position().y, layer->position().y);
    EXPECT_FALSE(done);
    shown.clock->advance(UIPresentationController::kTransitionDuration);
    EXPECT_TRUE(done);
    EXPECT_EQ(modal->view()->frame(), shown.window->bounds());
}

TEST(Presentation, OverFullScreenLeavesThePresenterShowing) {
    Shown shown;
    auto sheet = shown.make("sheet");
    sheet->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
    shown.root->presentViewController(sheet, false);
    shown.clock->runUntilIdle();
    sheet->dismissViewControllerAnimated(false, nullptr);
    shown.clock->runUntilIdle();
    for (const auto& line : shown.log) EXPECT_EQ(line.rfind("root.", 0), std::string::npos) << line;
    EXPECT_EQ(shown.root->view()->superview(), shown.window);
}

TEST(Presentation, RequestsDuringATransitionWaitTheirTurn) {
    Shown shown;
    auto first = shown.make("first");
    auto second = shown.make("second");
    Log order;
    shown.root->presentViewController(first, true, [&] { order.push_back("first presented"); });
    first->dismissViewControllerAnimated(true, [&] { order.push_back("first dismissed"); });
    shown.root->presentViewController(second, false, [&] { order.push_back("second presented"); });
    platform::Console::Capture console;
    shown.root->presentViewController(shown.make("third"), false);
    shown.clock->advance(1);
    EXPECT_EQ(order, (Log{"first presented", "first dismissed", "second presented"}));
    EXPECT_EQ(shown.root->presentedViewController(), second);
    EXPECT_TRUE(console.contains("already presents"));
}

TEST(Presentation, DismissingFromThePresentedGoesThroughItsPresenter) {
    Shown shown;
    // A sheet that slides its content out before it lets itself be dismissed.
    struct Sheet : RecordingController {
        using RecordingController::RecordingController;
        void dismissViewControllerAnimated(bool animated, std::function<void()> completion) override {
            ++ownDismissals;
            UIViewController::dismissViewControllerAnimated(animated, std::move(completion));
        }
        int ownDismissals = 0;
    };
    auto sheet = std::make_shared<Sheet>("sheet", &shown.log);
    shown.root->presentViewController(sheet, false);
    shown.clock->runUntilIdle();
    sheet->dismissViewControllerAnimated(false, nullptr);
    shown.clock->runUntilIdle();
    EXPECT_EQ(sheet->ownDismissals, 1);
    EXPECT_EQ(shown.root->presentedViewController(), nullptr);
    bool completed = false;
    shown.root->dismissViewControllerAnimated(false, [&] { completed = true; });  // nothing to dismiss
    shown.clock->runUntilIdle();
    EXPECT_FALSE(completed);
}

TEST(Presentation, AChildPresentsFromItsContainerAndADismissalTakesTheWholeChain) {
    Shown shown;
    auto child = shown.make("child");
    shown.root->addChildViewController(child);
    shown.root->view()->addSubview(child->view());
    auto first = shown.make("first");
    auto second = shown.make("second");
    child->presentViewController(first, false);
    shown.clock->runUntilIdle();
    EXPECT_EQ(first->presentingViewController(), shown.root);
    EXPECT_EQ(child->presentedViewController(), first);
    first->presentViewController(second, false);
    shown.clock->runUntilIdle();
    EXPECT_EQ(shown.window->rootAndPresentedViewControllers(),
              (std::vector<std::shared_ptr<UIViewController>>{shown.root, first, second}));
    shown.log.clear();
    child->dismissViewControllerAnimated(false);
    shown.clock->runUntilIdle();
    // The first one was covered already: only what shows hears of the dismissal.
    EXPECT_EQ(shown.log, (Log{"second.viewWillDisappear", "root.viewWillAppear", "child.viewWillAppear",
                              "root.viewWillLayoutSubviews", "root.viewDidLayoutSubviews",
                              "second.viewDidDisappear", "root.viewDidAppear", "child.viewDidAppear"}));
    EXPECT_EQ(second->presentingViewController(), nullptr);
    EXPECT_EQ(second->view()->superview(), nullptr);
}

TEST(Presentation, APresentedControllerTurnsWithTheDeviceAndItsPresenterFollows) {
    Shown shown;
    auto modal = shown.make("modal");
    shown.root->presentViewController(modal, false);
    shown.clock->runUntilIdle();
    InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft);
    shown.clock->advance(1);
    EXPECT_EQ(modal->transitionSize, (CGSize{667, 375}));
    EXPECT_EQ(shown.root->transitionSize, (CGSize{667, 375}));
    EXPECT_EQ(modal->view()->frame(), CGRect(0, 0, 667, 375));
    modal->dismissViewControllerAnimated(false);
    shown.clock->runUntilIdle();
    EXPECT_EQ(shown.root->view()->frame(), CGRect(0, 0, 667, 375));
    quorvel::testing::restoreDefaultDevice();
}

TEST(Popover, APanelBesideItsSourceOnAWideWindowAndTheWholeWindowOnANarrowOne) {
    DeviceProfile::setCurrent(*DeviceProfile::named("iPadPro11Inch"));
    Shown shown;
    auto source = std::make_shared<UIView>(CGRect(100, 100, 50, 40));
    shown.root->view()->addSubview(source);
    auto panel = shown.make("panel");
    panel->setModalPresentationStyle(UIModalPresentationStyle::popover);
    panel->setPreferredContentSize({300, 200});
    auto popover = panel->popoverPresentationController();
    ASSERT_NE(popover, nullptr);
    popover->setSourceView(source);
    popover->setSourceRect(source->bounds());
    shown.root->presentViewController(panel, false);
    shown.clock->runUntilIdle();
    EXPECT_EQ(panel->view()->frame(), CGRect(10, 150, 300, 200));  // kept inside the window's margin
    for (const auto& line : shown.log) EXPECT_EQ(line.rfind("root.", 0), std::string::npos) << line;

    InterfaceDriver::setSplitShare(1.0 / 3);  // too narrow for a panel
    shown.clock->advance(1);
    EXPECT_EQ(panel->view()->frame(), shown.window->bounds());
    EXPECT_EQ(shown.make("plain")->popoverPresentationController(), nullptr);
    quorvel::testing::restoreDefaultDevice();
}
