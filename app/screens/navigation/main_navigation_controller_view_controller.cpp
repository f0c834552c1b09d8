#include "app/screens/navigation/main_navigation_controller_view_controller.h"

#include "app/core/app_notification_names.h"
#include "app/core/color_image.h"
#include "app/core/navigation_bar_style.h"
#include "app/core/refused_song.h"
#include "app/core/timer_view_model.h"
#include "app/screens/timer/session_question.h"
#include "app/screens/timer/shared_fonts.h"
#include "app/screens/timer/zuvo_alert_manager.h"
#include "app/screens/timer/zuvo_size_calculator.h"
#include "platform/foundation/console.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller_transition_coordinator.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_item.h"
#include "platform/uikit/navigation/ui_toolbar.h"
#include "platform/uikit/nibs/ui_storyboard.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr CGSize kPortraitImageOffset{6.0, -1.0};

std::shared_ptr<UIColor> menuIconTint() {
    return UIColor::colorWithRed(210 / 255.0, 210 / 255.0, 210 / 255.0, 1);
}

}  // namespace

const std::vector<MainNavigationControllerViewController::Screen>&
MainNavigationControllerViewController::screens() {
    static const std::vector<Screen> all{
        {"Focus", "focus", "TimeView", "TimeViewController"},
        {"Charts", "chart", "Charts", "ChartsViewController"},
        {"Options", "setting", "Settings", "OptionViewController"},
    };
    return all;
}

MainNavigationControllerViewController::~MainNavigationControllerViewController() {
    Console::print("Released (•̀ᴗ•́)و ̑̑ MainNavigationControllerViewController");
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<MainNavigationControllerViewController> MainNavigationControllerViewController::self() {
    return std::static_pointer_cast<MainNavigationControllerViewController>(shared_from_this());
}

void MainNavigationControllerViewController::viewDidLoad() {
    UINavigationController::viewDidLoad();
    setUpOptionsMenu();
    setUpSkipButton();
    navigationBarButtons_ = makeNavigationBarButtons();
    styleNavigationBar(true, navigationBar());
    auto& center = NSNotificationCenter::defaultCenter();
    center.addObserver(self(), &MainNavigationControllerViewController::setHomeItemTitle,
                       NotificationName::sessionDidChange());
    center.addObserver(self(), &MainNavigationControllerViewController::timerStatusNotificationReceived,
                       NotificationName::timerRunningStatus());
    // Whichever screen is in front, the person hears why a chosen song gave way to the default sound.
    center.addObserver(this, NotificationName::chosenSongRefused(),
                       [](const platform::NSNotification& refused) {
                           if (const auto* song = refused.objectAs<RefusedSong>())
                               ZuvoAlertManager::showRefusedSongAlert(song->fileName, song->settingsRestored);
                       });
}

void MainNavigationControllerViewController::viewWillTransitionToSize(
    CGSize, UIViewControllerTransitionCoordinator& coordinator) {
    updateMenuImageOffset();
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::deviceRotated());
    // The window's safe area changes with the transition: read it again once it has, or the icons
    // would sit under a notch lying sideways.
    coordinator.animateAlongsideTransition(
        [weak = std::weak_ptr<MainNavigationControllerViewController>(self())](const auto&) {
            if (const auto container = weak.lock()) container->updateMenuImageOffset();
        },
        nullptr);
}

bool MainNavigationControllerViewController::shouldAutorotate() const {
    const auto top = topViewController();
    return top ? top->shouldAutorotate() : UINavigationController::shouldAutorotate();
}

unsigned MainNavigationControllerViewController::supportedInterfaceOrientations() const {
    const auto top = topViewController();
    return top ? top->supportedInterfaceOrientations()
               : UINavigationController::supportedInterfaceOrientations();
}

void MainNavigationControllerViewController::updateMenuImageOffset() {
    if (!optionsMenu_) return;
    if (!UIDeviceOrientationIsLandscape(UIDevice::currentDevice().orientation())) {
        optionsMenu_->setImageOffset(kPortraitImageOffset);
        return;
    }
    const auto window = UIWindow::keyWindow();
    const CGFloat inset = window ? window->safeAreaInsets().left : 0;
    optionsMenu_->setImageOffset({inset + ZuvoSizeCalculator::menuOffsetBase(), -1.0});
}

void MainNavigationControllerViewController::setUpSkipButton() {
    skipButton_ = std::make_shared<UIButton>(CGRect(0, 0, 50, 44));
    skipButton_->setTitle("Skip", UIControlStateNormal);
    skipButton_->setTitleColor(UIColor::grayColor(), UIControlStateHighlighted);
    skipButton_->titleLabel()->setFont(navigationBarButtonFont());
    skipButton_->addTarget(self(), &MainNavigationControllerViewController::skipButtonPressed,
                           UIControlEventTouchUpInside);
}

std::vector<std::shared_ptr<UIButton>> MainNavigationControllerViewController::makeNavigationBarButtons() {
    std::vector<std::shared_ptr<UIButton>> buttons;
    for (const auto& screen : screens()) {
        auto button = UIButton::buttonWithType(UIButtonType::custom);
        button->setFrame(CGRect(0, 0, 180, 32));
        button->setTitleEdgeInsets(UIEdgeInsets{0, 12, 0, -12});
        button->setImageEdgeInsets(UIEdgeInsets{0, 3, 0, -3});
        button->setImage(UIImage::imageNamed(screen.icon), UIControlStateNormal);
        button->titleLabel()->setFont(navigationBarButtonFont());
        button->setTitle(screen.title, UIControlStateNormal);
        button->setTitleColor(UIColor::grayColor(), UIControlStateHighlighted);
        button->addTarget(self(), &MainNavigationControllerViewController::toggleOptionsMenu,
                          UIControlEventTouchUpInside);
        button->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::left);
        button->sizeToFit();
        buttons.push_back(std::move(button));
    }
    sessionButton_ = buttons.front();
    return buttons;
}

