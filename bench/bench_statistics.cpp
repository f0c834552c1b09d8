#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/core/core_data_manager.h"
#include "app/screens/secondary/charts_storyboard.h"
#include "app/screens/secondary/charts_view_controller.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/uikit/ui_storyboard.h"

namespace {

constexpr int kSessions = 100000;
constexpr double kSpacing = 600.0;  // one session every ten minutes up to now: about 694 days

// A fresh data root with a store of `count` sessions ending now, written in one save.
bool makeStore(int count) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return false;
    platform::DataRoot::setPath(pattern);
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
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

// The statistics screen as the storyboard makes it, its view loaded (which refreshes it once).
std::shared_ptr<quorvel::ChartsViewController> loadScreen() {
    quorvel::ChartsStoryboard::registerScenes();
    auto screen = std::static_pointer_cast<quorvel::ChartsViewController>(
        platform::UIStoryboard::storyboardWithName(quorvel::ChartsStoryboard::kName)
            ->instantiateViewControllerWithIdentifier(quorvel::ChartsStoryboard::kScreen));
    screen->loadViewIfNeeded();
    return screen;
}

// What a stored session costs the open screen: re-read every session, group them by local day, rebuild
// both charts, the averages and the boxes.
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
BENCHMARK(BM_RefreshStatisticsOf100k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_RefreshStatisticsOf100kWithAnUnsavedInsert(benchmark::State& state) {
    refresh(state, true);
}
BENCHMARK(BM_RefreshStatisticsOf100kWithAnUnsavedInsert)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
