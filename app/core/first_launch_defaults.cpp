#include "app/core/first_launch_defaults.h"

#include "app/core/theme_colors.h"

namespace quorvel {

std::vector<UserDefaultProperties> firstLaunchDefaults() {
    using P = UserDefaultProperties;
    const auto& focus = defaultFocusThemeColor();
    const auto& shortBreak = defaultShortBreakThemeColor();
    const auto& longBreak = defaultLongBreakThemeColor();
    return {
        P::focusThemeColor(focus),
        P::sharedFocusThemeColor(focus),
        P::shortBreakThemeColor(shortBreak),
        P::sharedShortBreakThemeColor(shortBreak),
        P::longBreakThemeColor(longBreak),
        P::sharedLongBreakThemeColor(longBreak),
        P::remainingRoundTime(25.0),
        P::sharedRemainingRoundTime(25.0),
        P::progressedRoundTime(1.0),
        P::sharedProgressedRoundTime(1.0),
        P::remainingRoundTimeString("25:00"),
        P::sharedRemainingRoundTimeString("25:00"),
        P::latestTimerType(SessionType::focus),
        P::sharedLatestTimerType(SessionType::focus),
        P::roundLimit(4),
        P::sharedRoundLimit(4),
        P::goalLimit(12),
        P::sharedGoalLimit(12),
        P::latestRound(0),
        P::sharedLatestRound(0),
        P::latestGoal(0),
        P::sharedLatestGoal(0),
        P::focusLength(25),
        P::shortBreakLength(5),
        P::longBreakLength(25),
        P::focusTickingMusic(""),
        P::shortBreakTickingMusic(""),
        P::longBreakTickingMusic(""),
        P::focusAlertSound("Desk"),
        P::shortBreakAlertSound("Chimes"),
        P::longBreakAlertSound("Bells"),
        P::focusTickingSound("Ticking"),
        P::shortBreakTickingSound("Wall Clock Ticking"),
        P::longBreakTickingSound("Fiji Beach"),
        P::resetCounterAtMidnight(true),
        P::preventLockScreenEnabled(true),
        P::focusReminderTime(14),
        P::focusReminderEnabled(true),
        P::focusReminderWeekday("2"),
        P::autoRestart(true),
        P::autoResetHour(0),
        P::timerBadgeEnabled(true),
        P::tickingEnabled(true),
        P::alarmEnabled(true),
        P::tickingVolume(1.0f),
        P::alarmVolume(1.0f),
    };
}

}  // namespace quorvel
