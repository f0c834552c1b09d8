#include "shell/app_host.h"

#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/uikit/ui_color.h"
#include "platform/uikit/ui_screen.h"
#include "platform/uikit/ui_window.h"
#include "shell/device_choices.h"
#include "shell/shell_trace.h"

namespace quorvel::shell {

namespace {

const char* stepName(LifeCycleStep step) {
    switch (step) {
        case LifeCycleStep::resignActive:
            return "resign-active";
        case LifeCycleStep::enterBackground:
            return "enter-background";
        case LifeCycleStep::enterForeground:
            return "enter-foreground";
        case LifeCycleStep::becomeActive:
            return "become-active";
        case LifeCycleStep::terminate:
            return "terminate";
    }
    return "";
}

}  // namespace

void AppHost::launch() {
    using namespace platform;
    DeviceProfile::setCurrent(setup_.profile);
    UIDevice::currentDevice().setOrientation(setup_.orientation);
    // Lying flat, the interface keeps the upright orientation it starts in.
    UIScreen::mainScreen().setInterfaceOrientation(UIInterfaceOrientationForDevice(setup_.orientation));
    ShellTrace::line("launch " + setup_.profile.identifier + " " +
                     DeviceChoices::orientationName(setup_.orientation) + " " +
                     DeviceChoices::splitName(setup_.split));

    const CGRect screen = UIScreen::mainScreen().bounds();
    emptyWindow_ = std::make_shared<UIWindow>(CGRect(0, 0, screen.width() * setup_.split, screen.height()));
    emptyWindow_->setBackgroundColor(UIColor::whiteColor());
    emptyWindow_->makeKeyAndVisible();
}

void AppHost::perform(LifeCycleStep step) {
    ShellTrace::line(std::string("life-cycle ") + stepName(step));
    auto& runLoop = platform::NSRunLoop::main();
    switch (step) {
        case LifeCycleStep::enterBackground:
            platform::NSUserDefaults::flushAll();
            runLoop.setSuspended(true);
            break;
        case LifeCycleStep::enterForeground:
            runLoop.setSuspended(false);
            break;
        case LifeCycleStep::terminate:
            platform::NSUserDefaults::flushAll();
            break;
        default:
            break;
    }
}

std::string AppHost::titleWithBadge(long badge) {
    return badge ? "Quorvel (" + std::to_string(badge) + ")" : "Quorvel";
}

std::string AppHost::windowTitle() const {
    return titleWithBadge(0);
}

bool AppHost::keepsScreenAwake() const {
    return false;
}

}  // namespace quorvel::shell
