// Draws the app's sounds from scratch: every alarm and the reminder chime as 16-bit mono WAV, every
// ticking sound as a seamless MP3 loop (encoded by lame). Deterministic: the same build makes the same
// files.
//
// Usage: make_sounds <output folder> <lame program>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The output device's own rate: the mixer converts a WAV of any rate exactly, but an MP3 of another
// rate loses the last few milliseconds on the way, which a loop would stumble over.
constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
// Partials above this would only sound shrill.
constexpr double kHighestPartial = 12000;

// A clip of samples in -1…1. A loop's events wrap around its end, so its last sample leads into its
// first as any two neighbours do.
struct Clip {
    std::vector<double> samples;
    bool loops = false;

    explicit Clip(double seconds, bool looping = false)
        : samples(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0), loops(looping) {}

    std::size_t size() const { return samples.size(); }

    // Adds `value` at sample `index`; past the end a loop wraps, a one-shot drops it.
    void add(long index, double value) {
        const long n = static_cast<long>(samples.size());
        if (loops) {
            samples[static_cast<std::size_t>(((index % n) + n) % n)] += value;
        } else if (index >= 0 && index < n) {
            samples[static_cast<std::size_t>(index)] += value;
        }
    }
};

// xorshift64*: the same noise on every machine.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    double uniform() {  // 0…1
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<double>((state_ * 0x2545F4914F6CDD1Dull) >> 11) / 9007199254740992.0;
    }
    double between(double low, double high) { return low + (high - low) * uniform(); }
    double noise() { return uniform() * 2 - 1; }

private:
    std::uint64_t state_;
};

long at(double seconds) {
    return std::lround(seconds * kRate);
}

// --- Building blocks ---------------------------------------------------------------------------------

struct Partial {
    double ratio;
    double amplitude;
    double decayScale = 1;  // higher partials of struck things die faster
};

// A struck or plucked tone: partials over a fundamental, a short attack, an exponential decay.
void strike(Clip& clip, double start, double frequency, double amplitude, double decay,
            const std::vector<Partial>& partials, double length, double attack = 0.002) {
    const long first = at(start);
    const long count = at(length);
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double rise = std::min(1.0, t / attack);
        double value = 0;
        for (const auto& p : partials) {
            const double f = frequency * p.ratio;
            if (f >= kHighestPartial) continue;
            value += p.amplitude * std::exp(-decay * p.decayScale * t) * std::sin(2 * kPi * f * t);
        }
        clip.add(first + i, amplitude * rise * value);
    }
}

const std::vector<Partial> kSine = {{1, 1}};
const std::vector<Partial> kDeskBell = {{1, 1}, {2.32, 0.5, 1.4}, {4.25, 0.25, 2}, {5.4, 0.15, 2.6}};
const std::vector<Partial> kChime = {{1, 1}, {2.76, 0.4, 1.6}, {5.4, 0.15, 2.5}};
const std::vector<Partial> kChurchBell = {{0.5, 0.5, 0.6}, {1, 1},         {1.2, 0.45, 1.2}, {1.5, 0.3, 1.4},
                                          {2, 0.35, 1.6},  {2.5, 0.15, 2}, {3, 0.1, 2.4}};
const std::vector<Partial> kMarimba = {{1, 1}, {4, 0.18, 3}, {9.2, 0.05, 5}};
const std::vector<Partial> kSoftSquare = {{1, 1}, {3, 0.22}, {5, 0.08}};
const std::vector<Partial> kClock = {{1, 1}, {1.73, 0.6, 1.3}, {2.91, 0.35, 1.8}};

// A steady tone between two moments, with short ramps so it neither clicks on nor off.
void hold(Clip& clip, double start, double length, double frequency, double amplitude,
          const std::vector<Partial>& partials, double ramp = 0.006) {
    const long count = at(length);
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double edge = std::min({1.0, t / ramp, (length - t) / ramp});
        double value = 0;
        for (const auto& p : partials) value += p.amplitude * std::sin(2 * kPi * frequency * p.ratio * t);
        clip.add(at(start) + i, amplitude * edge * value);
    }
}

// A resonant band-pass (two poles), tuned by centre frequency and sharpness.
class Resonator {
public:
    Resonator(double frequency, double q) { tune(frequency, q); }

