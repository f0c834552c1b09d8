#pragma once

#include <memory>
#include <string>

#include "shell/shell_settings.h"
#include "shell/window_life_cycle.h"

namespace platform {
class UIWindow;
}

namespace quorvel::shell {

// The app as the shell drives it: the emulated device it runs on, its start, the life-cycle steps
// the window's fate calls for, and what the window shows of it (title, screensaver). Main thread.
class AppHost {
public:
    explicit AppHost(DeviceSetup setup) : setup_(std::move(setup)) {}

    // Sets up the emulated device and starts the app; with nothing of its own to show yet, it gets an
    // empty window of the screen's (or its split share's) size.
    void launch();
    void perform(LifeCycleStep step);

    const DeviceSetup& setup() const { return setup_; }
    // "Quorvel", or "Quorvel (24)" while the app's icon badge is 24.
    std::string windowTitle() const;
    // Whether the desktop's screensaver must stay off.
    bool keepsScreenAwake() const;

    static std::string titleWithBadge(long badge);

private:
    DeviceSetup setup_;
    std::shared_ptr<platform::UIWindow> emptyWindow_;
};

}  // namespace quorvel::shell
