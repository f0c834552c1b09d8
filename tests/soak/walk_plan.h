#pragma once

#include <cstdint>
#include <string>

#include "tests/soak/walk_step.h"

namespace quorvel::soak {

// What a walk starts from, drawn from its seed: the device and the moment of the first launch (in
// Berlin, two days before a change of daylight time or on an ordinary day), so that a walk's seed and
// steps are all a replay needs.
struct WalkSetup {
    std::string device;
    double start = 0;  // seconds since 2001, UTC
};

class WalkPlan {
public:
    static WalkSetup setup(std::uint64_t seed);
    // `count` steps drawn from the seed, weighted as a person's use: mostly taps, swipes, the timer
    // started and time passing, now and then the window's life cycle, a quit, a kill, a relaunch on
    // another device, a clock set back, a second installation's sync, a change in the music folder, the
    // store and sync state copied aside or put back from that copy; some land where faults hide, within
    // a second of a session's end or over the daily reset.
    static Walk steps(std::uint64_t seed, std::size_t count);
};

}  // namespace quorvel::soak
