#pragma once

#include <functional>
#include <memory>
#include <string>

#include "shell/shell_settings.h"

namespace platform {
class UIApplicationDelegate;
class UIWindow;
}  // namespace platform

namespace quorvel::shell {

// The app as the shell runs it: the emulated device it runs on, its launch, the device's turns and
// split shares through the interface driver, and what the desktop shows of it (the title with the
// icon badge, the screensaver while its idle timer is off). The window's fate goes straight to the
// application, which keeps the order and state of its life cycle. Main thread.
class AppHost {
public:
    explicit AppHost(DeviceSetup setup) : setup_(std::move(setup)) {}
    ~AppHost();

    // Sets up the emulated device, remembers it for the next start and launches the app. With nothing
    // of its own to show yet, the app gets an empty window of the screen's (or its split share's)
    // size. `changed` runs after each change of what the desktop shows of the app.
    void launch(std::function<void()> changed);

    // The device turned (the interface follows where the app allows it), or the next split share of a
    // tablet's screen; both remembered for the next start.
    void rotate(platform::UIDeviceOrientation orientation);
    void nextSplit();
    // The device as it is now.
    DeviceSetup setup() const;

    // "Quorvel", or "Quorvel (24)" while the app's icon badge is 24.
    std::string windowTitle() const;
    // Whether the desktop's screensaver must stay off: the app is active with its idle timer off.
    bool keepsScreenAwake() const;

private:
    // With the trace on: the life cycle's steps, each time songs' probes have answered, and the end of
    // each sync with the shared folder.
    void traceWhatTheAppHears();

    DeviceSetup setup_;
    std::shared_ptr<platform::UIApplicationDelegate> delegate_;
    std::shared_ptr<platform::UIWindow> emptyWindow_;
};

}  // namespace quorvel::shell
