// The quorvel program on a virtual X server over large session stores, as a person meets them: the start
// to the first frame on a synced store of a million sessions, each beside a fresh data root's start; the
// processor share of the app left alone at a million sessions over five minutes that include its
// merges; and the first visit to the statistics screen, from the lift of the finger on its menu item to
// the next frame, in a fresh process at 10,000, 100,000 and 1,000,000 sessions, with the day totals an
// earlier visit kept and without them, and during the first merge of a million sessions. Each synced
// store is built once a run, by the program itself: its first merge into a shared folder of its own.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/core/session_store_summary.h"
#include "bench/support/process_usage.h"
#include "bench/support/session_store_writer.h"
#include "bench/support/window_runs.h"
#include "platform/foundation/data_root.h"
#include "tests/shell/guidance_seen.h"
#include "tests/support/desktop_user.h"
#include "tests/support/shell_process.h"
#include "tests/support/temp_data_root.h"
#include "tests/support/xvfb_display.h"

using quorvel::bench::close;
using quorvel::bench::prepared;
using quorvel::bench::timedByHand;
using quorvel::testing::DesktopUser;
using quorvel::testing::ShellProcess;
using quorvel::testing::TempDataRoot;
using quorvel::testing::XvfbDisplay;

namespace {

using SteadyClock = std::chrono::steady_clock;
using Seconds = ShellProcess::Seconds;

constexpr int kMillion = 1000000;

double secondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// The program's processor seconds so far, its children's included.
double cpuSecondsOf(const ShellProcess& app) {
    return app.cpuSeconds() + quorvel::bench::liveChildrenUsageOf(app.pid()).cpuSeconds +
           quorvel::bench::endedChildrenCpuSeconds(app.pid());
}

// Waits until the program takes under 5 % of a core over a second, for up to `timeout`: the moment that
// quiet second began (what its launch started, a merge among it, was over by then); none when it never
// rested.
std::optional<SteadyClock::time_point> quietSince(ShellProcess& app, Seconds timeout) {
    const auto deadline = SteadyClock::now() + std::chrono::duration_cast<SteadyClock::duration>(timeout);
    auto since = SteadyClock::now();
    double before = cpuSecondsOf(app);
    while (SteadyClock::now() < deadline) {
        app.listen(Seconds(1));
        const double now = cpuSecondsOf(app);
        if (now - before < 0.05) return since;
        before = now;
        since = SteadyClock::now();
    }
    return std::nullopt;
}

bool waitUntilQuiet(ShellProcess& app, Seconds timeout) {
    return quietSince(app, timeout).has_value();
}

// The shared folder the program syncs through: beside its data root.
std::filesystem::path sharedFolderOf(const std::filesystem::path& root) {
    return root.string() + "-cloud";
}

// Whether a merge has written changes into the shared folder yet: a file beside the devices' records,
// which a leech writes before any merge.
bool holdsChanges(const std::filesystem::path& folder) {
    std::error_code ec;
    for (auto file = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && file != std::filesystem::recursive_directory_iterator(); file.increment(ec)) {
        if (file->path().filename() == "devices") {
            file.disable_recursion_pending();
        } else if (file->is_regular_file(ec) && file->file_size(ec) > 0) {
            return true;
        }
    }
    return false;
}

// The program on a phone held upright, its first frame shown; none when it did not show.
struct Started {
    std::unique_ptr<ShellProcess> app;
    DesktopUser::Window window = 0;
};
std::optional<Started> start(DesktopUser& user, const XvfbDisplay& display, const std::filesystem::path& home) {
    Started started{std::make_unique<ShellProcess>(display.name(), home,
                                                   std::vector<std::string>{"--device", "iPhone8", "--orientation", "portrait"}),
                    0};
    const auto window = user.waitForWindow(started.app->pid(), Seconds(20));
    if (!window || !started.app->waitForLine("frame 1", Seconds(60))) return std::nullopt;
    started.window = *window;
    return started;
}

// A store of sessions as the program leaves it: `leeched` by its first launch (which takes part in the
// sync but merges nothing yet), its statistics screen seen once; `synced` a copy of it after one more
// launch, whose merge was the first. Both data roots, with their shared folders beside them, last the
// whole run.
struct LargeStore {
    std::unique_ptr<TempDataRoot> leeched, synced;
    // How long the first merge took, from the first frame of the launch that started it.
    double firstMergeSeconds = 0;
};

// A visit to the statistics screen: the seconds from the lift of the finger to the next frame, and when
// that frame came.
struct Visit {
    double seconds = 0;
    SteadyClock::time_point shown;
};

// Chooses the statistics screen through the menu under the bar; none when the screen does not show its
// averages a second later.
std::optional<Visit> visitStatistics(DesktopUser& user, ShellProcess& app, DesktopUser::Window window) {
    user.click(window, 50, 42);
    if (!app.waitForLine("touch ended")) return std::nullopt;
    app.listen(Seconds(0.5));  // the menu opens
    user.press(window, 187, 154);
    if (!app.waitForLine("touch began")) return std::nullopt;
    const auto lifted = SteadyClock::now();
    user.release();
    if (!app.waitForLine("touch ended", Seconds(60)) || !app.waitForLine("frame ", Seconds(60))) return std::nullopt;
    const Visit visit{secondsSince(lifted), SteadyClock::now()};
    app.listen(Seconds(1));
    const auto listing = quorvel::bench::screenListing(user, window, app);
    if (!listing) return std::nullopt;
    for (const auto& view : listing->views) {
        if (view.text.starts_with("Average ")) return visit;
    }
    return std::nullopt;
}

// Copies the data root `from` and its shared folder into the fresh root `to` and beside it: the same
// installation, at the same point of its sync. False when they could not be copied.
bool copyInstallation(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    const auto options = std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing;
    std::filesystem::copy(from, to, options, ec);
    if (!ec && std::filesystem::exists(sharedFolderOf(from)))
        std::filesystem::copy(sharedFolderOf(from), sharedFolderOf(to), options, ec);
    return !ec;
}

// The store of `sessions` sessions, built on the first call; null when it cannot be built.
const LargeStore* largeStore(int sessions, DesktopUser& user, const XvfbDisplay& display) {
    static std::map<int, LargeStore> built;
    if (const auto found = built.find(sessions); found != built.end()) return &found->second;
    LargeStore store{std::make_unique<TempDataRoot>(), nullptr, 0};
    quorvel::testing::markGuidanceSeen();
    if (!quorvel::bench::writeSessionStore(sessions)) return nullptr;
    {
        auto first = start(user, display, store.leeched->path());
        if (!first || !waitUntilQuiet(*first->app, Seconds(60)) || !visitStatistics(user, *first->app, first->window))
            return nullptr;
        close(*first->app);
    }
    store.synced = std::make_unique<TempDataRoot>();
    if (!copyInstallation(store.leeched->path(), store.synced->path())) return nullptr;
    auto second = start(user, display, store.synced->path());
    if (!second) return nullptr;
    // The first merge writes the whole store into the shared folder, then the program rests.
    const auto merging = SteadyClock::now();
    const auto deadline = merging + std::chrono::minutes(10);
    std::optional<SteadyClock::time_point> merged;
    while (!holdsChanges(sharedFolderOf(store.synced->path())) || !(merged = quietSince(*second->app, Seconds(5)))) {
        if (SteadyClock::now() > deadline) return nullptr;
        second->app->listen(Seconds(1));
    }
    store.firstMergeSeconds = std::chrono::duration<double>(*merged - merging).count();
    close(*second->app);
    return &built.emplace(sessions, std::move(store)).first->second;
}

// A virtual display, a user at it, and the store of a benchmark's sessions; `store` stays null, the
// benchmark skipped with the reason, when either is missing.
struct Desk {
    XvfbDisplay display;
    DesktopUser user{display.name()};
    const LargeStore* store = nullptr;

