#pragma once

#include "app/core/timer_vocabulary.h"

namespace quorvel {

enum class TimerLengthSetting { focus, shortBreak, longBreak };

// The session whose length the setting is.
constexpr SessionType sessionTypeOf(TimerLengthSetting setting) {
    switch (setting) {
        case TimerLengthSetting::shortBreak:
            return SessionType::shortBreak;
        case TimerLengthSetting::longBreak:
            return SessionType::longBreak;
        case TimerLengthSetting::focus:
            break;
    }
    return SessionType::focus;
}
enum class SessionSetting { sessionsPerRound, dailyGoal };

// Which value the length and count picker edits: one of the three session lengths, or the sessions
// per round or the daily goal.
struct CarouselFunction {
    enum class Kind { timer, focus };

    static CarouselFunction timer(TimerLengthSetting setting) { return {Kind::timer, setting, {}}; }
    static CarouselFunction focus(SessionSetting setting) { return {Kind::focus, {}, setting}; }

    Kind kind = Kind::timer;
    TimerLengthSetting length = TimerLengthSetting::focus;  // timer
    SessionSetting session = SessionSetting::sessionsPerRound;  // focus

    bool operator==(const CarouselFunction&) const = default;
};

}  // namespace quorvel
