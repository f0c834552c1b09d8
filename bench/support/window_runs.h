#pragma once

#include <benchmark/benchmark.h>
#include <signal.h>

#include <optional>

#include "bench/bench_repetitions.h"
#include "tests/shell/screen_listing.h"
#include "tests/support/desktop_user.h"
#include "tests/support/shell_process.h"
#include "tests/support/xvfb_display.h"

// What the benchmarks that drive a real program's window share.
namespace quorvel::bench {

// Ends the program as the desktop ends it at logout, and waits for it.
inline void close(testing::ShellProcess& program) {
    kill(program.pid(), SIGTERM);
    program.waitForExit();
}

// Whether the virtual display runs; the benchmark skips with the reason when it does not.
inline bool prepared(benchmark::State& state, const testing::XvfbDisplay& display) {
    if (!testing::XvfbDisplay::available()) {
        state.SkipWithError("Xvfb is not installed; tools/setup.sh installs it");
    } else if (!display.started()) {
        state.SkipWithError("Xvfb did not start");
    }
    return display.started();
}

// Three repetitions of `iterations` runs each, timed by the benchmark itself.
inline void timedByHand(benchmark::internal::Benchmark* run, int iterations, benchmark::TimeUnit unit) {
    run->UseManualTime()->Iterations(iterations)->Unit(unit)->Apply(repeated)->Repetitions(3);
}

// What the program's screen shows now, as it lists it with a screenshot (F12); none when it did not.
inline std::optional<testing::ScreenListing> screenListing(testing::DesktopUser& user,
                                                           testing::DesktopUser::Window window,
                                                           testing::ShellProcess& app) {
    const auto from = app.lines().size();
    user.pressKey(window, "F12");
    if (!app.waitForLine("screenshot saved to ")) return std::nullopt;
    return testing::ScreenListing::read(app.lines(), from);
}

}  // namespace quorvel::bench
