#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "analytics/interface/dzr_app.h"
#include "analytics/interface/rov_eruzovaza.h"
#include "bench/bench_folder.h"
#include "bench/bench_repetitions.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/pending_work.h"

namespace {

void waitUntilSettled() {
    while (!platform::PendingWork::shared().idle())
        platform::PendingWork::shared().waitForChange(std::chrono::milliseconds(10));
}

// What the caller's thread pays for one app event with ten parameters: the configured check, the name
// check, the copy with the screen, the time stamp and the hand-over to the facade's queues. The queues'
// backlog is drained every thousand events, outside the measured time.
void BM_LogEventWithTenParameters(benchmark::State& state) {
    std::string pattern = quorvel::bench::freshFolder();
    if (pattern.empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path root = pattern;
    platform::DataRoot::setPath(root);
    analytics::DZRApp::configure();
    waitUntilSettled();

    const platform::Value::Dictionary parameters{
        {"session", "focus"}, {"minutes", 25},       {"round", 3},         {"goal", 12},
        {"theme", "red"},     {"ticking", "Ticking"}, {"volume", 0.75},     {"auto_restart", true},
        {"device", "phone"},  {"orientation", "portrait"}};
    std::int64_t logged = 0;
    for (auto _ : state) {
        analytics::ROVEruzovaza::logEventWithName("session_started", parameters);
        if (++logged % 1000 == 0) {
            state.PauseTiming();
            waitUntilSettled();
            state.ResumeTiming();
        }
    }
    waitUntilSettled();
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove_all(root);
}

BENCHMARK(BM_LogEventWithTenParameters)->Unit(benchmark::kMicrosecond)->Apply(quorvel::bench::repeated);

}  // namespace
BENCHMARK_MAIN();
