#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "app/core/core_data_manager.h"
#include "app/core/p_file_manager.h"
#include "app/core/session_store_summary.h"
#include "app/screens/statistics/charts_storyboard.h"
#include "app/screens/statistics/charts_view_controller.h"
#include "app/screens/statistics/session_day_totals.h"
#include "bench/bench_engine.h"
#include "bench/bench_folder.h"
#include "bench/bench_repetitions.h"
#include "bench/support/session_store_writer.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/host_time_zone.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/uikit/nibs/ui_storyboard.h"

namespace {

constexpr int kSessions = 100000;
constexpr double kSpacing = 600.0;  // one session every ten minutes up to now: about 694 days

// A fresh data root in Berlin time, in a process whose analytics library runs as the app's does (it
// keeps a root of its own): the screen logs an event as it lays out, which a library never started
// refuses with a warning each time. False when no folder can be made.
bool freshBerlinRoot() {
    quorvel::bench::startedEngine();
    const std::string folder = quorvel::bench::freshFolder();
    if (folder.empty()) return false;
    platform::DataRoot::setPath(folder);
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
    return true;
}

// A fresh data root with a store of `count` sessions ending now, written in one save.
bool makeStore(int count) {
    if (!freshBerlinRoot()) return false;
    auto manager = quorvel::CoreDataManager::shared();
    manager->setUpStore();
    auto context = quorvel::CoreDataManager::context();
    if (!context) return false;
    manager->setNumberHolder(quorvel::NumberHolder::fetchOrInsert(*context));
    const platform::NSDate now = platform::NSDate::now();
    for (int i = 0; i < count; ++i) {
        auto session =
            std::dynamic_pointer_cast<quorvel::Session>(context->insertNewObjectForEntityForName("Session"));
        session->setTimestamp(now.dateByAddingTimeInterval(-(count - i) * kSpacing));
        session->setDuration(25);
        session->setType(0);
    }
    return manager->save();
}

void removeStore() {
    std::filesystem::remove_all(platform::DataRoot::path());
}

// A fresh data root with a store of `count` sessions written with plain SQL, opened as the app opens it;
// false, with the benchmark skipped, when it cannot be made.
bool openWrittenStore(benchmark::State& state, int count) {
    if (!freshBerlinRoot()) {
        state.SkipWithError("no folder");
        return false;
    }
    if (!quorvel::bench::writeSessionStore(count)) {
        removeStore();
        state.SkipWithError("no store");
        return false;
    }
    auto manager = quorvel::CoreDataManager::shared();
    manager->setUpStore();
    manager->setNumberHolder(quorvel::NumberHolder::fetchOrInsert(*quorvel::CoreDataManager::context()));
    return true;
}

// The statistics screen as the storyboard makes it, its view loaded (which refreshes it once).
std::shared_ptr<quorvel::ChartsViewController> loadScreen() {
    quorvel::ChartsStoryboard::registerScenes();
    auto screen = std::static_pointer_cast<quorvel::ChartsViewController>(
        platform::UIStoryboard::storyboardWithName(quorvel::ChartsStoryboard::kName)
            ->instantiateViewControllerWithIdentifier(quorvel::ChartsStoryboard::kScreen));
    screen->loadViewIfNeeded();
    return screen;
}

// A refresh of the open screen when nothing was stored since the last: the kept day totals (plus the
// unsaved session, if any), both charts, the averages and the boxes rebuilt.
void refresh(benchmark::State& state, bool pendingInsert) {
    if (!makeStore(kSessions)) return state.SkipWithError("no store");
    if (pendingInsert) {
        auto session = std::dynamic_pointer_cast<quorvel::Session>(
            quorvel::CoreDataManager::context()->insertNewObjectForEntityForName("Session"));
        session->setTimestamp(platform::NSDate::now());
        session->setDuration(25);
    }
    auto screen = loadScreen();
    for (auto _ : state) {
        screen->refreshCharts();
        screen->updateStatBoxes();
    }
    if (screen->dayNumbersDict().size() < 690) state.SkipWithError("sessions missing");
    removeStore();
}

void BM_RefreshStatisticsOf100k(benchmark::State& state) {
    refresh(state, false);
}
BENCHMARK(BM_RefreshStatisticsOf100k)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

void BM_RefreshStatisticsOf100kWithAnUnsavedInsert(benchmark::State& state) {
    refresh(state, true);
}
BENCHMARK(BM_RefreshStatisticsOf100kWithAnUnsavedInsert)
    ->Unit(benchmark::kMillisecond)
    ->Apply(quorvel::bench::repeated);

// What storing one more session costs the open screen over a million sessions (about 19 years of
// them): the refresh that follows the save. The store is written with plain SQL.
void BM_RefreshAfterASessionIsStoredOf1M(benchmark::State& state) {
    if (!openWrittenStore(state, 1000000)) return;
    auto manager = quorvel::CoreDataManager::shared();
    auto screen = loadScreen();
    for (auto _ : state) {
        state.PauseTiming();
        if (!manager->insertSession(25, quorvel::SessionType::focus, platform::NSDate::now()))
            state.SkipWithError("insert failed");
        state.ResumeTiming();
        screen->changeChartsData({});
    }
    if (screen->dayNumbersDict().size() < 6900) state.SkipWithError("sessions missing");
    removeStore();
}
BENCHMARK(BM_RefreshAfterASessionIsStoredOf1M)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Apply(quorvel::bench::repeated)
    ->Repetitions(3);

// What a change of zone costs the open screen over a million sessions: the refresh that counts the kept
// totals' days again in the new zone. In a zone whose midnights fall inside a quarter of an hour (local
// mean time 19 minutes 32 seconds east, as the Netherlands kept until 1937), the quarters that hold a
// midnight, one a day, are read by their time; in one whose midnights lie on quarters, none is.
void zoneChange(benchmark::State& state, const platform::NSTimeZone& zone) {
    if (!openWrittenStore(state, 1000000)) return;
    auto manager = quorvel::CoreDataManager::shared();
    const auto berlin = platform::NSTimeZone::defaultTimeZone();
    auto screen = loadScreen();
    for (auto _ : state) {
        state.PauseTiming();
        platform::NSTimeZone::setDefaultTimeZone(berlin);
        screen->refreshCharts();
        platform::NSTimeZone::setDefaultTimeZone(zone);
        state.ResumeTiming();
        screen->refreshCharts();
    }
    if (screen->dayNumbersDict().size() < 6900) state.SkipWithError("sessions missing");
    platform::NSTimeZone::setDefaultTimeZone(berlin);
    removeStore();
}

void BM_ZoneChangeOf1M(benchmark::State& state) {
    zoneChange(state, *platform::NSTimeZone::timeZoneWithName("Asia/Kolkata"));
}
BENCHMARK(BM_ZoneChangeOf1M)->Unit(benchmark::kMillisecond)->Iterations(10)->Apply(quorvel::bench::repeated)->Repetitions(3);

void BM_ZoneChangeToMidnightsInsideQuartersOf1M(benchmark::State& state) {
    setenv("TZ", "<+001932>-0:19:32", 1);
    const auto zone = platform::HostTimeZone::current();
    unsetenv("TZ");
    zoneChange(state, zone);
}
BENCHMARK(BM_ZoneChangeToMidnightsInsideQuartersOf1M)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Apply(quorvel::bench::repeated)
    ->Repetitions(3);

// The first visit to the screen in a launch, over `range(0)` sessions written with plain SQL: a new
// screen's view loaded, as when the person swipes to it. Before each visit one more session is stored, as
// a focus session since the last visit would be. With `withSummary`, the screen was seen before (its
// summary of the store is there, as after any earlier visit); without, it never was.
void firstVisit(benchmark::State& state, bool withSummary) {
    const auto count = static_cast<int>(state.range(0));
    if (!openWrittenStore(state, count)) return;
    auto manager = quorvel::CoreDataManager::shared();
    loadScreen();
    const auto days = static_cast<std::size_t>(count * kSpacing / 86400) - 1;
    for (auto _ : state) {
        state.PauseTiming();
        if (!manager->insertSession(25, quorvel::SessionType::focus, platform::NSDate::now()))
            state.SkipWithError("insert failed");
        if (!withSummary) std::filesystem::remove(quorvel::SessionStoreSummary::path());
        state.ResumeTiming();
        if (loadScreen()->dayNumbersDict().size() < days) state.SkipWithError("sessions missing");
    }
    removeStore();
}

void BM_FirstVisitToStatistics(benchmark::State& state) {
    firstVisit(state, true);
}
BENCHMARK(BM_FirstVisitToStatistics)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Apply(quorvel::bench::repeated)
    ->Repetitions(3);

void BM_FirstVisitToStatisticsNeverSeen(benchmark::State& state) {
    firstVisit(state, false);
}
BENCHMARK(BM_FirstVisitToStatisticsNeverSeen)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Apply(quorvel::bench::repeated)
    ->Repetitions(3);

// The screen's own full read, as at the first visit of a screen never seen or after a change it cannot
// add up: every session's day totals read from the store by a fresh set of totals, with no summary of an
// earlier read to start from. Its baseline is the plain read below.
void BM_ReadAllDayTotalsOf100k(benchmark::State& state) {
    if (!makeStore(kSessions)) return state.SkipWithError("no store");
    auto context = quorvel::CoreDataManager::context();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(quorvel::SessionStoreSummary::path());
        state.ResumeTiming();
        if (quorvel::SessionDayTotals::make()->figures(*context).size() < 690) {
            state.SkipWithError("sessions missing");
            break;
        }
    }
    removeStore();
}
BENCHMARK(BM_ReadAllDayTotalsOf100k)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

