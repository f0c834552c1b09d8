// The remote configuration on its two paths: a configuration taken in (checked, stored in the
// measurement database and parsed) as its size grows, and the questions every logged event asks of it
// (a setting, the event's blocklist switch and sampling rate), which other queues read concurrently.
#include <benchmark/benchmark.h>

#include <functional>
#include <future>
#include <mutex>
#include <string>

#include "analytics/config/apm_remote_config.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_persisted_config.h"
#include "tests/analytics/config/measurement_config_builder.h"
#include "tests/support/temp_data_root.h"

namespace {

using analytics::APMDatabase;
using analytics::APMRemoteConfig;
using quorvel::testing::MeasurementConfigBuilder;

constexpr const char* kAppID = "1:1234:ios:bench";

// A configuration with `count` settings and `count` event configurations.
MeasurementConfigBuilder configuration(int count) {
    MeasurementConfigBuilder builder;
    builder.appID = kAppID;
    builder.version = 1;
    for (int i = 0; i < count; ++i) {
        builder.settings.emplace_back("measurement.bench.setting_" + std::to_string(i),
                                      std::to_string(i * 1000));
        builder.events.push_back({"event_" + std::to_string(i), i % 2 == 0, false, i % 7});
    }
    builder.settings.emplace_back("measurement.upload.max_public_event_params", "50");
    return builder;
}

struct Fixture {
    Fixture() {
        database = APMDatabase::initWithDatabaseName(
            APMDatabase::kDatabaseName,
            analytics::APMPersistedConfig::initWithSuiteName("bench.remote.config"), nullptr);
        config = APMRemoteConfig::initWithAppID(kAppID, database, nullptr);
    }
    quorvel::testing::TempDataRoot root;
    std::shared_ptr<APMDatabase> database;
    std::shared_ptr<APMRemoteConfig> config;
    // Configurations are taken in on the worker queue, as the engine does.
    analytics::APMScheduler worker{"bench.worker"};
};

Fixture& fixture() {
    static Fixture made;  // its data root is removed at exit
    return made;
}

// Runs on the worker thread itself and waits for it (a synchronous dispatch would run on the caller).
void onWorkerQueue(const std::function<void()>& block) {
    std::promise<void> done;
    fixture().worker.scheduleOnWorkerQueueBlockID("bench", [&] {
        block();
        done.set_value();
    });
    done.get_future().wait();
}

void TakeConfiguration(benchmark::State& state) {
    auto& made = fixture();
    const auto taken = configuration(static_cast<int>(state.range(0))).build();
    for (auto _ : state) {
        onWorkerQueue([&] { benchmark::DoNotOptimize(made.config->updateMeasurementConfig(taken)); });
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TakeConfiguration)->Arg(10)->Arg(100)->Arg(1000)->UseRealTime()->Unit(benchmark::kMicrosecond);

void QuestionsOfOneEvent(benchmark::State& state) {
    auto& made = fixture();
    const auto& config = made.config;
    static std::once_flag configured;
    std::call_once(configured, [&made] {
        onWorkerQueue([&made] { made.config->updateMeasurementConfig(configuration(100).build()); });
    });
    for (auto _ : state) {
        benchmark::DoNotOptimize(config->maxPublicEventParams());
        benchmark::DoNotOptimize(config->isEventBlocklisted("event_42"));
        benchmark::DoNotOptimize(config->samplingRateForEvent("event_43"));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(QuestionsOfOneEvent)->Threads(1)->Threads(4);

}  // namespace

BENCHMARK_MAIN();
