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

}  // namespace quorvel::bench