    Desk(benchmark::State& state, int sessions) {
        if (!prepared(state, display)) return;
        store = largeStore(sessions, user, display);
        if (!store) state.SkipWithError("cannot build the synced store");
    }
};

// The summary of the store's day totals that a visit to the statistics screen keeps for the next.
std::filesystem::path keptDayTotals(const std::filesystem::path& root) {
    platform::DataRoot::setPath(root);
    return quorvel::SessionStoreSummary::path();
}

// The seconds from the program's start on `home` to its first frame; none when there was none.
std::optional<double> secondsToFirstFrame(const XvfbDisplay& display, const std::filesystem::path& home) {
    const auto started = SteadyClock::now();
    ShellProcess app(display.name(), home, {"--device", "iPhone8"});
    if (!app.waitForLine("frame 1", Seconds(60))) return std::nullopt;
    const double seconds = secondsSince(started);
    close(app);
    return seconds;
}

// In each run a fresh data root starts, then the synced store of a million sessions: the run's time is
// the synced start's, the fresh starts' mean and the ratio of the two sums are counters of the same runs.
void BM_StartToFirstFrameOnASyncedMillion(benchmark::State& state) {
    Desk desk(state, kMillion);
    if (!desk.store) return;
    auto& [display, user, store] = desk;
    const auto& synced = store->synced;
    double freshSeconds = 0, syncedSeconds = 0;
    for (auto _ : state) {
        std::optional<double> fresh;
        {
            TempDataRoot home;
            quorvel::testing::markGuidanceSeen();
            fresh = secondsToFirstFrame(display, home.path());
        }
        const auto onSynced = secondsToFirstFrame(display, synced->path());
        if (!fresh || !onSynced) {
            state.SkipWithError("no first frame");
            break;
        }
        state.SetIterationTime(*onSynced);
        freshSeconds += *fresh;
        syncedSeconds += *onSynced;
    }
    if (freshSeconds <= 0) return;
    state.counters["fresh_start_ms"] = benchmark::Counter(1000 * freshSeconds, benchmark::Counter::kAvgIterations);
    state.counters["ratio_to_fresh"] = syncedSeconds / freshSeconds;
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_StartToFirstFrameOnASyncedMillion)->Apply([](auto* run) {
    timedByHand(run, 5, benchmark::kMillisecond);
});

// The app on the synced million, left alone once its launch has settled: its processor share over five
// minutes, which hold two of its merges (one every two minutes). Once a run: it lasts five minutes.
void BM_IdleAtAMillionSessionsFor5Minutes(benchmark::State& state) {
    constexpr double kSeconds = 300;
    Desk desk(state, kMillion);
    if (!desk.store) return;
    auto& [display, user, store] = desk;
    const auto& synced = store->synced;
    for (auto _ : state) {
        auto started = start(user, display, synced->path());
        if (!started || !waitUntilQuiet(*started->app, Seconds(180))) {
            state.SkipWithError("the launch did not settle");
            break;
        }
        ShellProcess& app = *started->app;
        const auto mergesBefore = app.count("data do merging");
        const double before = cpuSecondsOf(app);
        app.listen(Seconds(kSeconds));
        const double used = cpuSecondsOf(app) - before;
        const auto merges = app.count("data do merging") - mergesBefore;
        close(app);
        state.SetIterationTime(kSeconds);
        state.counters["cpu_percent_of_a_core"] = 100 * used / kSeconds;
        state.counters["merges"] = double(merges);
        if (merges < 2) {
            state.SkipWithError(("only " + std::to_string(merges) + " merges in the five minutes").c_str());
            break;
        }
    }
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_IdleAtAMillionSessionsFor5Minutes)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kSecond);

