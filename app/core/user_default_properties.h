#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "app/core/timer_vocabulary.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// One user setting or piece of saved timer state, with its value. Saving writes the value under the
// case's key into the case's suite: the standard suite, or for the `shared…` cases the app-group suite
// that other programs of the group read. The key strings and stored kinds are a file format: keep them.
class UserDefaultProperties {
public:
    static constexpr const char* kAppGroupSuiteName = "group.Brelloc.PomodoroShare";

    enum class Case {
        roundLimit,
        goalLimit,
        focusLength,
        longBreakLength,
        shortBreakLength,
        latestLength,
        latestLengthMilliseconds,
        sessionWholeLength,
        focusTickingSound,
        shortBreakTickingSound,
        longBreakTickingSound,
        focusTickingMusic,
        shortBreakTickingMusic,
        longBreakTickingMusic,
        focusTickingMusicTitle,
        shortBreakTickingMusicTitle,
        longBreakTickingMusicTitle,
        focusAlertSound,
        shortBreakAlertSound,
        longBreakAlertSound,
        focusThemeColor,
        shortBreakThemeColor,
        longBreakThemeColor,
        alarmVolume,
        tickingVolume,
        alarmEnabled,
        tickingEnabled,
        preventLockScreenEnabled,
        autoRestart,
        vibrateAlarmEnabled,
        timerBadgeEnabled,
        focusReminderTime,
        focusReminderEnabled,
        focusReminderWeekday,
        autoResetHour,
        resetCounterAtMidnight,
        latestRound,
        latestGoal,
        remainingRoundTime,
        progressedRoundTime,
        remainingRoundTimeString,
        latestTimerType,
        sharedRoundLimit,
        sharedGoalLimit,
        sharedFocusThemeColor,
        sharedShortBreakThemeColor,
        sharedLongBreakThemeColor,
        sharedLatestRound,
        sharedLatestGoal,
        sharedRemainingRoundTime,
        sharedProgressedRoundTime,
        sharedRemainingRoundTimeString,
        sharedLatestTimerType,
    };
    static constexpr std::size_t kCaseCount = 53;

    using Color = std::shared_ptr<platform::UIColor>;
    // The payload's type fixes how it is stored: integer, Boolean, float and double as such; optional
    // strings and numbers as objects (absent removes the key); colours archived (a null colour is absent);
    // session types as their raw integer (absent writes nothing).
    using Payload =
        std::variant<std::int64_t, bool, float, double, std::optional<std::string>, Color,
                     std::optional<std::int64_t>, std::optional<double>, std::optional<SessionType>>;
    using OptionalString = std::optional<std::string>;

