#include <benchmark/benchmark.h>

#include <cstdint>

#include "analytics/interface/rov_eruzovaza.h"
#include "bench/bench_engine.h"
#include "bench/bench_repetitions.h"

namespace {

// What the caller's thread pays for one app event with ten parameters: the configured check, the name
// check, the copy with the screen, the time stamp and the hand-over to the facade's queues. The queues'
// backlog is drained every thousand events, outside the measured time. Every run logs to the one engine
// of the process, on its one data root, and is skipped when its events were not all stored.
void BM_LogEventWithTenParameters(benchmark::State& state) {
    const auto engine = quorvel::bench::startedEngine();
    if (!engine) return state.SkipWithError("no engine");
    const std::int64_t newestBefore = quorvel::bench::newestRawEventRow(*engine);
    const platform::Value::Dictionary parameters{
        {"session", "focus"}, {"minutes", 25},       {"round", 3},         {"goal", 12},
        {"theme", "red"},     {"ticking", "Ticking"}, {"volume", 0.75},     {"auto_restart", true},
        {"device", "phone"},  {"orientation", "portrait"}};
    std::int64_t logged = 0;
    for (auto _ : state) {
        analytics::ROVEruzovaza::logEventWithName("session_started", parameters);
        if (++logged % 1000 == 0) {
            state.PauseTiming();
            quorvel::bench::waitUntilSettled();
            state.ResumeTiming();
        }
    }
    quorvel::bench::waitUntilSettled();
    // Taking events in only counts when they are stored.
    if (quorvel::bench::newestRawEventRow(*engine) - newestBefore < logged)
        return state.SkipWithError("the events were not stored");
    state.SetItemsProcessed(state.iterations());
}

QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_LogEventWithTenParameters)
    ->Unit(benchmark::kMicrosecond)
    ->Apply(quorvel::bench::repeated);

}  // namespace
BENCHMARK_MAIN();
