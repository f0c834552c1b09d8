// One tick of a running timer: the 100 ms step, the screen update queued to the main queue and
// applied to the screen's labels, the badge check and the state save into both settings suites. Time
// is virtual, so the settings are written as often per tick as in the app. Reports the main thread's CPU
// time per tick and the file writes per tick and per minute of a session running untouched.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/core/core_data_manager.h"
#include "app/core/first_launch_defaults.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_default_properties.h"
#include "bench/bench_folder.h"
#include "bench/bench_repetitions.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/uikit/text/ui_label.h"

using namespace quorvel;

namespace {

// The timer screen's part of a tick: it queues the update and applies it to its labels later.
class LabelScreen : public TimerFeedbackDelegate,
                    public TimerMinuteRing,
                    public std::enable_shared_from_this<LabelScreen> {
public:
    void applyTimerStatus(TimerStatus) override {}
    void scheduleTimerScreenUpdate(const TimerScreenUpdate& update) override {
        platform::DispatchQueue::main()->async([weak = weak_from_this(), update] {
            if (const auto screen = weak.lock()) screen->apply(update);
        });
    }
    std::shared_ptr<platform::UIView> rootView() override { return view_; }
    std::shared_ptr<TimerNavigationContainer> navigationContainer() override { return nullptr; }
    std::shared_ptr<TimerMinuteRing> minuteRing() override { return shared_from_this(); }
    void scrollToItemAtIndex(std::int64_t, bool) override {}
    void setScrollOffset(double offset) override { offset_ = offset; }

private:
    void apply(const TimerScreenUpdate& update) {
        time_->setText(update.timeText);
        round_->setText(update.round + "/" + update.roundLimit);
        goal_->setText(update.goal + "/" + update.goalLimit);
        progress_ = update.fraction;
    }

    std::shared_ptr<platform::UIView> view_ = std::make_shared<platform::UIView>();
    std::shared_ptr<platform::UILabel> time_ = std::make_shared<platform::UILabel>();
    std::shared_ptr<platform::UILabel> round_ = std::make_shared<platform::UILabel>();
    std::shared_ptr<platform::UILabel> goal_ = std::make_shared<platform::UILabel>();
    double progress_ = 1;
    double offset_ = 0;
};

std::uint64_t fileWrites() {
    std::uint64_t writes = UserDefaultProperties::standardDefaults()->fileWriteCount();
    if (const auto group = UserDefaultProperties::appGroupDefaults()) writes += group->fileWriteCount();
    return writes;
}

void BM_TimerTick(benchmark::State& state) {
    std::string pattern = quorvel::bench::freshFolder();
    if (pattern.empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path root = pattern;
    platform::DataRoot::setPath(root);
    platform::NSUserDefaults::resetAllForTesting();
    auto clock = platform::VirtualClock::install();
    for (const auto& value : firstLaunchDefaults()) UserDefaultProperties::save(value);
    CoreDataManager::shared()->setUpStore();

    auto screen = std::make_shared<LabelScreen>();
    auto timer = TimerViewModel::shared();
    timer->setDelegate(screen);
    timer->configure();
    const auto restart = [&] {
        timer->setRemainingMinutes(60);
        timer->startTimer(true);
    };
    restart();

    const auto writesBefore = fileWrites();
    std::int64_t ticks = 0;
    for (auto _ : state) {
        if (timer->elapsedTime() < 1000) {
            state.PauseTiming();
            restart();
            state.ResumeTiming();
        }
        clock->advance(0.1);
        ++ticks;
    }
    state.SetItemsProcessed(ticks);
    const double writesPerTick = static_cast<double>(fileWrites() - writesBefore) / static_cast<double>(ticks);
    state.counters["file_writes_per_tick"] = benchmark::Counter(writesPerTick);
    // Each write replaces the file and syncs it and its folder.
    state.counters["file_writes_per_minute"] = benchmark::Counter(writesPerTick * 600);

    TimerViewModel::resetSharedForTesting();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}
BENCHMARK(BM_TimerTick)->Unit(benchmark::kMicrosecond)->Apply(quorvel::bench::repeated);

}  // namespace

BENCHMARK_MAIN();