// A fresh process on the synced store of range(0) sessions, its launch settled, visits the statistics
// screen; with range(1), the day totals an earlier visit kept are there, without, they are not (the
// first visit ever, or the first after a stored session changed).
void BM_FirstVisitToStatisticsInTheWindow(benchmark::State& state) {
    Desk desk(state, int(state.range(0)));
    if (!desk.store) return;
    auto& [display, user, store] = desk;
    const auto& synced = store->synced;
    const bool kept = state.range(1) != 0;
    for (auto _ : state) {
        if (!kept) std::filesystem::remove(keptDayTotals(synced->path()));
        auto started = start(user, display, synced->path());
        if (!started || !waitUntilQuiet(*started->app, Seconds(180))) {
            state.SkipWithError("the launch did not settle");
            break;
        }
        const auto visit = visitStatistics(user, *started->app, started->window);
        close(*started->app);
        if (!visit) {
            state.SkipWithError("the statistics screen did not show");
            break;
        }
        state.SetIterationTime(visit->seconds);
    }
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_FirstVisitToStatisticsInTheWindow)
    ->ArgsProduct({{10000, 100000, kMillion}, {1, 0}})
    ->Apply([](auto* run) { timedByHand(run, 2, benchmark::kMillisecond); });

// A fresh process on a copy of the leeched million, whose launch starts its first merge, visits the
// statistics screen (its day totals kept) while that merge runs: a quarter, half or three quarters of
// the way through as long as the store's own first merge took (a counter of the runs). A visit counts
// only when the merge was still running as the screen showed.
void BM_FirstVisitToStatisticsDuringTheFirstMerge(benchmark::State& state) {
    Desk desk(state, kMillion);
    if (!desk.store) return;
    auto& [display, user, store] = desk;
    static int visits = 0;
    for (auto _ : state) {
        TempDataRoot home;
        if (!copyInstallation(store->leeched->path(), home.path())) {
            state.SkipWithError("cannot copy the store");
            break;
        }
        auto started = start(user, display, home.path());
        if (!started) {
            state.SkipWithError("no first frame");
            break;
        }
        started->app->listen(Seconds(store->firstMergeSeconds * (visits++ % 3 + 1) / 4));
        const auto visit = visitStatistics(user, *started->app, started->window);
        const auto merged = quietSince(*started->app, Seconds(600));
        close(*started->app);
        if (!visit || !merged || *merged < visit->shown) {
            state.SkipWithError(visit ? "the first merge was over before the screen showed" : "the statistics screen did not show");
            break;
        }
        state.SetIterationTime(visit->seconds);
        state.counters["first_merge_seconds"] = store->firstMergeSeconds;
    }
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_FirstVisitToStatisticsDuringTheFirstMerge)->Apply([](auto* run) {
    timedByHand(run, 1, benchmark::kMillisecond);
});

}  // namespace

BENCHMARK_MAIN();
