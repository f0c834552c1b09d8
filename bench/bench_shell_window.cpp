// The quorvel program on a virtual X server: how long from its start to its first frame on the window
// (fresh, and with a store of a million sessions), how much processor time its open window takes while
// nothing happens (10 seconds), and how much while a focus session runs on the timer screen, started by a
// click on its play button (10 seconds: the whole process, app, drawing and sound), once with its ticking
// sound and once with the ticking switched off; beside them the frames a minute and the wake-ups of the
// audio device's thread. Measured, not judged; the aims are 300 ms to the first frame, under 1 % of a core
// when idle and under 2 % with a session running.
#include <benchmark/benchmark.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "app/core/p_file_manager.h"
#include "app/core/user_default_properties.h"
#include "bench/bench_repetitions.h"
#include "bench/support/session_store_writer.h"
#include "platform/avfoundation/audio_output.h"
#include "platform/uikit/device/device_profile.h"
#include "tests/shell/guidance_seen.h"
#include "tests/support/desktop_user.h"
#include "tests/support/shell_process.h"
#include "tests/support/temp_data_root.h"
#include "tests/support/xvfb_display.h"

using quorvel::testing::DesktopUser;
using quorvel::testing::markGuidanceSeen;
using quorvel::testing::ShellProcess;
using quorvel::testing::TempDataRoot;
using quorvel::testing::XvfbDisplay;

