// A song from the music folder against the app's own generated ticking loop, both played as the app
// plays them (the start of the file decoded as its asset loads, then streamed on a channel):
// - start to first sample: from loading the file to the first sound the mixer hears, each start one
//   run of 20, so that the table gives their min and median;
// - an alarm's start: from the play call alone (its file known) to its first sample in the mixer,
//   while the ticking loop plays on at volume zero, as a session's end with its ticking on;
// - CPU while it ticks: the CPU time of the process and of its decoding child over 5 s of the sound
//   looping, in % of a core, and how often threads woke meanwhile, the app's (its audio and decoding
//   threads) and the child's apart: a song decodes in its child as it plays, while the loop, short
//   enough to be kept in memory after its first pass, has closed its child by then; the same for the
//   open device with nothing playing; beside the decoding process, the same decoder in a minimal child
//   that writes its samples to a pipe drained as the song plays (its floor), and the same file decoded
//   in one process.
// The song is three minutes of MP3, encoded before the measurement. Uses the dummy audio driver.
#include <SDL2/SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_repetitions.h"
#include "bench/support/process_usage.h"
#include "platform/avfoundation/audio_channel.h"
#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/isolated_sound_decoder.h"
#include "platform/avfoundation/sound_file_decoder.h"
#include "platform/avfoundation/sound_stream.h"
#include "platform/foundation/ns_bundle.h"

extern char** environ;

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

// Waits up to two seconds for the mixer to hear something, then stops `channel` and records the time
// from `started` to the first sample heard; false, the run skipped, when nothing was heard.
bool recordFirstSample(benchmark::State& state, Clock::time_point started,
                       const std::shared_ptr<AudioChannel>& channel) {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (heardAt.load() == 0 && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::microseconds(100));
    if (channel) channel->stop();
    const auto heard = heardAt.load();
    if (heard == 0) {
        state.SkipWithError("no sound within 2 s");
        return false;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::time_point(Clock::duration(heard)) - started).count());
    return true;
}

void startToFirstSample(benchmark::State& state, const std::filesystem::path& file) {
    if (!openOutput() || !IsolatedSoundDecoder::playableDuration(file, nullptr)) {
        state.SkipWithError("no output device or no playable file");
        return;
    }
    for (auto _ : state) {
        heardAt = 0;
        const auto started = Clock::now();
        IsolatedSoundDecoder::playableDuration(file, nullptr);  // as the asset loads
        const auto channel = AudioOutput::shared().playFile(file, true, 1, {});
        if (!recordFirstSample(state, started, channel)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the mixer plays silence again
    }
}

// The ticking keeps the device mixing, unheard, so that the first sound the mixer hears is the alarm's.
void BM_AlarmStartWhileTickingToFirstSample(benchmark::State& state) {
    const auto alarm = NSBundle::mainBundle()->URLForResource("Bells", "wav").value_or("");
    if (!openOutput() || !IsolatedSoundDecoder::playableDuration(alarm, nullptr)) {
        state.SkipWithError("no output device or no alarm file");
        return;
    }
    const auto ticking = AudioOutput::shared().playFile(generatedLoop(), true, 0, {});
    // The loop mixes by then; each start then falls somewhere else within the mixer's buffer, since
    // the device's calls are in step with the loop's start.
    static std::minstd_rand offsets(1);
    std::this_thread::sleep_for(std::chrono::microseconds(300'000 + offsets() % 250'000));
    for (auto _ : state) {
        heardAt = 0;
        const auto started = Clock::now();
        const auto channel = AudioOutput::shared().playFile(alarm, false, 1, {});
        if (!recordFirstSample(state, started, channel)) break;
    }
    if (ticking) ticking->stop();
}

using Usage = quorvel::bench::ProcessUsage;

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

Usage usageOf(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime),
            static_cast<double>(usage.ru_nvcsw + usage.ru_nivcsw)};
}