void MainNavigationControllerViewController::setUpOptionsMenu() {
    std::vector<std::shared_ptr<DropDownMenuItem>> items;
    const std::weak_ptr<MainNavigationControllerViewController> weak = self();
    for (std::size_t index = 0; index < screens().size(); ++index) {
        const auto& screen = screens()[index];
        // The tint fills the icon's shape only.
        auto item = std::make_shared<DropDownMenuItem>(
            screen.title, "", ColorImage::imageNamed(screen.icon, menuIconTint()), nullptr,
            [weak, index](const std::shared_ptr<DropDownMenuItem>&) {
                if (const auto container = weak.lock()) container->chooseScreen(index);
            });
        item->setTag(static_cast<long>(index));
        items.push_back(std::move(item));
    }
    homeItem_ = items.front();
    optionsMenu_ = std::make_shared<DropDownMenu>(std::move(items));

    auto background = std::make_shared<UIToolbar>(CGRect(0, 0, 1, ZuvoSizeCalculator::menuLongerSide()));
    background->setBarStyle(UIBarStyle::black);
    updateMenuImageOffset();
    optionsMenu_->setBackgroundView(background);
    background->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    optionsMenu_->setBackgroundAlpha(1.0);
    optionsMenu_->setWaitUntilAnimationIsComplete(false);
    optionsMenu_->setBadgeLabelConfigurationBlock(
        [](const std::shared_ptr<UILabel>& badge, const std::shared_ptr<DropDownMenuItem>&) {
            badge->setBackgroundColor(UIColor::colorWithRed(0, 0.7429748, 0.5963582, 1));
            badge->layer()->setBorderColor(UIColor::colorWithRed(0, 0.6970031, 0.5780899, 1)->CGColor());
        });
}

void MainNavigationControllerViewController::chooseScreen(std::size_t index) {
    if (index == 0) {
        NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::navigationBarButtonSet(),
                                                                   0);
    }
    const auto& screen = screens()[index];
    showScreen(screen.storyboard, screen.identifier, index);
}

void MainNavigationControllerViewController::viewWillAppear(bool animated) {
    // The timer screen comes in as the container first appears, once the app has launched and its
    // settings are in place.
    if (viewControllers().empty()) placeScreen(screens().front().storyboard, screens().front().identifier, 0);
    UINavigationController::viewWillAppear(animated);
}

void MainNavigationControllerViewController::showScreen(const std::string& storyboard,
                                                        const std::string& identifier,
                                                        std::size_t buttonIndex) {
    const auto top = topViewController();
    // The identifier is the screen's class name: a screen of it is already shown.
    if (!top || top->sceneIdentifier() == identifier) return;
    placeScreen(storyboard, identifier, buttonIndex);
}

void MainNavigationControllerViewController::placeScreen(const std::string& storyboard,
                                                         const std::string& identifier,
                                                         std::size_t buttonIndex) {
    const auto board = UIStoryboard::storyboardWithName(storyboard);
    const auto screen = board ? board->instantiateViewControllerWithIdentifier(identifier) : nullptr;
    if (!screen) {
        Console::print("No screen " + identifier + " in the storyboard " + storyboard);
        return;
    }
    setViewControllers({screen}, false);
    if (buttonIndex < navigationBarButtons_.size()) {
        screen->navigationItem()->setLeftBarButtonItem(
            UIBarButtonItem::itemWithCustomView(navigationBarButtons_[buttonIndex]));
    }
}

void MainNavigationControllerViewController::setHomeItemTitle(const NSNotification& notification) {
    if (const auto* names = notification.objectAs<SessionNames>(); names && homeItem_)
        homeItem_->setTitle(names->second);
}

void MainNavigationControllerViewController::timerStatusNotificationReceived(
    const NSNotification& notification) {
    const auto* running = notification.objectAs<bool>();
    if (running && skipButton_) skipButton_->setTitle(*running ? "Stop" : "Skip", UIControlStateNormal);
}

void MainNavigationControllerViewController::skipButtonPressed() {
    const auto engine = TimerViewModel::shared();
    const auto name = TimerViewModel::fullName(engine->currentSession().type);
    const bool stop = skipButton_ && skipButton_->titleForState(UIControlStateNormal) == "Stop";
    const auto& post = stop ? NotificationName::shouldResetSession() : NotificationName::sessionSkipAlert();
    const auto answered = [post](SessionReset) {
        NSNotificationCenter::defaultCenter().postNotificationName(post);
    };
    ZuvoAlertManager::showStopOrSkipAlert(stop, name, answered, SessionQuestion::aboutSessionInHand(engine));
}

void MainNavigationControllerViewController::toggleOptionsMenu() {
    if (!optionsMenu_) return;
    if (optionsMenu_->isOpen()) {
        optionsMenu_->close();
    } else {
        optionsMenu_->showFromNavigationController(*this);
    }
}

}  // namespace quorvel
