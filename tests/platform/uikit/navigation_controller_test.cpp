#include "platform/uikit/navigation/ui_navigation_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/device/interface_driver.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_item.h"
#include "platform/uikit/navigation/ui_toolbar.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/platform/uikit/recording_controller.h"

using namespace platform;
using quorvel::testing::RecordingController;
using Log = std::vector<std::string>;
// Cases that turn or swap the device put back the default one.
using NavigationStack = quorvel::testing::DefaultDeviceTest;
using NavigationBar = quorvel::testing::DefaultDeviceTest;
using Toolbar = quorvel::testing::DefaultDeviceTest;

namespace {

// Appearance and loading only: layout passes are not what these cases are about.
class NavigatedScreen : public RecordingController {
public:
    NavigatedScreen(const std::string& name, Log* log) : RecordingController(name, nullptr), name_(name), log_(log) {
        setTitle(name);
    }
    void viewDidLoad() override { log_->push_back(name_ + ".viewDidLoad"); }
    void viewWillAppear(bool) override { log_->push_back(name_ + ".viewWillAppear"); }
    void viewDidAppear(bool) override { log_->push_back(name_ + ".viewDidAppear"); }
    void viewWillDisappear(bool) override { log_->push_back(name_ + ".viewWillDisappear"); }
    void viewDidDisappear(bool) override { log_->push_back(name_ + ".viewDidDisappear"); }

private:
    std::string name_;
    Log* log_;
};

struct Stack {
    Stack() {
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        clock->runUntilIdle();
        log.clear();
    }
    std::shared_ptr<NavigatedScreen> make(const std::string& name) { return std::make_shared<NavigatedScreen>(name, &log); }
    void settle() { clock->advance(UINavigationController::kTransitionDuration + 0.05); }

    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    Log log;
    std::shared_ptr<NavigatedScreen> root = std::make_shared<NavigatedScreen>("root", &log);
    std::shared_ptr<UINavigationController> navigation = UINavigationController::withRootViewController(root);
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>();
};

}  // namespace

TEST_F(NavigationStack, APushSlidesTheNewScreenInOnTheClock) {
    Stack stack;
    auto detail = stack.make("detail");
    stack.navigation->pushViewController(detail, true);
    EXPECT_EQ(stack.navigation->topViewController(), detail);
    EXPECT_EQ(detail->navigationController(), stack.navigation);
    EXPECT_EQ(stack.log, (Log{"detail.viewDidLoad", "root.viewWillDisappear", "detail.viewWillAppear"}));
    stack.clock->advance(UINavigationController::kTransitionDuration / 2);
    auto layer = detail->view()->layer();
    EXPECT_GT(layer->presentationLayer()->position().x, layer->position().x);
    EXPECT_EQ(stack.log.size(), 3u);
    stack.settle();
    EXPECT_EQ(stack.log, (Log{"detail.viewDidLoad", "root.viewWillDisappear", "detail.viewWillAppear",
                              "root.viewDidDisappear", "detail.viewDidAppear"}));
    EXPECT_EQ(stack.root->view()->superview(), nullptr);
    EXPECT_EQ(detail->view()->superview(), stack.navigation->view());
    EXPECT_EQ(stack.navigation->navigationBar()->titleLabel()->text(), "detail");
}

TEST_F(NavigationStack, TheBackButtonPopsAndTheRootStays) {
    Stack stack;
    auto detail = stack.make("detail");
    stack.navigation->pushViewController(detail, false);
    stack.clock->runUntilIdle();
    auto back = stack.navigation->navigationBar()->backButton();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->currentTitle(), "\u2039 root");
    stack.log.clear();
    back->sendActionsForControlEvents(UIControlEventTouchUpInside);
    stack.settle();
    EXPECT_EQ(stack.log, (Log{"detail.viewWillDisappear", "root.viewWillAppear", "detail.viewDidDisappear",
                              "root.viewDidAppear"}));
    EXPECT_EQ(stack.navigation->viewControllers(), (std::vector<std::shared_ptr<UIViewController>>{stack.root}));
    EXPECT_EQ(detail->parentViewController(), nullptr);
    EXPECT_EQ(stack.navigation->navigationBar()->items().size(), 1u);
    EXPECT_EQ(stack.navigation->navigationBar()->backButton(), nullptr);
    EXPECT_EQ(stack.navigation->popViewControllerAnimated(true), nullptr);
}