double threadCpuSeconds() {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

// This process's threads (the app's: the mixer's audio thread, the decoding thread that feeds it).
Usage appUsage() {
    return usageOf(RUSAGE_SELF);
}

// Its children, the live ones included: a song decodes in a process of its own.
Usage decoderUsage() {
    Usage total = usageOf(RUSAGE_CHILDREN);
    const auto live = quorvel::bench::liveChildrenUsageOf(::getpid());
    total.cpuSeconds += live.cpuSeconds;
    total.contextSwitches += live.contextSwitches;
    return total;
}

// The CPU share and how often threads woke over five seconds of whatever plays now: the app's and its
// decoding process's apart, and both together.
void measureFiveSeconds(benchmark::State& state) {
    // The walks of /proc in decoderUsage() are this process's own work: both stay outside the app's span.
    const Usage decoderBefore = decoderUsage(), appBefore = appUsage();
    const auto started = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const double wall = std::chrono::duration<double>(Clock::now() - started).count();
    const Usage app = appUsage(), decoder = decoderUsage();
    const double appCpu = app.cpuSeconds - appBefore.cpuSeconds;
    const double decoderCpu = decoder.cpuSeconds - decoderBefore.cpuSeconds;
    // Less the one of this thread's sleep.
    const double appWakeups = app.contextSwitches - appBefore.contextSwitches - 1;
    const double decoderWakeups = decoder.contextSwitches - decoderBefore.contextSwitches;
    state.counters["cpu_percent_of_a_core"] = 100 * (appCpu + decoderCpu) / wall;
    state.counters["decoder_cpu_percent_of_a_core"] = 100 * decoderCpu / wall;
    state.counters["wakeups_per_second"] = (appWakeups + decoderWakeups) / wall;
    state.counters["app_wakeups_per_second"] = appWakeups / wall;
    state.counters["decoder_wakeups_per_second"] = decoderWakeups / wall;
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

// A step of the app's stream, as its decoding thread asks for them.
constexpr int kStreamStep = static_cast<int>(SoundStream::kBufferFrames / 2);
constexpr std::size_t kBytesPerFrame = 2 * sizeof(std::int16_t);

// The same file decoded in this process, in the steps the app's stream asks for, as much as five seconds
// of playing takes; its CPU time in % of a core over those five seconds. What isolating the decoder
// costs shows against it, a figure without an aim: a process of its own wakes and hands its samples
// over at every step, which no decoder in a child can avoid.
void BM_SongDecodedInProcessFor5Seconds(benchmark::State& state) {
    constexpr int kSeconds = 5;
    std::vector<std::int16_t> frames(2 * kStreamStep);
    for (auto _ : state) {
        std::string problem;
        const auto decoder = SoundFileDecoder::open(song(), &problem);
        if (!decoder) {
            state.SkipWithError(("cannot decode the song: " + problem).c_str());
            break;
        }
        // Past the first pass's start, as the measured span of the app is.
        for (int read = 0; read < 3 * AudioOutput::kFrequency;) read += decoder->read(frames.data(), kStreamStep, false);
        const double before = threadCpuSeconds();
        int decoded = 0;
        while (decoded < kSeconds * AudioOutput::kFrequency) {
            const int got = decoder->read(frames.data(), kStreamStep, false);
            if (got <= 0) break;
            decoded += got;
        }
        const double cpu = threadCpuSeconds() - before;
        if (decoded < kSeconds * AudioOutput::kFrequency) {
            state.SkipWithError("the song ended early");
            break;
        }
        state.counters["cpu_percent_of_a_core"] = 100 * cpu / kSeconds;
    }
}

// The piped decoder reading `file`, its standard output a pipe that holds as much as the app's stream
// decodes ahead; killed and reaped when it goes.
class PipedDecoder {
public:
    explicit PipedDecoder(const std::filesystem::path& file) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return;
        ::fcntl(ends[0], F_SETPIPE_SZ, static_cast<int>(SoundStream::kBufferFrames * kBytesPerFrame));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
        std::string program = PIPED_DECODER, path = file.string(), step = std::to_string(kStreamStep);
        char* argv[] = {program.data(), path.data(), step.data(), nullptr};
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        output_ = ends[0];
    }
    ~PipedDecoder() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0) ::close(output_);
    }
    PipedDecoder(const PipedDecoder&) = delete;
    PipedDecoder& operator=(const PipedDecoder&) = delete;

    bool started() const { return pid_ > 0 && output_ >= 0; }
    pid_t pid() const { return pid_; }

    // Takes one step from the pipe whenever one has played, from `playing` on, until `until`; false
    // when the decoder ended first.
    bool drain(Clock::time_point playing, Clock::time_point until) {
        std::vector<char> step(kStreamStep * kBytesPerFrame);
        for (auto next = playing; next < until; next += stepLength()) {
            std::this_thread::sleep_until(next);
            for (std::size_t got = 0; got < step.size();) {
                const ssize_t read = ::read(output_, step.data() + got, step.size() - got);
                if (read < 0 && errno == EINTR) continue;
                if (read <= 0) return false;
                got += static_cast<std::size_t>(read);
            }
        }
        return true;
    }

