// Reading the host's time zone, the one-time cost at the program's start: the C library's offsets from
// 1900 to 2200 for one TZ value, made into the calendar's zone. The values range from UTC to a zone
// file with a daylight-saving rule after its last listed change, a rule written out in TZ and a
// daylight-saving name with no dates, which takes the system's default rules.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <ctime>

#include "bench/bench_repetitions.h"
#include "platform/foundation/host_time_zone.h"

namespace {

constexpr std::array kZones{
    "UTC", "Asia/Almaty", "Europe/Berlin", "America/New_York", "EST5EDT,M3.2.0,M11.1.0", "AAA5BBB"};

void BM_ReadHostTimeZone(benchmark::State& state) {
    const char* tz = kZones[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(tz);
    setenv("TZ", tz, 1);
    for (auto _ : state) benchmark::DoNotOptimize(platform::HostTimeZone::current());
    unsetenv("TZ");
    tzset();
}

}  // namespace

BENCHMARK(BM_ReadHostTimeZone)
    ->DenseRange(0, static_cast<int>(kZones.size()) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Apply(quorvel::bench::repeated);

BENCHMARK_MAIN();