    // Moves the band while keeping what rings in the filter, so a sweep stays smooth.
    void tune(double frequency, double q) {
        const double w = 2 * kPi * frequency / kRate;
        const double alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha;
        b0_ = alpha / a0;
        a1_ = -2 * std::cos(w) / a0;
        a2_ = (1 - alpha) / a0;
    }
    double operator()(double x) {
        const double y = b0_ * x - b0_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

class LowPass {
public:
    explicit LowPass(double frequency) : k_(1 - std::exp(-2 * kPi * frequency / kRate)) {}
    double operator()(double x) { return y_ += k_ * (x - y_); }

private:
    double k_;
    double y_ = 0;
};

// A burst of filtered noise: the body of ticks, drops, clinks and the crash of a wave.
void noiseBurst(Clip& clip, Random& random, double start, double length, double amplitude, double decay,
                double frequency, double q, double attack = 0.0005) {
    Resonator band(frequency, q);
    const long count = at(length);
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double envelope = std::min(1.0, t / attack) * std::exp(-decay * t);
        clip.add(at(start) + i, amplitude * envelope * band(random.noise()));
    }
}

// Endless filtered noise for a loop. The filter runs over the loop twice and keeps the second pass, so
// it starts in the state it ends in and the seam cannot be heard.
template <typename Filter>
std::vector<double> loopedNoise(std::size_t size, Random& random, Filter filter) {
    std::vector<double> raw(size);
    for (auto& value : raw) value = random.noise();
    std::vector<double> out(size);
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < size; ++i) out[i] = filter(raw[i]);
    }
    return out;
}

// A slow random swell for a loop: smooth (cosine) steps between `points` values, wrapping round.
std::vector<double> loopedSwell(std::size_t size, Random& random, int points, double low, double high) {
    std::vector<double> values(static_cast<std::size_t>(points));
    for (auto& value : values) value = random.between(low, high);
    std::vector<double> out(size);
    for (std::size_t i = 0; i < size; ++i) {
        const double position = static_cast<double>(i) * points / static_cast<double>(size);
        const auto index = static_cast<std::size_t>(position);
        const double blend = (1 - std::cos(kPi * (position - static_cast<double>(index)))) / 2;
        out[i] = values[index] * (1 - blend) + values[(index + 1) % values.size()] * blend;
    }
    return out;
}

// Scales the clip so its loudest sample reaches `peak`; a one-shot also fades out over its last 40 ms.
void finish(Clip& clip, double peak) {
    if (!clip.loops) {
        const long fade = std::min<long>(at(0.04), static_cast<long>(clip.size()));
        for (long i = 0; i < fade; ++i)
            clip.samples[clip.size() - 1 - static_cast<std::size_t>(i)] *= static_cast<double>(i) / fade;
    }
    double loudest = 0;
    for (double value : clip.samples) loudest = std::max(loudest, std::abs(value));
    if (loudest > 0) {
        for (double& value : clip.samples) value *= peak / loudest;
    }
}

// --- The alarms ----------------------------------------------------------------------------------

Clip none() {
    return Clip(0.2);
}

Clip desk() {
    Clip clip(2.0);
    Random random(1);
    noiseBurst(clip, random, 0, 0.01, 0.3, 400, 5000, 1);
    strike(clip, 0, 2093, 1, 2.4, kDeskBell, 2.0);
    return clip;
}

Clip ding() {
    Clip clip(1.8);
    strike(clip, 0, 1318.5, 1, 2.2, {{1, 1}, {2, 0.12, 1.5}, {3, 0.04, 2}}, 1.8, 0.004);
    return clip;
}

Clip chimes() {
    Clip clip(3.0);
    const double notes[] = {784, 659.3, 698.5, 523.3};
    for (int i = 0; i < 4; ++i) strike(clip, i * 0.35, notes[i], 0.7, 1.6, kChime, 3.0 - i * 0.35);
    return clip;
}

Clip bicycle() {
    Clip clip(1.4);
    for (double start : {0.0, 0.42}) {
        const long count = at(0.9);
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double tremolo = 0.55 + 0.45 * std::cos(2 * kPi * 32 * t);
            const double ring = std::sin(2 * kPi * 2637 * t) + 0.4 * std::sin(2 * kPi * 2637 * 1.51 * t);
            clip.add(at(start) + i, tremolo * std::exp(-4.5 * t) * std::min(1.0, t / 0.002) * ring);
        }
    }
    return clip;
}