private:
    static Clock::duration stepLength() {
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(static_cast<double>(kStreamStep) / AudioOutput::kFrequency));
    }

    pid_t pid_ = -1;
    int output_ = -1;
};

// The fair floor of the song's decoding process: the same decoder in a minimal child process that writes
// its samples to a pipe, drained a step at a time as the song plays. Its CPU time and wake-ups over five
// seconds, after the same three seconds as the app's.
void BM_SongDecodedInAPipedChildFor5Seconds(benchmark::State& state) {
    for (auto _ : state) {
        PipedDecoder decoder(song());
        if (!decoder.started()) {
            state.SkipWithError("cannot start the piped decoder");
            break;
        }
        const auto started = Clock::now();
        const auto measuredFrom = started + std::chrono::seconds(3);
        if (!decoder.drain(started, measuredFrom)) {
            state.SkipWithError("the piped decoder ended early");
            break;
        }
        const Usage before = quorvel::bench::liveUsageOf(decoder.pid());
        const auto from = Clock::now();
        const bool drained = decoder.drain(measuredFrom, measuredFrom + std::chrono::seconds(5));
        const Usage after = quorvel::bench::liveUsageOf(decoder.pid());
        const double wall = std::chrono::duration<double>(Clock::now() - from).count();
        if (!drained) {
            state.SkipWithError("the piped decoder ended early");
            break;
        }
        state.counters["cpu_percent_of_a_core"] = 100 * (after.cpuSeconds - before.cpuSeconds) / wall;
        state.counters["wakeups_per_second"] = (after.contextSwitches - before.contextSwitches) / wall;
    }
}

void BM_SongStartToFirstSample(benchmark::State& state) { startToFirstSample(state, song()); }
void BM_GeneratedLoopStartToFirstSample(benchmark::State& state) { startToFirstSample(state, generatedLoop()); }
void BM_SongTicksFor5Seconds(benchmark::State& state) { ticksFor5Seconds(state, song()); }
void BM_GeneratedLoopTicksFor5Seconds(benchmark::State& state) { ticksFor5Seconds(state, generatedLoop()); }

}  // namespace

// Twenty starts, one a run. A start's aim holds for the slowest of them too: the table reads their max.
static void startsRepeated(benchmark::internal::Benchmark* run) {
    run->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->Apply(quorvel::bench::repeated)
        ->Repetitions(20)
        ->ComputeStatistics("max", [](const std::vector<double>& runs) {
            return *std::max_element(runs.begin(), runs.end());
        });
}
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_SongStartToFirstSample)->Apply(startsRepeated);
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_GeneratedLoopStartToFirstSample)->Apply(startsRepeated);
QUORVEL_BENCHMARK_STOPPING_AT_FAILURE(BM_AlarmStartWhileTickingToFirstSample)->Apply(startsRepeated);
BENCHMARK(BM_SongTicksFor5Seconds)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated)->Repetitions(3);
BENCHMARK(BM_GeneratedLoopTicksFor5Seconds)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated)->Repetitions(3);
BENCHMARK(BM_SongDecodedInAPipedChildFor5Seconds)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated)->Repetitions(3);
BENCHMARK(BM_SongDecodedInProcessFor5Seconds)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated)->Repetitions(3);
BENCHMARK(BM_SilentDeviceFor5Seconds)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated)->Repetitions(3);

BENCHMARK_MAIN();