TEST_F(NavigationStack, ReplacingTheStackShowsTheNewTopAndReleasesTheOldScreens) {
    Stack stack;
    stack.navigation->pushViewController(stack.make("detail"), false);
    stack.clock->runUntilIdle();
    std::weak_ptr<UIViewController> detail = stack.navigation->topViewController();
    auto charts = stack.make("charts");
    stack.log.clear();
    stack.navigation->setViewControllers({charts}, false);
    stack.clock->runUntilIdle();
    EXPECT_EQ(stack.log, (Log{"charts.viewDidLoad", "detail.viewWillDisappear", "charts.viewWillAppear",
                              "detail.viewDidDisappear", "charts.viewDidAppear"}));
    EXPECT_TRUE(detail.expired());
    EXPECT_EQ(stack.root->parentViewController(), nullptr);
    EXPECT_EQ(stack.navigation->navigationBar()->backButton(), nullptr);
}

TEST_F(NavigationStack, ChangesAskedForDuringATransitionFollowIt) {
    Stack stack;
    auto first = stack.make("first");
    auto second = stack.make("second");
    stack.navigation->pushViewController(first, true);
    stack.navigation->pushViewController(second, true);
    EXPECT_EQ(stack.navigation->topViewController(), first);
    auto popped = stack.navigation->popToRootViewControllerAnimated(false);
    EXPECT_EQ(popped, (std::vector<std::shared_ptr<UIViewController>>{first}));  // as the stack is now
    stack.settle();
    EXPECT_EQ(stack.navigation->topViewController(), second);
    stack.settle();
    EXPECT_EQ(stack.navigation->topViewController(), stack.root);
    EXPECT_EQ(stack.log.back(), "root.viewDidAppear");
}

TEST_F(NavigationStack, ContentGoesUnderATranslucentBarAndBelowAnOpaqueOne) {
    Stack stack;
    auto bar = stack.navigation->navigationBar();
    EXPECT_EQ(bar->frame(), CGRect(0, 20, 375, 44));  // below the status bar
    EXPECT_EQ(stack.root->view()->frame(), CGRect(0, 0, 375, 667));
    bar->setTranslucent(false);
    stack.navigation->pushViewController(stack.make("detail"), false);
    stack.clock->runUntilIdle();
    EXPECT_EQ(stack.navigation->topViewController()->view()->frame(), CGRect(0, 64, 375, 603));
}

TEST_F(NavigationStack, TheTopScreenTurnsWithTheDeviceUnderALowerBar) {
    Stack stack;
    InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft);
    stack.settle();
    EXPECT_EQ(stack.root->transitionSize, (CGSize{667, 375}));
    EXPECT_EQ(stack.root->view()->frame(), CGRect(0, 0, 667, 375));
    EXPECT_EQ(stack.navigation->navigationBar()->frame(), CGRect(0, 0, 667, UINavigationBar::kCompactHeight));
}

TEST_F(NavigationBar, ItemsSitAtTheEdgesAndFollowTheirItem) {
    Stack stack;
    auto item = stack.root->navigationItem();
    auto menu = std::make_shared<UIView>(CGRect(0, 0, 180, 32));
    int saves = 0;
    item->setLeftBarButtonItem(UIBarButtonItem::itemWithCustomView(menu));
    auto save = UIBarButtonItem::itemWithTitle("Save", UIBarButtonItemStyle::done, [&](UIBarButtonItem&) { ++saves; });
    item->setRightBarButtonItem(save);
    stack.root->setTitle("Focus");
    auto bar = stack.navigation->navigationBar();
    bar->layoutIfNeeded();
    EXPECT_EQ(menu->superview(), bar);
    EXPECT_EQ(menu->frame(), CGRect(UINavigationBar::kMargin, 6, 180, 32));
    auto button = std::dynamic_pointer_cast<UIButton>(save->view());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->frame().maxX(), 375 - UINavigationBar::kMargin);
    EXPECT_EQ(bar->titleLabel()->text(), "Focus");
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    save->setEnabled(false);
    save->sendAction();
    EXPECT_EQ(saves, 1);
    item->setLeftBarButtonItem(nullptr);
    EXPECT_EQ(menu->superview(), nullptr);
}

TEST_F(Toolbar, FlexibleSpacesShareTheRoomLeft) {
    auto toolbar = std::make_shared<UIToolbar>(CGRect(0, 0, 320, 44));
    toolbar->setBarStyle(UIBarStyle::black);
    auto left = std::make_shared<UIView>(CGRect(0, 0, 60, 30));
    auto right = std::make_shared<UIView>(CGRect(0, 0, 40, 30));
    auto space = UIBarButtonItem::itemWithBarButtonSystemItem(UIBarButtonSystemItem::flexibleSpace, nullptr);
    toolbar->setItems({UIBarButtonItem::itemWithCustomView(left), space, UIBarButtonItem::itemWithCustomView(right)});
    toolbar->layoutIfNeeded();
    EXPECT_EQ(left->frame(), CGRect(8, 7, 60, 30));
    EXPECT_EQ(right->frame(), CGRect(272, 7, 40, 30));
    EXPECT_NEAR(toolbar->backgroundColor()->alpha(), 0.85, 1e-6);
}
