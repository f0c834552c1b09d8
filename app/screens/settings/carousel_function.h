#pragma once

namespace quorvel {

enum class TimerLengthSetting { focus, shortBreak, longBreak };
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
