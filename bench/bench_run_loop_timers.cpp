// Timer dispatch on the main run loop: how many timer fires per second the loop delivers when
// virtual time runs through them, with a few or many timers scheduled at once.
#include <benchmark/benchmark.h>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_timer.h"

using namespace platform;

static void TimerFiresPerSecond(benchmark::State& state) {
    const int timers = static_cast<int>(state.range(0));
    std::int64_t fires = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto clock = VirtualClock::install();
        for (int i = 0; i < timers; ++i) {
            NSRunLoop::main().addTimer(NSTimer::timerWithTimeInterval(0.1, true, [&](NSTimer&) { ++fires; }),
                                       NSRunLoopCommonModes);
        }
        state.ResumeTiming();
        clock->advance(100);  // 1,000 fires of each timer
    }
    state.SetItemsProcessed(fires);
}
BENCHMARK(TimerFiresPerSecond)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

static void MainQueueBlocksPerSecond(benchmark::State& state) {
    auto clock = VirtualClock::install();
    std::int64_t ran = 0;
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) DispatchQueue::main()->async([&] { ++ran; });
        clock->runUntilIdle();
    }
    state.SetItemsProcessed(ran);
}
BENCHMARK(MainQueueBlocksPerSecond)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
