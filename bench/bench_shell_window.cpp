// The quorvel program on a virtual X server: how long from its start to its first frame on the
// window, and how much processor time its open window takes while nothing happens (10 seconds).
// Measured, not judged; the aims are 300 ms to the first frame and under 1 % of a core when idle.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>

#include "tests/support/shell_process.h"
#include "tests/support/xvfb_display.h"

using quorvel::testing::ShellProcess;
using quorvel::testing::XvfbDisplay;

namespace {

using SteadyClock = std::chrono::steady_clock;

// A data root of its own for each start, as a first start on a new machine.
class TemporaryHome {
public:
    TemporaryHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TemporaryHome() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

void close(ShellProcess& app) {
    kill(app.pid(), SIGTERM);
    app.waitForExit();
}

bool prepared(benchmark::State& state, const XvfbDisplay& display) {
    if (!XvfbDisplay::available()) {
        state.SkipWithError("Xvfb is not installed; tools/setup.sh installs it");
    } else if (!display.started()) {
        state.SkipWithError("Xvfb did not start");
    }
    return display.started();
}

void BM_StartToFirstFrame(benchmark::State& state) {
    XvfbDisplay display;
    if (!prepared(state, display)) return;
    for (auto _ : state) {
        TemporaryHome home;
        const auto start = SteadyClock::now();
        ShellProcess app(display.name(), home.path(), {"--device", "iPhone8"});
        if (!app.waitForLine("frame 1")) {
            state.SkipWithError("no first frame");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(SteadyClock::now() - start).count());
        close(app);
    }
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_IdleWindowFor10Seconds(benchmark::State& state) {
    XvfbDisplay display;
    if (!prepared(state, display)) return;
    constexpr double kSeconds = 10;
    for (auto _ : state) {
        TemporaryHome home;
        ShellProcess app(display.name(), home.path(), {"--device", "iPadPro11Inch"});
        if (!app.waitForLine("frame 1")) {
            state.SkipWithError("no first frame");
            break;
        }
        app.listen(ShellProcess::Seconds(1));  // the window settles on the desktop
        const double cpuBefore = app.cpuSeconds();
        const auto framesBefore = app.count("frame ");
        app.listen(ShellProcess::Seconds(kSeconds));
        const double cpu = app.cpuSeconds() - cpuBefore;
        state.SetIterationTime(kSeconds);
        state.counters["cpu_percent_of_a_core"] = 100 * cpu / kSeconds;
        state.counters["frames_while_idle"] = double(app.count("frame ") - framesBefore);
        close(app);
    }
}
BENCHMARK(BM_IdleWindowFor10Seconds)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