namespace {

using SteadyClock = std::chrono::steady_clock;

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

// Every benchmark here skips, with its reason, when a start fails or times out (a loaded machine), and
// then skips its later runs too (bench_repetitions.h says why).

// Three repetitions of `iterations` runs each, timed by the benchmark itself.
void timedByHand(benchmark::internal::Benchmark* run, int iterations, benchmark::TimeUnit unit) {
    run->UseManualTime()->Iterations(iterations)->Unit(unit)->Apply(quorvel::bench::repeated)->Repetitions(3);
}

// Ten starts a repetition.
void tenStarts(benchmark::internal::Benchmark* run) {
    timedByHand(run, 10, benchmark::kMillisecond);
}

// One spell (ten seconds) a repetition.
void oneSpell(benchmark::internal::Benchmark* run) {
    timedByHand(run, 1, benchmark::kSecond);
}

// Starts the program on a fresh data root, which `stock` may fill first, and records the time from its
// start to its first frame; false, with the reason, when there was none.
bool timeFirstFrame(benchmark::State& state, const XvfbDisplay& display,
                    const std::function<bool()>& stock = nullptr) {
    TempDataRoot home;
    if (stock && !stock()) {
        state.SkipWithError("cannot fill the data root");
        return false;
    }
    const auto start = SteadyClock::now();
    ShellProcess app(display.name(), home.path(), {"--device", "iPhone8"});
    if (!app.waitForLine("frame 1")) {
        state.SkipWithError("no first frame");
        return false;
    }
    state.SetIterationTime(std::chrono::duration<double>(SteadyClock::now() - start).count());
    close(app);
    return true;
}

void BM_StartToFirstFrame(benchmark::State& state) {
    XvfbDisplay display;
    if (!prepared(state, display)) return;
    for (auto _ : state) {
        if (!timeFirstFrame(state, display)) break;
    }
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_StartToFirstFrame)->Apply(tenStarts);

// The same start over a store of a million sessions (about 19 years of them), a copy of one written
// before the first run, so that every run opens a file no earlier run has touched.
void BM_StartToFirstFrameWithAMillionSessions(benchmark::State& state) {
    XvfbDisplay display;
    if (!prepared(state, display)) return;
    TempDataRoot original;
    const auto written = quorvel::bench::writeSessionStore(1000000);
    if (!written) return state.SkipWithError("cannot write the store");
    auto copyStore = [&] {
        std::error_code ec;
        const auto copy = *quorvel::PFileManager::shared()->storeDirectoryURL() / "store.sqlite";
        std::filesystem::create_directories(copy.parent_path(), ec);
        return std::filesystem::copy_file(*written, copy, ec);
    };
    for (auto _ : state) {
        if (!timeFirstFrame(state, display, copyStore)) break;
    }
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_StartToFirstFrameWithAMillionSessions)->Apply(tenStarts);

// The thread of SDL's audio device in the process: how often it has run, and its processor seconds.
struct AudioThread {
    double runs = 0;
    double cpuSeconds = 0;
};

AudioThread audioThread(pid_t pid) {
    AudioThread thread;
    std::error_code ec;
    for (const auto& task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        if (!std::getline(comm, name) || !name.starts_with("SDLAudio")) continue;
        // Nanoseconds on a processor, nanoseconds waiting for one, times it ran.
        std::ifstream schedstat(task.path() / "schedstat");
        double onCpu = 0, waiting = 0, runs = 0;
        if (schedstat >> onCpu >> waiting >> runs) {
            thread.runs += runs;
            thread.cpuSeconds += onCpu * 1e-9;
        }
    }
    return thread;
}

// Listens to the program for ten seconds and records the processor share it took meanwhile, the
// frames it drew, and how often and how long its audio device's thread ran.
void measureTenSeconds(benchmark::State& state, ShellProcess& app, const char* framesCounter) {
    constexpr double kSeconds = 10;
    const double cpuBefore = app.cpuSeconds();
    const auto framesBefore = app.count("frame ");
    const AudioThread audioBefore = audioThread(app.pid());
    app.listen(ShellProcess::Seconds(kSeconds));
    const double cpu = app.cpuSeconds() - cpuBefore;
    const AudioThread audio = audioThread(app.pid());
    state.SetIterationTime(kSeconds);
    state.counters["cpu_percent_of_a_core"] = 100 * cpu / kSeconds;
    const auto frames = double(app.count("frame ") - framesBefore);
    state.counters[framesCounter] = frames;
    state.counters["frames_a_minute"] = frames * 60 / kSeconds;
    state.counters["audio_wakeups_per_second"] = (audio.runs - audioBefore.runs) / kSeconds;
    state.counters["audio_cpu_percent_of_a_core"] =
        100 * (audio.cpuSeconds - audioBefore.cpuSeconds) / kSeconds;
}

void BM_IdleWindowFor10Seconds(benchmark::State& state) {
    XvfbDisplay display;
    if (!prepared(state, display)) return;
    for (auto _ : state) {
        TempDataRoot home;
        ShellProcess app(display.name(), home.path(), {"--device", "iPadPro11Inch"});
        if (!app.waitForLine("frame 1")) {
            state.SkipWithError("no first frame");
            break;
        }
        app.listen(ShellProcess::Seconds(1));  // the window settles on the desktop
        measureTenSeconds(state, app, "frames_while_idle");
        close(app);
    }
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_IdleWindowFor10Seconds)->Apply(oneSpell);

// A first start writes the first launch's settings and ends; the ticking is then switched off in them.
bool switchTickingOff(const XvfbDisplay& display, const TempDataRoot& home) {
    {
        ShellProcess first(display.name(), home.path(), {"--device", "iPhone8"});
        if (!first.waitForLine("frame 1")) return false;
        close(first);
    }
    using quorvel::UserDefaultProperties;
    UserDefaultProperties::save(UserDefaultProperties::tickingEnabled(false));
    platform::NSUserDefaults::flushAll();
    platform::NSUserDefaults::resetAllForTesting();
    return true;
}

void runningSession(benchmark::State& state, bool ticking) {
    XvfbDisplay display;
    if (!prepared(state, display)) return;
    DesktopUser user(display.name());
    for (auto _ : state) {
        TempDataRoot home;
        markGuidanceSeen();
        if (!ticking && !switchTickingOff(display, home)) {
            state.SkipWithError("no first start");
            break;
        }
        ShellProcess app(display.name(), home.path(), {"--device", "iPhone8"});
        const auto window = user.waitForWindow(app.pid(), ShellProcess::Seconds(10));
        if (!app.waitForLine("frame 1") || !window) {
            state.SkipWithError("no first frame");
            break;
        }
        app.listen(ShellProcess::Seconds(1));
        // The play button sits in the middle of the ring, 61 % of the way down a portrait phone.
        const auto size = user.size(*window);
        user.click(*window, size.width / 2, int(size.height * 0.607));
        // The session starts, the ring refills; with nothing to hear, the audio device closes.
        app.listen(ShellProcess::Seconds(1 + platform::AudioOutput::kRestSeconds));
        measureTenSeconds(state, app, "frames_in_10_seconds");
        close(app);
    }
}

// With its ticking sound, as the first launch sets it.
void BM_RunningSessionFor10Seconds(benchmark::State& state) {
    runningSession(state, true);
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_RunningSessionFor10Seconds)->Apply(oneSpell);

// The ticking switched off in the settings, so that the app plays nothing a person hears, as the
// countdown window below.
void BM_RunningSessionWithTickingOffFor10Seconds(benchmark::State& state) {
    runningSession(state, false);
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_RunningSessionWithTickingOffFor10Seconds)->Apply(oneSpell);

// The running session's baseline: the plainest window that counts down a session (countdown_window,
// "25:00" redrawn once a second), on the same display, as large and for as long.
void BM_CountdownWindowFor10Seconds(benchmark::State& state) {
    XvfbDisplay display;
    if (!prepared(state, display)) return;
    // As large as quorvel's iPhone 8 window on this display, a point a pixel.
    const auto phone = platform::DeviceProfile::named("iPhone8")->portraitSize;
    for (auto _ : state) {
        TempDataRoot home;
        ShellProcess countdown(COUNTDOWN_WINDOW, display.name(), home.path(),
                               {std::to_string(int(phone.width)), std::to_string(int(phone.height))});
        if (!countdown.waitForLine("frame 1")) {
            state.SkipWithError("no first frame");
            break;
        }
        countdown.listen(ShellProcess::Seconds(2));
        measureTenSeconds(state, countdown, "frames_in_10_seconds");
        close(countdown);
    }
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_CountdownWindowFor10Seconds)->Apply(oneSpell);

}  // namespace

BENCHMARK_MAIN();
