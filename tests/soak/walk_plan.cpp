#include "tests/soak/walk_plan.h"

#include <array>
#include <random>

#include "tests/platform/foundation/civil_time.h"

namespace quorvel::soak {

namespace {

using Kind = WalkStep::Kind;

struct Weighted {
    Kind kind;
    int weight;
};

// A life lasts some fifty steps, long enough to get somewhere in the app.
constexpr std::array kWeights{
    Weighted{Kind::tap, 400},       Weighted{Kind::swipe, 150},     Weighted{Kind::wait, 140},
    Weighted{Kind::waitForEnd, 60}, Weighted{Kind::turn, 30},       Weighted{Kind::split, 15},
    Weighted{Kind::background, 25}, Weighted{Kind::foreground, 30}, Weighted{Kind::resign, 10},
    Weighted{Kind::activate, 12},   Weighted{Kind::quit, 8},        Weighted{Kind::kill, 10},
    Weighted{Kind::setBack, 3},     Weighted{Kind::sync, 8},        Weighted{Kind::music, 15},
    Weighted{Kind::setting, 40},
};

constexpr std::array kDevices{"iPhone8", "iPhoneXS", "iPhoneSE", "iPadPro11Inch", "iPadPro9Inch"};

// Mostly a short absence; one in five lasts hours.
std::uint32_t absence(std::mt19937_64& random) {
    return random() % 5 == 0 ? 3600 + random() % (12 * 3600) : 1 + random() % 180;
}

// Tenths of a second: mostly a moment, sometimes minutes, now and then hours.
std::uint32_t pause(std::mt19937_64& random) {
    const auto roll = random() % 10;
    if (roll < 6) return 1 + random() % 50;
    if (roll < 9) return 50 + random() % 6000;
    return 6000 + random() % (4 * 36000);
}

}  // namespace

WalkSetup WalkPlan::setup(std::uint64_t seed) {
    std::mt19937_64 random(seed ^ 0x5eedc0ffee);
    WalkSetup setup;
    setup.device = kDevices[random() % kDevices.size()];
    // Evening, two days before summer time begins or ends; or a day in May. Local Berlin hours.
    const auto which = random() % 3;
    const auto day = which == 0   ? testing::utc(2026, 3, 27, 17)
                     : which == 1 ? testing::utc(2026, 10, 23, 16)
                                  : testing::utc(2026, 5, 12, 7);
    setup.start = day.timeIntervalSinceReferenceDate() + static_cast<double>(random() % (4 * 3600));
    return setup;
}

Walk WalkPlan::steps(std::uint64_t seed, std::size_t count) {
    std::mt19937_64 random(seed);
    int total = 0;
    for (const auto& entry : kWeights) total += entry.weight;
    Walk walk;
    walk.reserve(count);
    while (walk.size() < count) {
        int roll = static_cast<int>(random() % static_cast<std::uint64_t>(total));
        Kind kind = kWeights.front().kind;
        for (const auto& entry : kWeights) {
            if (roll < entry.weight) {
                kind = entry.kind;
                break;
            }
            roll -= entry.weight;
        }
        std::uint32_t value = 0;
        switch (kind) {
            case Kind::wait:
                value = pause(random);
                break;
            case Kind::waitForEnd:
                value = static_cast<std::uint32_t>(random() % 30);
                break;
            case Kind::turn:
                value = static_cast<std::uint32_t>(1 + random() % 6);
                break;
            case Kind::quit:
            case Kind::kill:
                value = absence(random);
                break;
            case Kind::setBack:
                value = static_cast<std::uint32_t>(60 + random() % 540);
                break;
            case Kind::sync:
                value = static_cast<std::uint32_t>(1 + random() % 3);
                break;
            default:
                value = static_cast<std::uint32_t>(random() % 100000);
                break;
        }
        walk.push_back({kind, value});
    }
    return walk;
}

}  // namespace quorvel::soak
