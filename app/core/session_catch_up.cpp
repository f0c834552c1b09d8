#include "app/core/session_catch_up.h"

#include <algorithm>
#include <cmath>

#include "app/core/session_order.h"
#include "platform/foundation/saturating_cast.h"

namespace quorvel {

namespace {

// The automatic restart's delay between the end of one session and the start of the next.
constexpr double kRestartDelay = 0.5;

}  // namespace

SessionCatchUp::Result SessionCatchUp::walk(std::int64_t runSeconds, const Started& started,
                                            std::int64_t round, const Settings& settings) {
    const auto lengthOrZero = [](double seconds) {
        return std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0;
    };
    const double run = static_cast<double>(runSeconds);
    const double startedLength = lengthOrZero(started.seconds);
    const SessionType startedType = started.type;
    if (run < startedLength) return {startedLength - run, startedLength, startedType, round, {}};

    Result result{0, 0, startedType, round, {}};
    const auto countFocus = [&](double length, double storedLength, double end) {
        // Counted and stored as the engine does when one ends: any length, in whole minutes.
        if (!(length > 0)) return;
        result.round = platform::addSaturating(result.round, 1);
        result.finished.push_back({platform::truncatedSaturating(storedLength / 60), end});
    };
    if (startedType == SessionType::focus) {
        countFocus(startedLength, std::max(lengthOrZero(started.wholeSeconds), startedLength), startedLength);
    }

    // Seconds from the start to the start of the next session. Every session after the started one
    // is followed by the restart's delay.
    double walked = startedLength;
    SessionType passed = startedType;
    for (int count = 0;; ++count) {
        const SessionType next = nextSessionType(passed, result.round, settings.roundLimit);
        const double length = settings.lengthOf(next);
        if (walked + length + kRestartDelay > run || count == kMaxPassedSessions) {
            result.type = next;
            result.lengthSeconds = length;
            result.remainingSeconds = std::clamp(length - (run - walked), 0.0, length);
            return result;
        }
        if (next == SessionType::focus) countFocus(length, length, walked + length);
        walked += length + kRestartDelay;
        passed = next;
    }
}

}  // namespace quorvel