Clip cymbals() {
    Clip clip(2.5);
    Random random(2);
    noiseBurst(clip, random, 0, 2.5, 1.0, 1.6, 6500, 0.6);
    noiseBurst(clip, random, 0, 0.4, 0.6, 9, 3500, 1.2);
    for (double f : {3150.0, 4870.0, 6210.0, 7450.0}) strike(clip, 0, f, 0.08, 2.2, kSine, 2.5);
    return clip;
}

Clip bells() {
    Clip clip(3.4);
    const double notes[] = {392, 329.6, 261.6};
    for (int i = 0; i < 3; ++i) strike(clip, i * 0.6, notes[i], 0.7, 1.2, kChurchBell, 3.4 - i * 0.6, 0.004);
    return clip;
}

Clip slash() {
    Clip clip(0.9);
    Random random(3);
    const long count = at(0.45);
    Resonator band(4200, 1.4);
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // The band sweeps down as the blade passes.
        band.tune(4200 * std::pow(600.0 / 4200.0, t / 0.45), 1.4);
        const double envelope = std::sin(kPi * t / 0.45);
        clip.add(i, envelope * envelope * band(random.noise()));
    }
    strike(clip, 0.3, 3520, 0.12, 5, kChime, 0.6);
    return clip;
}

Clip news() {
    Clip clip(1.4);
    const double notes[] = {523.3, 659.3, 784, 1046.5};
    for (int i = 0; i < 3; ++i) hold(clip, i * 0.12, 0.1, notes[i], 0.5, kSoftSquare);
    strike(clip, 0.36, notes[3], 0.6, 2.4, kSoftSquare, 1.0, 0.006);
    return clip;
}

Clip whistle() {
    Clip clip(1.2);
    Random random(4);
    for (auto [start, length] : {std::pair{0.0, 0.3}, std::pair{0.42, 0.7}}) {
        Resonator breath(2900, 4);
        double phase = 0;
        const long count = at(length);
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double warble = 2900 + 70 * std::sin(2 * kPi * 26 * t);  // the pea rattling
            phase += 2 * kPi * warble / kRate;
            const double edge = std::min({1.0, t / 0.015, (length - t) / 0.03});
            clip.add(at(start) + i, edge * (0.8 * std::sin(phase) + 0.5 * breath(random.noise())));
        }
    }
    return clip;
}

Clip steam() {
    Clip clip(1.6);
    Random random(5);
    Resonator hiss(3000, 0.5);
    LowPass soften(6000);
    const long count = static_cast<long>(clip.size());
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double envelope = std::min({1.0, t / 0.15, (1.6 - t) / 0.5});
        const double kettle = 0.25 * std::sin(2 * kPi * (1800 + 40 * std::sin(2 * kPi * 5 * t)) * t);
        clip.add(i, envelope * (soften(hiss(random.noise())) + kettle));
    }
    return clip;
}

Clip jingle() {
    Clip clip(1.4);
    Random random(6);
    for (int shake = 0; shake < 9; ++shake) {
        const double start = shake * 0.11 + random.between(0, 0.015);
        for (int bell = 0; bell < 5; ++bell) {
            strike(clip, start + random.between(0, 0.02), random.between(4000, 8000), 0.25, 28, kChime, 0.25);
        }
        noiseBurst(clip, random, start, 0.04, 0.3, 90, 7000, 2);
    }
    return clip;
}

Clip sweet() {
    Clip clip(1.7);
    const double notes[] = {523.3, 659.3, 784, 1046.5, 1318.5};
    for (int i = 0; i < 5; ++i) strike(clip, i * 0.14, notes[i], 0.6, 3.2, kMarimba, 1.7 - i * 0.14, 0.003);
    return clip;
}

Clip beep() {
    Clip clip(0.8);
    for (int i = 0; i < 3; ++i) hold(clip, i * 0.25, 0.15, 880, 0.6, kSoftSquare);
    return clip;
}

Clip windUp() {
    Clip clip(1.9);
    Random random(7);
    double t = 0;
    for (int click = 0; t < 1.0; ++click) {
        const double progress = t / 1.0;
        noiseBurst(clip, random, t, 0.03, 0.5, 220, 1500 + 1500 * progress, 6);
        t += 1.0 / (8 + 14 * progress);
    }
    strike(clip, 1.1, 1568, 0.8, 2.6, kDeskBell, 0.8);
    return clip;
}

