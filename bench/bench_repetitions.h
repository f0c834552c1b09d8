#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace quorvel::bench {

// Five runs, reported as their aggregates with the fastest among them, so the table that ends
// `make bench` shows each figure's min and median: BENCHMARK(...)->Apply(repeated). A benchmark that
// runs long may ask for fewer afterwards (->Repetitions(3)).
inline void repeated(benchmark::internal::Benchmark* benchmark) {
    benchmark->Repetitions(5)->ReportAggregatesOnly(true)->ComputeStatistics(
        "min", [](const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); });
}

// libbenchmark (1.7) builds a repeated benchmark's aggregates from its first repetition's report, whose
// statistics a skipped repetition never set: a first repetition that skipped (a start that failed or
// timed out on a loaded machine) followed by two that ran crashes the whole program. Registered with
// QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_X), a benchmark whose run skipped skips every later run
// too, so its row is reported skipped, with the reason, and never crashes the program.
template <void (*Body)(benchmark::State&)>
void stopsAtFailure(benchmark::State& state) {
    static bool failed = false;
    if (failed) return state.SkipWithError("an earlier run of this benchmark failed");
    Body(state);
    failed = state.error_occurred();
}

}  // namespace quorvel::bench

// Registers BM_X through stopsAtFailure, under its own name.
#define QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(Body) \
    BENCHMARK(quorvel::bench::stopsAtFailure<Body>)->Name(#Body)
