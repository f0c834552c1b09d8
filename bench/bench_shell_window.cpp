// The quorvel program on a virtual X server: how long from its start to its first frame on the window
// (fresh, and with a store of a million sessions), how much processor time its open window takes while
// nothing happens (10 seconds), and how much while a focus session runs on the timer screen, started by a
// click on its play button (the whole process and its children: app, drawing, sound and a decoding child
// when a song ticks), once with its ticking sound and
// once with the ticking switched off; beside them the frames a minute and the wake-ups of the audio
// device's thread. A running session is measured over a minute side by side with its baselines, the plain
// countdown window (and, with the ticking on, the same window playing the same ticking loop through the
// same mixer at the app's device settings), running at the same time on the same display: the machine's
// other work in that minute weighs on all, and each minute gives its own ratios. Measured, not judged;
// the aims are 300 ms to the first frame, under 1 % of a core when idle and, with the ticking on, 1.5
// times the ticking countdown.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/p_file_manager.h"
#include "app/core/user_default_properties.h"
#include "bench/bench_repetitions.h"
#include "bench/support/session_store_writer.h"
#include "platform/avfoundation/audio_output.h"
#include "platform/uikit/device/device_profile.h"
#include "bench/support/process_usage.h"
#include "bench/support/window_runs.h"
#include "tests/shell/guidance_seen.h"
#include "tests/support/desktop_user.h"
#include "tests/support/shell_process.h"
#include "tests/support/temp_data_root.h"
#include "tests/support/xvfb_display.h"

using quorvel::bench::close;
using quorvel::bench::prepared;
using quorvel::bench::timedByHand;
using quorvel::testing::DesktopUser;
using quorvel::testing::markGuidanceSeen;
using quorvel::testing::ShellProcess;
using quorvel::testing::TempDataRoot;
using quorvel::testing::XvfbDisplay;

namespace {

using SteadyClock = std::chrono::steady_clock;

// Every benchmark here skips, with its reason, when a start fails or times out (a loaded machine), and
// then skips its later runs too (bench_repetitions.h says why).

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

// A baseline beside the app, and the prefix of its counters.
struct Beside {
    std::string prefix;
    ShellProcess* program;
};

// Listens to the app and its baselines for the same minute, each in turn a quarter of a second at a time
// so that none waits to be heard, and records what each used meanwhile (a baseline's counters under its
// prefix) and the minute's ratio of the app's processor share to each baseline's ("cpu_ratio_to_" and the
// prefix's name). All outputs are read up to the same moments at the start and at the end, so each side's
// frames are those of the same minute. What it returns is the app's side.
Used measureMinuteSideBySide(benchmark::State& state, ShellProcess& app, const std::vector<Beside>& baselines) {
    constexpr std::chrono::seconds kMinute(60);
    const auto drainAll = [&] {
        app.drain();
        for (const auto& baseline : baselines) baseline.program->drain();
    };
    drainAll();
    const Used appBefore = usedBy(app);
    std::vector<Used> before;
    for (const auto& baseline : baselines) before.push_back(usedBy(*baseline.program));
    const auto started = SteadyClock::now();
    while (SteadyClock::now() - started < kMinute) {
        app.listen(ShellProcess::Seconds(0.25));
        for (const auto& baseline : baselines) baseline.program->listen(ShellProcess::Seconds(0.25));
    }
    drainAll();
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - started).count();
    const Used appAfter = usedBy(app);
    state.SetIterationTime(seconds);
    record(state, "", appBefore, appAfter, seconds);
    for (std::size_t i = 0; i < baselines.size(); ++i) {
        const Used after = usedBy(*baselines[i].program);
        record(state, baselines[i].prefix, before[i], after, seconds);
        const double baselineCpu = after.cpuSeconds - before[i].cpuSeconds;
        const std::string name = baselines[i].prefix.substr(0, baselines[i].prefix.size() - 1);
        if (baselineCpu > 0)
            state.counters["cpu_ratio_to_" + name] = (appAfter.cpuSeconds - appBefore.cpuSeconds) / baselineCpu;
    }
    return {appAfter.cpuSeconds - appBefore.cpuSeconds, appAfter.childrenCpuSeconds - appBefore.childrenCpuSeconds,
            appAfter.frames - appBefore.frames, {}};
}

// The timer's clock as the screen shows it now, in seconds ("24:58" is 1,498), through the program's
// listing of a screenshot; none when no label shows a clock.
std::optional<int> clockSeconds(DesktopUser& user, DesktopUser::Window window, ShellProcess& app) {
    const auto listing = quorvel::bench::screenListing(user, window, app);
    if (!listing) return std::nullopt;
    for (const auto& view : listing->views) {
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
// running session's baselines: the plainest window that counts down a session (countdown_window, "25:00"
// redrawn once a second), as large, at the display's top left, clear of quorvel's window in its middle;
// with the ticking on, also the same window playing the app's ticking loop through the same mixer at
// the app's device settings, at the top right.
void runningSessionBesideCountdown(benchmark::State& state, bool ticking) {
    constexpr int kDisplayWidth = 1280;
    XvfbDisplay display(kDisplayWidth);
    if (!prepared(state, display)) return;
    DesktopUser user(display.name());
    // As large as quorvel's iPhone 8 window on this display, a point a pixel.
    const auto phone = platform::DeviceProfile::named("iPhone8")->portraitSize;
    const std::string width = std::to_string(int(phone.width)), height = std::to_string(int(phone.height));
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
        ShellProcess countdown(COUNTDOWN_WINDOW, display.name(), home.path(), {width, height, "0", "0"});
        std::optional<ShellProcess> tickingCountdown;
        if (ticking) {
            tickingCountdown.emplace(COUNTDOWN_WINDOW, display.name(), home.path(),
                                     std::vector<std::string>{width, height, std::to_string(kDisplayWidth - int(phone.width)),
                                                              "0", TICKING_LOOP});
        }
        if (!countdown.waitForLine("frame 1") || (tickingCountdown && !tickingCountdown->waitForLine("frame 1"))) {
            state.SkipWithError("no first frame of a countdown");
            break;
        }
        app.listen(ShellProcess::Seconds(1));
        std::vector<Beside> baselines{{"countdown_", &countdown}};
        if (tickingCountdown) baselines.push_back({"ticking_countdown_", &*tickingCountdown});
        // Counted only when the session ran the whole minute: a missed click leaves an idle app that
        // draws nothing and costs nothing, which would read as a session far under its aim.
        const auto clockBefore = clockSeconds(user, *window, app);
        const Used used = measureMinuteSideBySide(state, app, baselines);
        const auto clockAfter = clockSeconds(user, *window, app);
        for (const auto& baseline : baselines) close(*baseline.program);
        close(app);
        if (!clockBefore || !clockAfter || *clockBefore - *clockAfter < 55 || used.frames < 55) {
            const auto shown = [](const std::optional<int>& clock) { return clock ? std::to_string(*clock) + " s" : std::string("no clock"); };
            state.SkipWithError(("the session did not run the whole minute: " + std::to_string(int(used.frames)) +
                                 " frames, clock " + shown(clockBefore) + " then " + shown(clockAfter))
                                    .c_str());
            break;
        }
        // A baseline that played nothing would flatter the app.
        if (ticking && state.counters["ticking_countdown_audio_wakeups_per_second"] < 1) {
            state.SkipWithError("the ticking countdown's audio device did not play");
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
