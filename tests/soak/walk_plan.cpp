#include "tests/soak/walk_plan.h"

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "platform/uikit/device/device_profile.h"
#include "tests/platform/foundation/civil_time.h"

namespace quorvel::soak {

namespace {

using Kind = WalkStep::Kind;

struct Weighted {
    Kind kind;
    int weight;
};

// A life lasts some fifty steps, long enough to get somewhere in the app. The timer is started often
// enough that a session runs through most of the walk.
constexpr std::array kWeights{
    Weighted{Kind::tap, 300},       Weighted{Kind::swipe, 100},     Weighted{Kind::wait, 140},
    Weighted{Kind::waitForEnd, 60}, Weighted{Kind::turn, 25},       Weighted{Kind::split, 12},
    Weighted{Kind::background, 25}, Weighted{Kind::foreground, 30}, Weighted{Kind::resign, 10},
    Weighted{Kind::activate, 12},   Weighted{Kind::quit, 8},        Weighted{Kind::kill, 10},
    Weighted{Kind::setBack, 3},     Weighted{Kind::sync, 8},        Weighted{Kind::music, 12},
    Weighted{Kind::setting, 30},    Weighted{Kind::play, 400},      Weighted{Kind::nearEnd, 10},
    Weighted{Kind::overReset, 4},   Weighted{Kind::device, 8},      Weighted{Kind::backUp, 3},
    Weighted{Kind::putBack, 4},
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

// Half of the devices a relaunch picks are phones with a notch, where the safe area matters most.
std::uint32_t devicePick(std::mt19937_64& random) {
    const auto& models = platform::DeviceProfile::knownModels();
    std::vector<std::uint32_t> notched;
    for (std::uint32_t i = 0; i < models.size(); ++i) {
        if (models[i].safeAreaInsetsFor(platform::UIInterfaceOrientation::portrait).bottom > 0 &&
            models[i].family == platform::DeviceFamily::phone)
            notched.push_back(i);
    }
    const auto count = static_cast<std::uint32_t>(models.size());
    const std::uint32_t model = random() % 2 == 0 && !notched.empty()
                                    ? notched[random() % notched.size()]
                                    : static_cast<std::uint32_t>(random() % count);
    return model + count * static_cast<std::uint32_t>(random() % 16);
}

Kind drawKind(std::mt19937_64& random) {
    static const int total = [] {
        int sum = 0;
        for (const auto& entry : kWeights) sum += entry.weight;
        return sum;
    }();
    int roll = static_cast<int>(random() % static_cast<std::uint64_t>(total));
    for (const auto& entry : kWeights) {
        if (roll < entry.weight) return entry.kind;
        roll -= entry.weight;
    }
    return kWeights.front().kind;
}

std::uint32_t valueFor(Kind kind, std::mt19937_64& random) {
    switch (kind) {
        case Kind::wait:
            return pause(random);
        case Kind::waitForEnd:
            return static_cast<std::uint32_t>(random() % 30);
        case Kind::nearEnd:
            return static_cast<std::uint32_t>(1 + random() % 10);
        case Kind::overReset:
            return static_cast<std::uint32_t>(1 + random() % 1200);
        case Kind::turn:
            return static_cast<std::uint32_t>(1 + random() % 6);
        case Kind::quit:
        case Kind::kill:
        case Kind::backUp:
            return absence(random);
        case Kind::putBack:
            return static_cast<std::uint32_t>(random() % 3) + 3 * absence(random);
        case Kind::device:
            return devicePick(random) + 1000 * static_cast<std::uint32_t>(1 + random() % 120);
        case Kind::setBack:
            return static_cast<std::uint32_t>(60 + random() % 540);
        case Kind::sync:
            return static_cast<std::uint32_t>(1 + random() % 3);
        default:
            return static_cast<std::uint32_t>(random() % 100000);
    }
}

// The moments faults hide in: every other kill or quit lands within a second of a session's end (just
// before or just after it), every third wait for the end happens minimised, and every other pass over
// the reset moment happens minimised, ending in a return or a kill.
void addMove(Kind kind, std::mt19937_64& random, Walk& walk) {
    const auto push = [&](Kind k) { walk.push_back({k, valueFor(k, random)}); };
    const bool timed = random() % 2 == 0;
    switch (kind) {
        case Kind::quit:
        case Kind::kill:
            if (timed) {
                walk.push_back(random() % 2 == 0
                                   ? WalkStep{Kind::nearEnd, static_cast<std::uint32_t>(1 + random() % 10)}
                                   : WalkStep{Kind::waitForEnd, static_cast<std::uint32_t>(random() % 10)});
            }
            push(kind);
            return;
        case Kind::waitForEnd:
            if (random() % 3 != 0) return push(kind);
            push(Kind::background);
            push(kind);
            push(Kind::foreground);
            return;
        case Kind::putBack:
            // Nothing to put back before the first copy: that copy is made instead.
            if (std::none_of(walk.begin(), walk.end(),
                             [](const WalkStep& s) { return s.kind == Kind::backUp; }))
                return push(Kind::backUp);
            return push(kind);
        case Kind::overReset:
            if (!timed) return push(kind);
            push(Kind::background);
            push(kind);
            walk.push_back(random() % 2 == 0
                               ? WalkStep{Kind::foreground, valueFor(Kind::foreground, random)}
                               : WalkStep{Kind::kill, static_cast<std::uint32_t>(1 + random() % 60)});
            return;
        default:
            return push(kind);
    }
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
    Walk walk;
    walk.reserve(count + 3);
    while (walk.size() < count) addMove(drawKind(random), random, walk);
    walk.resize(count);
    return walk;
}

}  // namespace quorvel::soak
