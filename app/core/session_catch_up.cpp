#include "app/core/session_catch_up.h"

#include <algorithm>

#include "app/core/session_order.h"
#include "platform/foundation/saturating_cast.h"

namespace quorvel {

namespace {

// The automatic restart's delay between the end of one session and the start of the next.
constexpr double kRestartDelay = 0.5;

}  // namespace

SessionCatchUp::Result SessionCatchUp::walk(std::int64_t runSeconds, std::int64_t startedMinutes,
                                            SessionType startedType, std::int64_t round,
                                            const Settings& settings) {
    const double run = static_cast<double>(runSeconds);
    const double startedLength = static_cast<double>(startedMinutes) * 60;
    if (run < startedLength) return {startedLength - run, startedMinutes, startedType, round, {}};

    Result result{0, 0, startedType, round, {}};
    const auto countFocus = [&](std::int64_t minutes, double end) {
        // A focus session of no length is not counted (as when the engine ends one).
        if (minutes <= 0) return;
        result.round = platform::addSaturating(result.round, 1);
        result.finished.push_back({minutes, end});
    };
    if (startedType == SessionType::focus) countFocus(startedMinutes, startedLength);

    // Seconds from the start to the start of the next session. Every session after the started one
    // is followed by the restart's delay.
    double walked = startedLength;
    SessionType passed = startedType;
    for (int count = 0;; ++count) {
        const SessionType next = nextSessionType(passed, result.round, settings.roundLimit);
        const double length = settings.lengthOf(next);
        if (walked + length + kRestartDelay > run || count == kMaxPassedSessions) {
            result.type = next;
            result.minutes = static_cast<std::int64_t>(length / 60);
            result.remainingSeconds = std::clamp(length - (run - walked), 0.0, length);
            return result;
        }
        if (next == SessionType::focus) countFocus(static_cast<std::int64_t>(length / 60), walked + length);
        walked += length + kRestartDelay;
        passed = next;
    }
}

}  // namespace quorvel
