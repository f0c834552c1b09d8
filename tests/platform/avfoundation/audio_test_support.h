#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "platform/foundation/clock.h"
#include "tests/support/eventually.h"

namespace quorvel::testing {

// A 16-bit mono 22.05 kHz WAV file of a soft tone, `seconds` long; of pure silence at amplitude 0.
inline void writeToneWAV(const std::filesystem::path& path, double seconds, double amplitude = 8000) {
    constexpr int kRate = 22050;
    const auto frames = static_cast<std::uint32_t>(seconds * kRate);
    auto put = [](std::ofstream& out, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    put(out, 36 + frames * 2, 4);
    out << "WAVEfmt ";
    put(out, 16, 4);
    put(out, 1, 2);
    put(out, 1, 2);
    put(out, kRate, 4);
    put(out, kRate * 2, 4);
    put(out, 2, 2);
    put(out, 16, 2);
    out << "data";
    put(out, frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto sample = static_cast<std::int16_t>(amplitude * std::sin(2 * 3.14159265 * 440 * i / kRate));
        put(out, static_cast<std::uint16_t>(sample), 2);
    }
}

// How many files the process has open.
inline std::size_t openDescriptors() {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                                  std::filesystem::directory_iterator()));
}

// Sound plays in real time: runs the app's queues until `done` holds (false only past kPatience).
inline bool runUntil(platform::VirtualClock& clock, const std::function<bool()>& done) {
    return eventually(done, [&] { clock.runUntilIdle(); });
}

// For what must not happen while sound plays: runs the app's queues for `seconds` of wall time and
// answers whether `happened` came to hold meanwhile. A sound program never lets it, however loaded the
// machine: the window only sets how long the test looks.
inline bool happensWithin(platform::VirtualClock& clock, const std::function<bool()>& happened, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        clock.runUntilIdle();
        if (happened()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace quorvel::testing