    static UserDefaultProperties roundLimit(std::int64_t v) { return {Case::roundLimit, v}; }
    static UserDefaultProperties goalLimit(std::int64_t v) { return {Case::goalLimit, v}; }
    static UserDefaultProperties focusLength(std::int64_t v) { return {Case::focusLength, v}; }
    static UserDefaultProperties longBreakLength(std::int64_t v) { return {Case::longBreakLength, v}; }
    static UserDefaultProperties shortBreakLength(std::int64_t v) { return {Case::shortBreakLength, v}; }
    static UserDefaultProperties latestLength(std::int64_t v) { return {Case::latestLength, v}; }
    // The started session's exact length beside its whole minutes, for the catch-up.
    static UserDefaultProperties latestLengthMilliseconds(double v) { return {Case::latestLengthMilliseconds, v}; }
    // The whole length (milliseconds) the session in hand began with: a session reloaded from the
    // saved state runs only what was left of it, but ends as the session it was.
    static UserDefaultProperties sessionWholeLength(double v) { return {Case::sessionWholeLength, v}; }
    static UserDefaultProperties focusTickingSound(OptionalString v) { return {Case::focusTickingSound, v}; }
    static UserDefaultProperties shortBreakTickingSound(OptionalString v) {
        return {Case::shortBreakTickingSound, v};
    }
    static UserDefaultProperties longBreakTickingSound(OptionalString v) {
        return {Case::longBreakTickingSound, v};
    }
    static UserDefaultProperties focusTickingMusic(OptionalString v) { return {Case::focusTickingMusic, v}; }
    static UserDefaultProperties shortBreakTickingMusic(OptionalString v) {
        return {Case::shortBreakTickingMusic, v};
    }
    static UserDefaultProperties longBreakTickingMusic(OptionalString v) {
        return {Case::longBreakTickingMusic, v};
    }
    static UserDefaultProperties focusTickingMusicTitle(OptionalString v) {
        return {Case::focusTickingMusicTitle, v};
    }
    static UserDefaultProperties shortBreakTickingMusicTitle(OptionalString v) {
        return {Case::shortBreakTickingMusicTitle, v};
    }
    static UserDefaultProperties longBreakTickingMusicTitle(OptionalString v) {
        return {Case::longBreakTickingMusicTitle, v};
    }
    static UserDefaultProperties focusAlertSound(OptionalString v) { return {Case::focusAlertSound, v}; }
    static UserDefaultProperties shortBreakAlertSound(OptionalString v) {
        return {Case::shortBreakAlertSound, v};
    }
    static UserDefaultProperties longBreakAlertSound(OptionalString v) {
        return {Case::longBreakAlertSound, v};
    }
    static UserDefaultProperties focusThemeColor(Color v) { return {Case::focusThemeColor, v}; }
    static UserDefaultProperties shortBreakThemeColor(Color v) { return {Case::shortBreakThemeColor, v}; }
    static UserDefaultProperties longBreakThemeColor(Color v) { return {Case::longBreakThemeColor, v}; }
    static UserDefaultProperties alarmVolume(float v) { return {Case::alarmVolume, v}; }
    static UserDefaultProperties tickingVolume(float v) { return {Case::tickingVolume, v}; }
    static UserDefaultProperties alarmEnabled(bool v) { return {Case::alarmEnabled, v}; }
    static UserDefaultProperties tickingEnabled(bool v) { return {Case::tickingEnabled, v}; }
    static UserDefaultProperties preventLockScreenEnabled(bool v) {
        return {Case::preventLockScreenEnabled, v};
    }
    static UserDefaultProperties autoRestart(bool v) { return {Case::autoRestart, v}; }
    static UserDefaultProperties vibrateAlarmEnabled(bool v) { return {Case::vibrateAlarmEnabled, v}; }
    static UserDefaultProperties timerBadgeEnabled(bool v) { return {Case::timerBadgeEnabled, v}; }
    static UserDefaultProperties focusReminderTime(std::int64_t v) { return {Case::focusReminderTime, v}; }
    static UserDefaultProperties focusReminderEnabled(bool v) { return {Case::focusReminderEnabled, v}; }
    static UserDefaultProperties focusReminderWeekday(OptionalString v) {
        return {Case::focusReminderWeekday, v};
    }
    static UserDefaultProperties autoResetHour(std::int64_t v) { return {Case::autoResetHour, v}; }
    static UserDefaultProperties resetCounterAtMidnight(bool v) { return {Case::resetCounterAtMidnight, v}; }
    static UserDefaultProperties latestRound(std::int64_t v) { return {Case::latestRound, v}; }
    static UserDefaultProperties latestGoal(std::int64_t v) { return {Case::latestGoal, v}; }
    static UserDefaultProperties remainingRoundTime(double v) { return {Case::remainingRoundTime, v}; }
    // A progress that is not a number (a zero-length session) is stored as 0.
    static UserDefaultProperties progressedRoundTime(double v);
    static UserDefaultProperties remainingRoundTimeString(OptionalString v) {
        return {Case::remainingRoundTimeString, v};
    }
    static UserDefaultProperties latestTimerType(SessionType v) {
        return {Case::latestTimerType, std::optional<SessionType>(v)};
    }
    static UserDefaultProperties sharedRoundLimit(std::optional<std::int64_t> v) {
        return {Case::sharedRoundLimit, v};
    }
    static UserDefaultProperties sharedGoalLimit(std::optional<std::int64_t> v) {
        return {Case::sharedGoalLimit, v};
    }
    // An absent colour stores the session kind's default colour, so the group always has one.
    static UserDefaultProperties sharedFocusThemeColor(Color v) { return {Case::sharedFocusThemeColor, v}; }
    static UserDefaultProperties sharedShortBreakThemeColor(Color v) {
        return {Case::sharedShortBreakThemeColor, v};
    }
    static UserDefaultProperties sharedLongBreakThemeColor(Color v) {
        return {Case::sharedLongBreakThemeColor, v};
    }
    static UserDefaultProperties sharedLatestRound(std::optional<std::int64_t> v) {
        return {Case::sharedLatestRound, v};
    }
    static UserDefaultProperties sharedLatestGoal(std::optional<std::int64_t> v) {
        return {Case::sharedLatestGoal, v};
    }
    static UserDefaultProperties sharedRemainingRoundTime(std::optional<double> v) {
        return {Case::sharedRemainingRoundTime, v};
    }
    static UserDefaultProperties sharedProgressedRoundTime(std::optional<double> v);
    static UserDefaultProperties sharedRemainingRoundTimeString(OptionalString v) {
        return {Case::sharedRemainingRoundTimeString, v};
    }
    static UserDefaultProperties sharedLatestTimerType(std::optional<SessionType> v) {
        return {Case::sharedLatestTimerType, v};
    }

    // Writes the value into its suite without synchronising: a caller that needs it on disk now
    // synchronises the standard suite, and the app-group suite after `shared…` cases. Writes meant for a
    // missing app-group suite are skipped.
    static void save(const UserDefaultProperties& value);
    // The same without asking for a write: the value reaches the file with the suite's next write.
    static void saveLazily(const UserDefaultProperties& value);

    Case which() const { return which_; }
    const Payload& payload() const { return payload_; }
    static const char* key(Case which);
    static bool isShared(Case which);

    // One object per suite for the life of the process (the defaults registry keeps them).
    static std::shared_ptr<platform::NSUserDefaults> standardDefaults();
    // None when the group's suite cannot be had.
    static std::shared_ptr<platform::NSUserDefaults> appGroupDefaults();

private:
    static void write(const UserDefaultProperties& value,
                      void (platform::NSUserDefaults::*set)(const platform::Value&, const std::string&));
    UserDefaultProperties(Case which, Payload payload) : which_(which), payload_(std::move(payload)) {}

    Case which_;
    Payload payload_;
};

}  // namespace quorvel