Clip kitten() {
    Clip clip(1.8);
    for (double start : {0.0, 0.95}) {
        const double length = 0.7;
        double phase = 0;
        const long count = at(length);
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double x = t / length;
            // "mi-a-ow": the pitch rises and falls, the vowel opens and closes.
            const double pitch = 520 + 330 * std::sin(kPi * std::pow(x, 0.7)) - 60 * x;
            const double formant = 2300 - 1300 * std::sin(kPi * x);
            phase += 2 * kPi * pitch / kRate;
            double value = 0;
            for (int h = 1; h * pitch < kRate / 2.0 && h <= 12; ++h) {
                const double distance = (h * pitch - formant) / 700;
                value += std::exp(-distance * distance) * std::sin(h * phase) / std::sqrt(h);
            }
            const double envelope = std::sin(kPi * std::min(1.0, x * 1.15)) * std::min(1.0, t / 0.03);
            clip.add(at(start) + i, envelope * value);
        }
    }
    return clip;
}

Clip threeRingChime() {
    Clip clip(3.2);
    const double notes[] = {659.3, 830.6, 987.8};
    for (int i = 0; i < 3; ++i) {
        strike(clip, i * 0.5, notes[i], 0.7, 1.3, {{1, 1}, {2, 0.3, 1.5}, {3, 0.12, 2}, {4.2, 0.06, 2.6}},
               3.2 - i * 0.5, 0.003);
    }
    return clip;
}

// --- The ticking loops ---------------------------------------------------------------------------

// One tick of a clock: a click of noise through the case's resonance, and the case ringing a moment.
void tick(Clip& clip, Random& random, double start, double frequency, double amplitude, double ring = 160) {
    noiseBurst(clip, random, start, 0.05, amplitude, 320, frequency * 1.6, 1.5);
    strike(clip, start, frequency, amplitude * 0.5, ring, kClock, 0.06, 0.0005);
}

Clip music() {
    Clip clip(8.0, true);
    const double bars[2][8] = {{261.6, 329.6, 392, 493.9, 523.3, 493.9, 392, 329.6},
                               {220, 261.6, 329.6, 392, 440, 392, 329.6, 261.6}};
    for (int bar = 0; bar < 2; ++bar) {
        for (int i = 0; i < 8; ++i)
            strike(clip, bar * 4 + i * 0.5, bars[bar][i], 0.5, 2.2, kMarimba, 1.6, 0.004);
        strike(clip, bar * 4, bars[bar][0] / 2, 0.35, 0.9, kMarimba, 4.0, 0.01);
    }
    return clip;
}

Clip silentLoop() {
    return Clip(1.0, true);
}

Clip ticking() {
    Clip clip(2.0, true);
    Random random(11);
    for (double start : {0.0, 1.0}) tick(clip, random, start, 2000, 0.8);
    return clip;
}

Clip wallClockTicking() {
    Clip clip(2.0, true);
    Random random(12);
    tick(clip, random, 0.0, 1200, 0.8, 60);
    tick(clip, random, 1.0, 950, 0.8, 60);
    for (double start : {0.0, 1.0}) strike(clip, start, 180, 0.3, 40, kSine, 0.15, 0.001);
    return clip;
}

Clip tickTock1() {
    Clip clip(1.0, true);
    Random random(13);
    tick(clip, random, 0.0, 2400, 0.8);
    tick(clip, random, 0.5, 1700, 0.8);
    return clip;
}

Clip tickTock2() {
    Clip clip(2.0, true);
    Random random(14);
    for (auto [start, frequency] : {std::pair{0.0, 3100.0}, std::pair{1.0, 2350.0}}) {
        strike(clip, start, frequency, 0.6, 70, {{1, 1}, {1.52, 0.7}, {2.3, 0.3}}, 0.2, 0.0005);
        strike(clip, start + 0.09, frequency, 0.15, 70, {{1, 1}, {1.52, 0.7}}, 0.2, 0.0005);  // the echo
        noiseBurst(clip, random, start, 0.02, 0.3, 500, 5000, 2);
    }
    return clip;
}

Clip fastTicking() {
    Clip clip(1.0, true);
    Random random(15);
    for (int i = 0; i < 4; ++i) tick(clip, random, i * 0.25, 4000, 0.7, 260);
    return clip;
}

