// The quorvel program on a virtual X server: how long from its start to its first frame on the window
// (fresh, and with a store of a million sessions), how much processor time its open window takes while
// nothing happens (10 seconds), and how much while a focus session runs on the timer screen, started by a
// click on its play button (the whole process and its children: app, drawing, sound and a decoding child
// when a song ticks), once with its ticking sound and
// once with the ticking switched off; beside them the frames a minute and the wake-ups of the audio
// device's thread. A running session is measured over a minute side by side with its baseline, the plain
// countdown window, running at the same time on the same display: the machine's other work in that
// minute weighs on both, and each minute gives its own ratio. Measured, not judged; the aims are 300 ms
// to the first frame, under 1 % of a core when idle and under 2 % with a session running.
#include <benchmark/benchmark.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

#include "app/core/p_file_manager.h"
#include "app/core/user_default_properties.h"
#include "bench/bench_repetitions.h"
#include "bench/support/session_store_writer.h"
#include "platform/avfoundation/audio_output.h"
#include "platform/uikit/device/device_profile.h"
#include "bench/support/process_usage.h"
#include "tests/shell/guidance_seen.h"
#include "tests/shell/screen_listing.h"
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

// One spell (ten seconds, or a minute side by side) a repetition.
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

// What a program has used so far: its processor time with its children's (a song chosen as ticking
// decodes in a child the whole session), its children's apart, the frames it drew and its audio device's
// thread.
struct Used {
    double cpuSeconds = 0;
    double childrenCpuSeconds = 0;
    double frames = 0;
    AudioThread audio;
};

Used usedBy(const ShellProcess& program) {
    const double children = quorvel::bench::liveChildrenUsageOf(program.pid()).cpuSeconds +
                            quorvel::bench::endedChildrenCpuSeconds(program.pid());
    return {program.cpuSeconds() + children, children, double(program.count("frame ")), audioThread(program.pid())};
}

// Records what the program used between `before` and `after`, `seconds` apart, under counter names
// that start with `prefix`.
void record(benchmark::State& state, const std::string& prefix, const Used& before, const Used& after,
            double seconds) {
    state.counters[prefix + "cpu_percent_of_a_core"] = 100 * (after.cpuSeconds - before.cpuSeconds) / seconds;
    state.counters[prefix + "children_cpu_percent_of_a_core"] =
        100 * (after.childrenCpuSeconds - before.childrenCpuSeconds) / seconds;
    state.counters[prefix + "frames_a_minute"] = (after.frames - before.frames) * 60 / seconds;
    state.counters[prefix + "audio_wakeups_per_second"] = (after.audio.runs - before.audio.runs) / seconds;
    state.counters[prefix + "audio_cpu_percent_of_a_core"] =
        100 * (after.audio.cpuSeconds - before.audio.cpuSeconds) / seconds;
}

// Listens to the program for ten seconds and records the processor share it took meanwhile, the
// frames it drew, and how often and how long its audio device's thread ran.
void measureTenSeconds(benchmark::State& state, ShellProcess& app, const char* framesCounter) {
    constexpr double kSeconds = 10;
    const Used before = usedBy(app);
    app.listen(ShellProcess::Seconds(kSeconds));
    const Used after = usedBy(app);
    state.SetIterationTime(kSeconds);
    record(state, "", before, after, kSeconds);
    state.counters[framesCounter] = after.frames - before.frames;
}

