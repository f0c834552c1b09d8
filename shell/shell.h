#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/uikit/touches/touch_input.h"
#include "shell/app_host.h"
#include "shell/desktop_window.h"
#include "shell/frame_loop.h"
#include "shell/input_mapper.h"
#include "shell/key_commands.h"
#include "shell/screen_compositor.h"

namespace quorvel::shell {

// The quorvel program once its options are read and the desktop's video started: opens the desktop
// window for the emulated device, starts the app, and runs the frame loop until the window is closed.
class Shell : public FrameLoop::Client {
public:
    // Connects to the desktop, or says in one line on stderr why it cannot: false then.
    static bool startVideo();

    explicit Shell(DeviceSetup setup) : app_(std::move(setup)) {}
    // Stops the video too.
    ~Shell() override;

    // The exit status: 0 after the window was closed, 1 when no window could be opened.
    int run();

    bool handleEvent(const SDL_Event& event) override;
    void drawFrame() override;
    bool isShowing() const override { return !window_->isMinimized(); }
    // Traced once after the events and frames since the last time, so a test knows the screen holds
    // still with all it was told taken in.
    void settled() override;

private:
    bool handleWindowEvent(const SDL_WindowEvent& event);
    void perform(const KeyCommand& command);
    void close();
    // The title and the screensaver, as the app's badge, idle timer and state say.
    void showAppAttributes();
    void takeScreenshot();
    // Resizes the window when the emulated screen turned, keeping the zoom the user left it at.
    void followScreenSize();
    DeviceViewport viewport() const;

    AppHost app_;
    std::unique_ptr<DesktopWindow> window_;
    std::unique_ptr<FrameLoop> loop_;
    platform::TouchInput touches_;
    InputMapper input_{touches_};
    ScreenCompositor compositor_;
    CGSize fittedScreen_;
    std::uint64_t eventsHandled_ = 0;
    // The frames and events there had been when the trace last said the program settled.
    std::pair<unsigned, std::uint64_t> lastSettled_{0, 0};
};

}  // namespace quorvel::shell
