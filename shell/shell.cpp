#include "shell/shell.h"

#include <cstdio>
#include <string>

#include "platform/coredata/launch_gate.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_image.h"
#include "shell/app_icon.h"
#include "shell/desktop_connection.h"
#include "shell/screenshot_path.h"
#include "shell/shell_trace.h"
#include "shell/view_listing.h"

namespace quorvel::shell {

namespace {

platform::UIApplication& application() {
    return platform::UIApplication::sharedApplication();
}

}  // namespace

Shell::~Shell() {
    loop_.reset();
    window_.reset();
    // Only the video is the shell's: the sound layer opens and keeps SDL's audio on its own thread.
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool Shell::startVideo() {
    DesktopWindow::prepareVideo();
    std::string problem;
    if (DesktopConnection::start(problem)) return true;
    std::fprintf(stderr, "quorvel: %s\n", problem.c_str());
    return false;
}

int Shell::run() {
    // Work that grows with the stored data waits for the first frame; the frame loop opens the gate.
    platform::LaunchGate::hold();
    app_.launch([this] { showAppAttributes(); });
    fittedScreen_ = platform::UIScreen::mainScreen().bounds().size;
    std::string error;
    window_ = DesktopWindow::open(app_.windowTitle(),
                                  DeviceViewport::windowSizeFor(fittedScreen_, DesktopWindow::desktopSize(0)),
                                  error);
    if (!window_) {
        std::fprintf(stderr, "quorvel: cannot open a window: %s\n", error.c_str());
        return 1;
    }
    window_->setIcon(*AppIcon::image());
    showAppAttributes();
    loop_ = std::make_unique<FrameLoop>(*this);
    loop_->run();
    return 0;
}

DeviceViewport Shell::viewport() const {
    return DeviceViewport(platform::UIScreen::mainScreen().bounds().size, window_->size(),
                          window_->outputSize());
}

bool Shell::handleEvent(const SDL_Event& event) {
    ++eventsHandled_;
    switch (event.type) {
        case SDL_QUIT:
            close();
            return false;
        case SDL_WINDOWEVENT:
            return event.window.windowID == window_->id() && handleWindowEvent(event.window);
        case SDL_KEYDOWN:
            if (event.key.repeat) return false;
            if (const auto command = KeyCommand::forKey(event.key.keysym.sym, event.key.keysym.mod)) {
                perform(*command);
                return true;
            }
            return false;
        default:
            return input_.handle(event, viewport());
    }
}

bool Shell::handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            close();
            return false;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            input_.cancelAll();
            application().resignActive();
            return false;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            application().becomeActive();
            return false;
        case SDL_WINDOWEVENT_MINIMIZED:
            input_.cancelAll();
            application().enterBackground();
            return false;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            application().enterForeground();
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            return true;
        case SDL_WINDOWEVENT_EXPOSED:
            // The desktop lost the window's pixels; the last frame still holds them.
            if (compositor_.frameCount() == 0) return true;
            window_->presentAgain();
            return false;
        default:
            return false;
    }
}

void Shell::close() {
    application().terminate();
    loop_->stop();
}

void Shell::perform(const KeyCommand& command) {
    switch (command.kind) {
        case KeyCommand::Kind::screenshot:
            takeScreenshot();
            break;
        case KeyCommand::Kind::close:
            close();
            break;
        case KeyCommand::Kind::rotate:
            app_.rotate(command.orientation);
            break;
        case KeyCommand::Kind::nextSplit:
            app_.nextSplit();
            break;
    }
}

void Shell::takeScreenshot() {
    const auto path = ScreenshotPath::next();
    if (compositor_.writeScreenshot(path)) {
        // What the picture shows, before the line a test waits for.
        if (ShellTrace::enabled()) {
            for (const auto& line : ViewListing::lines()) ShellTrace::line(line);
        }
        std::printf("quorvel: screenshot saved to %s\n", path.c_str());
    } else {
        std::fprintf(stderr, "quorvel: cannot write the screenshot %s\n", path.c_str());
    }
    std::fflush(stdout);
}

void Shell::followScreenSize() {
    const CGSize screen = platform::UIScreen::mainScreen().bounds().size;
    if (screen == fittedScreen_) return;
    const CGFloat zoom = DeviceViewport(fittedScreen_, window_->size(), window_->outputSize()).zoom();
    fittedScreen_ = screen;
    window_->resize(
        DeviceViewport::windowSizeFor(screen, DesktopWindow::desktopSize(window_->display()), zoom));
}

void Shell::showAppAttributes() {
    if (!window_) return;
    window_->setTitle(app_.windowTitle());
    window_->inhibitScreensaver(app_.keepsScreenAwake());
}

void Shell::settled() {
    const std::pair now{compositor_.frameCount(), eventsHandled_};
    if (now == lastSettled_) return;
    lastSettled_ = now;
    ShellTrace::line("settled");
}

void Shell::drawFrame() {
    followScreenSize();
    const DeviceViewport view = viewport();
    const auto& changed = compositor_.draw(view);
    if (changed.isEmpty()) return;
    window_->present(compositor_.frame(), changed);
    if (ShellTrace::enabled()) {
        ShellTrace::line("frame " + std::to_string(compositor_.frameCount()) + " " +
                         std::to_string(int(view.output().width)) + "x" +
                         std::to_string(int(view.output().height)));
    }
}

}  // namespace quorvel::shell