Clip dripping() {
    Clip clip(4.0, true);
    Random random(16);
    for (double start : {0.1, 0.85, 1.45, 2.3, 2.75, 3.4}) {
        const double base = random.between(650, 900);
        for (auto [delay, level] : {std::pair{0.0, 1.0}, std::pair{0.11, 0.25}, std::pair{0.23, 0.08}}) {
            double phase = 0;
            const long count = at(0.18);
            for (long i = 0; i < count; ++i) {
                const double t = static_cast<double>(i) / kRate;
                phase += 2 * kPi * base * (1 + std::min(1.0, t / 0.02)) / kRate;  // the bubble's rising pitch
                clip.add(at(start + delay) + i,
                         level * std::exp(-28 * t) * std::min(1.0, t / 0.001) * std::sin(phase));
            }
        }
    }
    return clip;
}

Clip steamLoop() {
    Clip clip(4.0, true);
    Random random(17);
    Resonator hiss(2500, 0.5);
    const auto noise = loopedNoise(clip.size(), random, [&](double x) { return hiss(x); });
    const auto swell = loopedSwell(clip.size(), random, 4, 0.6, 1.0);
    for (std::size_t i = 0; i < clip.size(); ++i) clip.samples[i] = noise[i] * swell[i];
    return clip;
}

// Many voices far off: noise in the band of speech, rising and falling at the pace of syllables.
void murmur(Clip& clip, Random& random, double centre, double level, int syllables) {
    Resonator band(centre, 0.9);
    LowPass soften(1800);
    const auto noise = loopedNoise(clip.size(), random, [&](double x) { return soften(band(x)); });
    const auto voices = loopedSwell(clip.size(), random, syllables, 0.35, 1.0);
    for (std::size_t i = 0; i < clip.size(); ++i) clip.samples[i] += level * noise[i] * voices[i];
}

void cupClinks(Clip& clip, Random& random, int count, double level) {
    const double seconds = static_cast<double>(clip.size()) / kRate;
    for (int i = 0; i < count; ++i) {
        const double start = random.between(0, seconds);
        strike(clip, start, random.between(2600, 3400), level, 22, {{1, 1}, {1.88, 0.5, 1.4}, {3.1, 0.2, 2}},
               0.3);
    }
}

Clip cafeNoise() {
    Clip clip(6.0, true);
    Random random(18);
    murmur(clip, random, 650, 1.0, 36);
    cupClinks(clip, random, 3, 0.06);
    return clip;
}

Clip cafeNoise2() {
    Clip clip(6.0, true);
    Random random(19);
    murmur(clip, random, 380, 0.8, 30);
    murmur(clip, random, 800, 0.6, 44);
    LowPass rumble(120);
    const auto low = loopedNoise(clip.size(), random, [&](double x) { return rumble(x); });
    for (std::size_t i = 0; i < clip.size(); ++i) clip.samples[i] += 3.0 * low[i];
    cupClinks(clip, random, 6, 0.08);
    return clip;
}

void rainOn(Clip& clip, Random& random, double body, double drizzle, int dropsPerSecond) {
    LowPass low(500);
    Resonator high(5000, 0.4);
    const auto lows = loopedNoise(clip.size(), random, [&](double x) { return low(x); });
    const auto highs = loopedNoise(clip.size(), random, [&](double x) { return high(x); });
    for (std::size_t i = 0; i < clip.size(); ++i) clip.samples[i] += body * 4 * lows[i] + drizzle * highs[i];
    const double seconds = static_cast<double>(clip.size()) / kRate;
    const int drops = static_cast<int>(dropsPerSecond * seconds);
    for (int i = 0; i < drops; ++i) {
        noiseBurst(clip, random, random.between(0, seconds), 0.03, random.between(0.1, 0.35), 180,
                   random.between(1800, 5000), 3);
    }
}

Clip rain() {
    Clip clip(4.0, true);
    Random random(20);
    rainOn(clip, random, 0.5, 0.5, 60);
    return clip;
}

Clip rainLight() {
    Clip clip(4.0, true);
    Random random(21);
    rainOn(clip, random, 0.12, 0.3, 14);
    return clip;
}

Clip fijiBeach() {
    Clip clip(8.0, true);
    Random random(22);
    LowPass surf(700);
    Resonator foam(2500, 0.7);
    const auto surfs = loopedNoise(clip.size(), random, [&](double x) { return surf(x); });
    const auto foams = loopedNoise(clip.size(), random, [&](double x) { return foam(x); });
    for (std::size_t i = 0; i < clip.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(clip.size());
        // One wave per loop: it swells, breaks a third of the way in and runs back up the sand.
        const double swell = 0.12 + 0.88 * std::pow(std::sin(kPi * std::pow(x, 0.6)), 2);
        const double wash = std::pow(std::max(0.0, std::sin(kPi * (x - 0.3) / 0.7)), 2);
        clip.samples[i] = 3.5 * surfs[i] * swell + 0.3 * foams[i] * (0.04 + wash);
    }
    return clip;
}

