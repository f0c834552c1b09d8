#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "app/core/timer_vocabulary.h"

namespace quorvel {

// Where the timer would stand had it kept running while the app was away: the walk over the
// sessions that ended in the meantime, each started 0.5 s after the one before (the automatic
// restart's delay).
class SessionCatchUp {
public:
    // The settings the walk follows: each type's length in seconds and the round limit.
    struct Settings {
        std::array<std::int64_t, 3> lengthSeconds{};  // by SessionType
        std::int64_t roundLimit = 0;

        double lengthOf(SessionType type) const {
            return static_cast<double>(lengthSeconds[static_cast<std::size_t>(type)]);
        }
    };

    // A focus session that ended on the way, and when: seconds after the walk's start.
    struct FinishedFocus {
        std::int64_t minutes = 0;
        double endSecondsAfterStart = 0;

        bool operator==(const FinishedFocus&) const = default;
    };

    // The session reached, with its length and the seconds it still has to run, the round counter
    // (focus sessions counted, never reduced at a break's end) and the focus sessions that ended.
    struct Result {
        double remainingSeconds = 0;
        double lengthSeconds = 0;
        SessionType type = SessionType::focus;
        std::int64_t round = 0;
        std::vector<FinishedFocus> finished;
    };

    // A walk never passes more sessions than this, whatever the stored dates say.
    static constexpr int kMaxPassedSessions = 1000;

    // The session the walk starts from. Its length is exact: a session reloaded with what was left of
    // it is rarely whole minutes; it is stored, if it is a focus session, with the whole length it
    // began with before it was reloaded (never less than its length).
    struct Started {
        double seconds = 0;
        double wholeSeconds = 0;
        SessionType type = SessionType::focus;
    };

    // `runSeconds` have passed since the `started` session began with the round counter at `round`.
    // A session whose end falls exactly on the walk's end has passed.
    static Result walk(std::int64_t runSeconds, const Started& started, std::int64_t round,
                       const Settings& settings);
};

}  // namespace quorvel
