#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/app_host.h"
#include "shell/instance_lock.h"
#include "shell/screen_compositor.h"
#include "tests/soak/life_report.h"
#include "tests/soak/walk_step.h"
#include "tests/support/touch_driver.h"

namespace platform {
class UIView;
class VirtualClock;
}  // namespace platform

namespace quorvel::soak {

// One life of the app's process, as the shell runs it but on the virtual clock and without a desktop
// window: it takes the data folder's lock, launches the app from the files on disk, performs the
// walk's steps on it (touches go in through the touch input, keys through the shell's key commands),
// draws every frame the shell would, and after each step checks what must hold of the running app.
class AppLife {
public:
    AppLife();
    ~AppLife();
    AppLife(const AppLife&) = delete;
    AppLife& operator=(const AppLife&) = delete;

    // Launches on the clock at `start`, with the shell's command-line options; the failed invariant's
    // answer when it cannot.
    std::optional<LifeAnswer> launch(double start, const std::vector<std::string>& shellArguments);
    // A step that does not end the life.
    void perform(const WalkStep& step);
    // The window closed: the app terminates as the shell's close does.
    void quit();
    // The report after a step, or the invariant the app broke.
    LifeAnswer answer();

    // Checks that need no step: what the data folders hold now.
    static std::optional<LifeAnswer> checkFiles();

private:
    void tap(std::uint32_t value);
    void swipe(std::uint32_t value);
    void openSetting(std::uint32_t value);
    void play();
    void untilNearEnd(std::uint32_t tenths);
    void overReset(std::uint32_t tenths);
    // A tap in the middle of what shows of the view, when a finger there would land on it.
    bool tapView(const platform::UIView& view);
    void pressKey(int key);
    void settle(double seconds);
    std::optional<LifeAnswer> checkCounters();
    std::optional<LifeAnswer> checkSafeArea();
    std::optional<LifeAnswer> checkStatistics();
    LifeReport report();

    std::shared_ptr<platform::VirtualClock> clock_;
    std::unique_ptr<shell::InstanceLock> lock_;
    std::unique_ptr<shell::AppHost> host_;
    std::unique_ptr<testing::TouchDriver> touches_;
    shell::ScreenCompositor compositor_;
    // Sessions reported so far in this life, by identifier.
    std::map<std::string, StoredSession> reported_;
};

}  // namespace quorvel::soak