// --- Files ---------------------------------------------------------------------------------------

void putLittleEndian(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
}

bool writeWAV(const fs::path& path, const Clip& clip) {
    std::ofstream out(path, std::ios::binary);
    const auto dataBytes = static_cast<std::uint32_t>(clip.size() * 2);
    out << "RIFF";
    putLittleEndian(out, 36 + dataBytes, 4);
    out << "WAVEfmt ";
    putLittleEndian(out, 16, 4);
    putLittleEndian(out, 1, 2);  // PCM
    putLittleEndian(out, 1, 2);  // mono
    putLittleEndian(out, kRate, 4);
    putLittleEndian(out, kRate * 2, 4);
    putLittleEndian(out, 2, 2);
    putLittleEndian(out, 16, 2);
    out << "data";
    putLittleEndian(out, dataBytes, 4);
    for (double value : clip.samples) {
        const auto sample = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
        putLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
    }
    return static_cast<bool>(out);
}

// Variable bit rate, because only then does lame write the header that records its delay and
// padding (for a 22.05 kHz constant rate it writes none); the decoder drops both and gives back
// exactly the samples put in, so the loop stays seamless.
bool encodeMP3(const std::string& lame, const fs::path& wav, const fs::path& mp3) {
    std::vector<std::string> arguments = {lame, "--quiet", "-m", "m", "-V", "5", wav.string(), mp3.string()};
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child;
    if (posix_spawnp(&child, lame.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    if (waitpid(child, &status, 0) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Sound {
    const char* name;
    std::function<Clip()> draw;
    double peak;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output folder> <lame>\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    const std::string lame = argv[2];
    std::error_code error;
    fs::create_directories(folder, error);

    const Sound alarms[] = {
        {"None", none, 0},
        {"Desk", desk, 0.8},
        {"Ding", ding, 0.8},
        {"Chimes", chimes, 0.8},
        {"Bicycle", bicycle, 0.8},
        {"Cymbals", cymbals, 0.7},
        {"Bells", bells, 0.8},
        {"Slash", slash, 0.8},
        {"News", news, 0.75},
        {"Whistle", whistle, 0.7},
        {"Steam", steam, 0.7},
        {"Jingle", jingle, 0.75},
        {"Sweet", sweet, 0.8},
        {"Beep", beep, 0.6},
        {"Wind Up", windUp, 0.8},
        {"Kitten", kitten, 0.75},
        {"Three Ring Chime", threeRingChime, 0.8},
    };
    const Sound loops[] = {
        {"Music", music, 0.6},
        {"None", silentLoop, 0},
        {"Ticking", ticking, 0.7},
        {"Wall Clock Ticking", wallClockTicking, 0.7},
        {"Tick Tock 1", tickTock1, 0.7},
        {"Tick Tock 2", tickTock2, 0.7},
        {"Fast Ticking", fastTicking, 0.6},
        {"Dripping", dripping, 0.7},
        {"Steam", steamLoop, 0.5},
        {"Cafe Noise", cafeNoise, 0.5},
        {"Cafe Noise 2", cafeNoise2, 0.5},
        {"Rain", rain, 0.55},
        {"Rain Light", rainLight, 0.45},
        {"Fiji Beach", fijiBeach, 0.55},
    };

    for (const auto& sound : alarms) {
        Clip clip = sound.draw();
        finish(clip, sound.peak);
        if (!writeWAV(folder / (std::string(sound.name) + ".wav"), clip)) {
            std::fprintf(stderr, "make_sounds: cannot write %s.wav\n", sound.name);
            return 1;
        }
    }
    const fs::path scratch = folder / "loops.tmp";
    fs::create_directories(scratch, error);
    for (const auto& sound : loops) {
        Clip clip = sound.draw();
        finish(clip, sound.peak);
        const fs::path wav = scratch / (std::string(sound.name) + ".wav");
        if (!writeWAV(wav, clip) || !encodeMP3(lame, wav, folder / (std::string(sound.name) + ".mp3"))) {
            std::fprintf(stderr, "make_sounds: cannot encode %s.mp3\n", sound.name);
            return 1;
        }
    }
    fs::remove_all(scratch, error);
    return 0;
}
