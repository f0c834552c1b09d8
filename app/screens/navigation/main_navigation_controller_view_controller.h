#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/core/timer_navigation_container.h"
#include "app/widgets/menu/drop_down_menu.h"
#include "app/widgets/menu/drop_down_menu_item.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"

namespace quorvel {

// The app's root: shows one of the three main screens (timer, statistics, settings) at a time and
// swaps them through a drop-down menu under its bar. It owns the bar buttons the screens show: one
// menu button per screen and the button that skips or stops the current session. It re-posts device
// rotation for the timer screen. Main thread.
class MainNavigationControllerViewController : public platform::UINavigationController,
                                               public TimerNavigationContainer {
public:
    // Each screen's menu title, icon, storyboard and identifier (its class name), in menu order.
    struct Screen {
        const char* title;
        const char* icon;
        const char* storyboard;
        const char* identifier;
    };
    static const std::vector<Screen>& screens();

    MainNavigationControllerViewController() = default;
    ~MainNavigationControllerViewController() override;

    const std::shared_ptr<DropDownMenu>& optionsMenu() const { return optionsMenu_; }
    const std::shared_ptr<DropDownMenuItem>& homeItem() const { return homeItem_; }
    std::shared_ptr<platform::UIButton> skipButton() override { return skipButton_; }
    std::shared_ptr<platform::UIButton> sessionButton() override { return sessionButton_; }
    std::vector<std::shared_ptr<platform::UIButton>> navigationBarButtons() override {
        return navigationBarButtons_;
    }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    // Moves the menu's icons and tells the timer screen through "DeviceRotated"; the children are
    // not told directly.
    void viewWillTransitionToSize(platform::CGSize size,
                                  platform::UIViewControllerTransitionCoordinator& coordinator) override;
    bool shouldAutorotate() const override;
    unsigned supportedInterfaceOrientations() const override;

    void updateMenuImageOffset();
    void setUpSkipButton();
    std::vector<std::shared_ptr<platform::UIButton>> makeNavigationBarButtons();
    void setUpOptionsMenu();
    // Replaces the stack with a fresh screen of the storyboard unless that screen is already shown.
    void showScreen(const std::string& storyboard, const std::string& identifier, std::size_t buttonIndex);
    void setHomeItemTitle(const platform::NSNotification& notification);
    void timerStatusNotificationReceived(const platform::NSNotification& notification);
    // Asks before it stops a running session ("Stop") or skips to the next one ("Skip").
    void skipButtonPressed();
    void toggleOptionsMenu();

private:
    std::shared_ptr<MainNavigationControllerViewController> self();
    void chooseScreen(std::size_t index);
    // A fresh screen of the storyboard as the only one, with its menu button on the left.
    void placeScreen(const std::string& storyboard, const std::string& identifier, std::size_t buttonIndex);

    std::shared_ptr<DropDownMenu> optionsMenu_;
    std::shared_ptr<DropDownMenuItem> homeItem_;
    std::shared_ptr<platform::UIButton> skipButton_;
    std::shared_ptr<platform::UIButton> sessionButton_;
    std::vector<std::shared_ptr<platform::UIButton>> navigationBarButtons_;
};

}  // namespace quorvel
