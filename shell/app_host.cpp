#include "shell/app_host.h"

#include <utility>
#include <vector>

#include "app/core/app_notification_names.h"
#include "app/core/start_application.h"
#include "app/screens/navigation/app_storyboards.h"
#include "app/screens/timer/auto_reset_alert_prompt.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/mediaplayer/song_probes.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/interface_driver.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_color.h"
#include "shell/device_choices.h"
#include "shell/shell_trace.h"

namespace quorvel::shell {

namespace {

using platform::UIApplication;

// What the app hears of its life cycle, as the trace names it. Built when asked: the names are set up
// while the program starts, in an order that is not ours to know.
std::vector<std::pair<platform::NSNotificationName, const char*>> lifeCycleNotifications() {
    return {
        {platform::UIApplicationDidBecomeActiveNotification, "did-become-active"},
        {platform::UIApplicationWillResignActiveNotification, "will-resign-active"},
        {platform::UIApplicationDidEnterBackgroundNotification, "did-enter-background"},
        {platform::UIApplicationWillEnterForegroundNotification, "will-enter-foreground"},
        {platform::UIApplicationWillTerminateNotification, "will-terminate"},
    };
}

}  // namespace

AppHost::~AppHost() {
    platform::NSNotificationCenter::defaultCenter().removeObserver(this);
    UIApplication::sharedApplication().setAttributesObserver(nullptr);
}

void AppHost::launch(std::function<void()> changed) {
    using namespace platform;
    // The device as it is before the app starts: no transition to watch yet.
    DeviceProfile::setCurrent(setup_.profile);
    UIDevice::currentDevice().setOrientation(setup_.orientation);
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientationForDevice(setup_.orientation));
    UIScreen::mainScreen().setSplitShare(setup_.split);
    ShellSettings::remember(setup_);
    ShellTrace::line("launch " + setup_.profile.identifier + " " +
                     DeviceChoices::orientationName(setup_.orientation) + " " +
                     DeviceChoices::splitName(setup_.split));

    auto& application = UIApplication::sharedApplication();
    application.setAttributesObserver(std::move(changed));
    traceWhatTheAppHears();
    quorvel::AppStoryboards::registerAll();
    delegate_ = quorvel::startApplication(std::make_shared<quorvel::AutoResetAlertPrompt>());
    if (!UIWindow::keyWindow()) {
        emptyWindow_ = std::make_shared<UIWindow>();
        emptyWindow_->setBackgroundColor(UIColor::whiteColor());
        emptyWindow_->makeKeyAndVisible();
    }
}

void AppHost::traceWhatTheAppHears() {
    if (!ShellTrace::enabled()) return;
    auto& center = platform::NSNotificationCenter::defaultCenter();
    for (const auto& notification : lifeCycleNotifications()) {
        const char* step = notification.second;
        center.addObserver(this, notification.first, [step](const platform::NSNotification&) {
            ShellTrace::line(std::string("life-cycle ") + step);
        });
    }
    // What the media library knows of a song can change only after this: a test waits for it before it
    // changes a song under the program.
    center.addObserver(this, platform::SongProbes::didAnswerNotification,
                       [](const platform::NSNotification&) { ShellTrace::line("songs probed"); });
    // The end of each sync with the shared folder, whether it brought anything or failed.
    center.addObserver(this, quorvel::NotificationName::didChangeCloudContent(),
                       [](const platform::NSNotification&) { ShellTrace::line("sync ended"); });
}

void AppHost::rotate(platform::UIDeviceOrientation orientation) {
    platform::InterfaceDriver::rotateDevice(orientation);
    ShellTrace::line("device " + DeviceChoices::orientationName(orientation));
    ShellSettings::remember(setup());
}

void AppHost::nextSplit() {
    if (!DeviceChoices::canSplit(setup_.profile)) return;
    const double share = DeviceChoices::nextSplit(platform::UIScreen::mainScreen().splitShare());
    platform::InterfaceDriver::setSplitShare(share);
    ShellTrace::line("split " + DeviceChoices::splitName(share));
    ShellSettings::remember(setup());
}

DeviceSetup AppHost::setup() const {
    DeviceSetup now = setup_;
    now.orientation = platform::UIDevice::currentDevice().orientation();
    now.split = platform::UIScreen::mainScreen().splitShare();
    return now;
}

std::string AppHost::windowTitle() const {
    const auto badge = UIApplication::sharedApplication().applicationIconBadgeNumber();
    return badge ? "Quorvel (" + std::to_string(badge) + ")" : "Quorvel";
}

bool AppHost::keepsScreenAwake() const {
    const auto& application = UIApplication::sharedApplication();
    return application.isIdleTimerDisabled() &&
           application.applicationState() == platform::UIApplicationState::active;
}

}  // namespace quorvel::shell