// The baseline of the full read: the same store read straight through SQLite, each session's minutes summed
// per local day, with nothing else the screen does.
void BM_PlainSqliteDayTotalsOf100k(benchmark::State& state) {
    if (!makeStore(kSessions)) return state.SkipWithError("no store");
    const auto file = *quorvel::PFileManager::shared()->storeDirectoryURL() / "store.sqlite";
    sqlite3* db = nullptr;
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, "SELECT timestamp, duration FROM Session", -1, &rows, nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot read the store");
    } else {
        const auto zone = platform::NSTimeZone::defaultTimeZone();
        for (auto _ : state) {
            std::map<long, double> minutesPerDay;
            std::map<long, long> offsetPerHour;  // a zone's offset changes on the hour
            while (sqlite3_step(rows) == SQLITE_ROW) {
                const double stamp = sqlite3_column_double(rows, 0);
                const auto hour = static_cast<long>(std::floor(stamp / 3600));
                auto offset = offsetPerHour.find(hour);
                if (offset == offsetPerHour.end())
                    offset = offsetPerHour.emplace(hour, zone.secondsFromGMTForDate(platform::NSDate(hour * 3600.0))).first;
                const double local = stamp + static_cast<double>(offset->second);
                minutesPerDay[static_cast<long>(std::floor(local / 86400))] += sqlite3_column_double(rows, 1);
            }
            sqlite3_reset(rows);
            if (minutesPerDay.size() < 690) state.SkipWithError("sessions missing");
        }
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    removeStore();
}
BENCHMARK(BM_PlainSqliteDayTotalsOf100k)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

}  // namespace

BENCHMARK_MAIN();
