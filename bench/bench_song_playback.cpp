// A song from the music folder against the app's own generated ticking loop, both played as the app
// plays them (the start of the file decoded as its asset loads, then streamed on a channel):
// - start to first sample: from loading the file to the first sound the mixer hears, each start one
//   run of 20, so that the table gives their min and median;
// - CPU while it ticks: the process's CPU time over 5 s of the sound looping, in % of a core, and how
//   often its threads woke meanwhile (the audio thread's and any decoding thread's); the same for the
//   open device with nothing playing.
// The song is three minutes of MP3, encoded before the measurement. Uses the dummy audio driver.
#include <SDL2/SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "bench/bench_repetitions.h"
#include "platform/avfoundation/audio_channel.h"
#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/sound_file_decoder.h"
#include "platform/foundation/ns_bundle.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

std::atomic<Clock::rep> heardAt{0};

// The mixer's output, after every channel has been mixed in.
void listen(void*, Uint8* stream, int bytes) {
    if (heardAt.load() != 0) return;
    for (int i = 0; i < bytes; ++i) {
        if (stream[i] != 0) {
            heardAt = Clock::now().time_since_epoch().count();
            return;
        }
    }
}

bool openOutput() {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    static const bool opened = [] {
        if (!AudioOutput::shared().open()) return false;
        Mix_SetPostMix(&listen, nullptr);
        return true;
    }();
    return opened;
}

const std::filesystem::path& song() {
    static const auto* path = [] {
        auto* file = new std::filesystem::path(std::filesystem::temp_directory_path() / "quorvel-bench-song.mp3");
        SF_INFO info{};
        info.samplerate = AudioOutput::kFrequency;
        info.channels = 2;
        info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        SNDFILE* out = sf_open(file->c_str(), SFM_WRITE, &info);
        std::vector<float> second(2 * AudioOutput::kFrequency);
        for (int at = 0; out && at < 180; ++at) {
            for (std::size_t i = 0; i < second.size(); ++i)
                second[i] = static_cast<float>(0.2 * std::sin(0.03 * static_cast<double>(i) * (1 + at % 3)));
            sf_writef_float(out, second.data(), AudioOutput::kFrequency);
        }
        if (out) sf_close(out);
        return file;
    }();
    return *path;
}

std::filesystem::path generatedLoop() {
    return NSBundle::mainBundle()->URLForResource("Ticking", "mp3").value_or("");
}

void startToFirstSample(benchmark::State& state, const std::filesystem::path& file) {
    if (!openOutput() || !SoundFileDecoder::playableDuration(file, nullptr)) {
        state.SkipWithError("no output device or no playable file");
        return;
    }
    for (auto _ : state) {
        heardAt = 0;
        const auto started = Clock::now();
        SoundFileDecoder::playableDuration(file, nullptr);
        const auto channel = AudioOutput::shared().playFile(file, true, 1, {});
        while (heardAt.load() == 0 && Clock::now() - started < std::chrono::seconds(2))
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        const auto heard = heardAt.load();
        if (channel) channel->stop();
        if (heard == 0) {
            state.SkipWithError("no sound within 2 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::duration(heard) - started.time_since_epoch()).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the mixer plays silence again
    }
}

rusage usage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

double cpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Every thread of the process, those that ended included: each sleep it woke from or was taken off for.
double contextSwitches(const rusage& usage) {
    return static_cast<double>(usage.ru_nvcsw + usage.ru_nivcsw);
}

// The process's CPU share and how often its threads woke over five seconds of whatever plays now.
void measureFiveSeconds(benchmark::State& state) {
    const rusage before = usage();
    const auto started = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const double wall = std::chrono::duration<double>(Clock::now() - started).count();
    const rusage after = usage();
    state.counters["cpu_percent_of_a_core"] = 100 * (cpuSeconds(after) - cpuSeconds(before)) / wall;
    // Less the one of this thread's sleep.
    state.counters["wakeups_per_second"] = (contextSwitches(after) - contextSwitches(before) - 1) / wall;
}

void ticksFor5Seconds(benchmark::State& state, const std::filesystem::path& file) {
    if (!openOutput()) {
        state.SkipWithError("no output device");
        return;
    }
    for (auto _ : state) {
        const auto channel = AudioOutput::shared().playFile(file, true, 1, {});
        // Measured after the first pass (the loop's is 2 s), which is decoded as it plays.
        std::this_thread::sleep_for(std::chrono::seconds(3));
        measureFiveSeconds(state);
        if (channel) channel->stop();
    }
}

// The device open with nothing to play, as it stays between sounds.
void BM_SilentDeviceFor5Seconds(benchmark::State& state) {
    if (!openOutput()) {
        state.SkipWithError("no output device");
        return;
    }
    for (auto _ : state) measureFiveSeconds(state);
}

void BM_SongStartToFirstSample(benchmark::State& state) { startToFirstSample(state, song()); }
void BM_GeneratedLoopStartToFirstSample(benchmark::State& state) { startToFirstSample(state, generatedLoop()); }
void BM_SongTicksFor5Seconds(benchmark::State& state) { ticksFor5Seconds(state, song()); }
void BM_GeneratedLoopTicksFor5Seconds(benchmark::State& state) { ticksFor5Seconds(state, generatedLoop()); }

}  // namespace

// Twenty starts, one a run.
static void startsRepeated(benchmark::internal::Benchmark* run) {
    run->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated)->Repetitions(20);
}
BENCHMARK(quorvel::bench::stopsAtFailure<BM_SongStartToFirstSample>)->Name("BM_SongStartToFirstSample")->Apply(startsRepeated);
BENCHMARK(quorvel::bench::stopsAtFailure<BM_GeneratedLoopStartToFirstSample>)
    ->Name("BM_GeneratedLoopStartToFirstSample")
    ->Apply(startsRepeated);
BENCHMARK(BM_SongTicksFor5Seconds)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated)->Repetitions(3);
BENCHMARK(BM_GeneratedLoopTicksFor5Seconds)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated)->Repetitions(3);
BENCHMARK(BM_SilentDeviceFor5Seconds)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated)->Repetitions(3);

BENCHMARK_MAIN();