// Listens to both programs for the same minute, each in turn a quarter of a second at a time so that
// neither waits to be heard, and records what each used meanwhile (the baseline's counters prefixed
// "countdown_") and the minute's ratio of their processor shares. Both outputs are read up to the same
// moments at the start and at the end, so each side's frames are those of the same minute. What it returns
// is the app's side.
Used measureMinuteSideBySide(benchmark::State& state, ShellProcess& app, ShellProcess& baseline) {
    constexpr std::chrono::seconds kMinute(60);
    app.drain();
    baseline.drain();
    const Used appBefore = usedBy(app), baselineBefore = usedBy(baseline);
    const auto started = SteadyClock::now();
    while (SteadyClock::now() - started < kMinute) {
        app.listen(ShellProcess::Seconds(0.25));
        baseline.listen(ShellProcess::Seconds(0.25));
    }
    app.drain();
    baseline.drain();
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - started).count();
    const Used appAfter = usedBy(app), baselineAfter = usedBy(baseline);
    state.SetIterationTime(seconds);
    record(state, "", appBefore, appAfter, seconds);
    record(state, "countdown_", baselineBefore, baselineAfter, seconds);
    const double baselineCpu = baselineAfter.cpuSeconds - baselineBefore.cpuSeconds;
    if (baselineCpu > 0)
        state.counters["cpu_ratio_to_countdown"] = (appAfter.cpuSeconds - appBefore.cpuSeconds) / baselineCpu;
    return {appAfter.cpuSeconds - appBefore.cpuSeconds, appAfter.childrenCpuSeconds - appBefore.childrenCpuSeconds,
            appAfter.frames - appBefore.frames, {}};
}

// The timer's clock as the screen shows it now, in seconds ("24:58" is 1,498), through the program's
// listing of a screenshot; none when no label shows a clock.
std::optional<int> clockSeconds(DesktopUser& user, DesktopUser::Window window, ShellProcess& app) {
    const auto from = app.lines().size();
    user.pressKey(window, "F12");
    if (!app.waitForLine("screenshot saved to ")) return std::nullopt;
    for (const auto& view : quorvel::testing::ScreenListing::read(app.lines(), from).views) {
        int minutes = 0, seconds = 0;
        char colon = 0;
        std::istringstream text(view.text);
        if (view.text.size() == 5 && text >> minutes >> colon >> seconds && colon == ':') return minutes * 60 + seconds;
    }
    return std::nullopt;
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

// A focus session running in quorvel's iPhone 8 window and, for the same minute on the same display, the
// running session's baseline: the plainest window that counts down a session (countdown_window, "25:00"
// redrawn once a second), as large, at the display's top left, clear of quorvel's window in its middle.
void runningSessionBesideCountdown(benchmark::State& state, bool ticking) {
    XvfbDisplay display;
    if (!prepared(state, display)) return;
    DesktopUser user(display.name());
    // As large as quorvel's iPhone 8 window on this display, a point a pixel.
    const auto phone = platform::DeviceProfile::named("iPhone8")->portraitSize;
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
        ShellProcess countdown(
            COUNTDOWN_WINDOW, display.name(), home.path(),
            {std::to_string(int(phone.width)), std::to_string(int(phone.height)), "0", "0"});
        if (!countdown.waitForLine("frame 1")) {
            state.SkipWithError("no first frame of the countdown");
            break;
        }
        app.listen(ShellProcess::Seconds(1));
        // Counted only when the session ran the whole minute: a missed click leaves an idle app that
        // draws nothing and costs nothing, which would read as a session far under its aim.
        const auto clockBefore = clockSeconds(user, *window, app);
        const Used used = measureMinuteSideBySide(state, app, countdown);
        const auto clockAfter = clockSeconds(user, *window, app);
        close(countdown);
        close(app);
        if (!clockBefore || !clockAfter || *clockBefore - *clockAfter < 55 || used.frames < 55) {
            const auto shown = [](const std::optional<int>& clock) { return clock ? std::to_string(*clock) + " s" : std::string("no clock"); };
            state.SkipWithError(("the session did not run the whole minute: " + std::to_string(int(used.frames)) +
                                 " frames, clock " + shown(clockBefore) + " then " + shown(clockAfter))
                                    .c_str());
            break;
        }
    }
}

// With its ticking sound, as the first launch sets it.
void BM_RunningSessionBesideCountdownFor60Seconds(benchmark::State& state) {
    runningSessionBesideCountdown(state, true);
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_RunningSessionBesideCountdownFor60Seconds)->Apply(oneSpell);

// The ticking switched off in the settings, so that the app plays nothing a person hears, as the
// countdown window.
void BM_RunningSessionWithTickingOffBesideCountdownFor60Seconds(benchmark::State& state) {
    runningSessionBesideCountdown(state, false);
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_RunningSessionWithTickingOffBesideCountdownFor60Seconds)
    ->Apply(oneSpell);

}  // namespace

BENCHMARK_MAIN();
