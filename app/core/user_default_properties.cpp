#include "app/core/user_default_properties.h"

#include <array>
#include <cmath>

#include "app/core/theme_colors.h"
#include "platform/uikit/drawing/ns_keyed_archiver.h"

namespace quorvel {

namespace {

using Case = UserDefaultProperties::Case;
using platform::NSUserDefaults;
using platform::Value;

enum class Suite { standard, appGroup };

struct Row {
    Case which;
    const char* key;
    Suite suite;
    // What an absent colour of an app-group case stores instead.
    const std::shared_ptr<platform::UIColor>& (*fallbackColor)() = nullptr;
};

constexpr Suite kStandard = Suite::standard;
constexpr Suite kGroup = Suite::appGroup;

// One row per case, in the order of the cases; the shared twins reuse the standard keys.
constexpr std::array<Row, UserDefaultProperties::kCaseCount> kRows{{
    {Case::roundLimit, "PomodoroSet", kStandard},
    {Case::goalLimit, "DailyPomodoroGoal", kStandard},
    {Case::focusLength, "TimePomodoro", kStandard},
    {Case::longBreakLength, "TimeLongBreak", kStandard},
    {Case::shortBreakLength, "TimeShortBreak", kStandard},
    {Case::latestLength, "latestLength", kStandard},
    {Case::latestLengthMilliseconds, "latestLengthMilliseconds", kStandard},
    {Case::sessionWholeLength, "CurrentTimerWholeMilliseconds", kStandard},
    {Case::focusTickingSound, "TickingWork", kStandard},
    {Case::shortBreakTickingSound, "TickingShortBreak", kStandard},
    {Case::longBreakTickingSound, "TickingLongBreak", kStandard},
    {Case::focusTickingMusic, "TickingWorkMusic", kStandard},
    {Case::shortBreakTickingMusic, "TickingShortBreakMusic", kStandard},
    {Case::longBreakTickingMusic, "TickingLongBreakMusic", kStandard},
    {Case::focusTickingMusicTitle, "TickingWorkMusicTitle", kStandard},
    {Case::shortBreakTickingMusicTitle, "TickingShortBreakMusicTitle", kStandard},
    {Case::longBreakTickingMusicTitle, "TickingLongBreakMusicTitle", kStandard},
    {Case::focusAlertSound, "AlarmWork", kStandard},
    {Case::shortBreakAlertSound, "AlarmShortBreak", kStandard},
    {Case::longBreakAlertSound, "AlarmLongBreak", kStandard},
    {Case::focusThemeColor, "Pomodoro Color", kStandard},
    {Case::shortBreakThemeColor, "Short Break Color", kStandard},
    {Case::longBreakThemeColor, "Long Break Color", kStandard},
    {Case::alarmVolume, "SoundVolumeAlarm", kStandard},
    {Case::tickingVolume, "SoundVolumeTicking", kStandard},
    {Case::alarmEnabled, "SoundEnableAlarm", kStandard},
    {Case::tickingEnabled, "SoundEnableTicking", kStandard},
    {Case::preventLockScreenEnabled, "PreventLockScreen", kStandard},
    {Case::autoRestart, "AutoRestart", kStandard},
    {Case::vibrateAlarmEnabled, "VibrateAlarm", kStandard},
    {Case::timerBadgeEnabled, "ShowTimerBadge", kStandard},
    {Case::focusReminderTime, "ReminderTime", kStandard},
    {Case::focusReminderEnabled, "ReceiveReminder", kStandard},
    {Case::focusReminderWeekday, "ReminderWeekday", kStandard},
    {Case::autoResetHour, "AutoResetHour", kStandard},
    {Case::resetCounterAtMidnight, "ResetCounterAtMidnight", kStandard},
    {Case::latestRound, "TimerCountRound", kStandard},
    {Case::latestGoal, "TimerCountGoal", kStandard},
    {Case::remainingRoundTime, "CurrentTimerTime", kStandard},
    {Case::progressedRoundTime, "CurrentTimerValue", kStandard},
    {Case::remainingRoundTimeString, "CurrentTimerText", kStandard},
    {Case::latestTimerType, "CurrentTimerType", kStandard},
    {Case::sharedRoundLimit, "PomodoroSet", kGroup},
    {Case::sharedGoalLimit, "DailyPomodoroGoal", kGroup},
    {Case::sharedFocusThemeColor, "Pomodoro Color", kGroup, defaultFocusThemeColor},
    {Case::sharedShortBreakThemeColor, "Short Break Color", kGroup, defaultShortBreakThemeColor},
    {Case::sharedLongBreakThemeColor, "Long Break Color", kGroup, defaultLongBreakThemeColor},
    {Case::sharedLatestRound, "TimerCountRound", kGroup},
    {Case::sharedLatestGoal, "TimerCountGoal", kGroup},
    {Case::sharedRemainingRoundTime, "CurrentTimerTime", kGroup},
    {Case::sharedProgressedRoundTime, "CurrentTimerValue", kGroup},
    {Case::sharedRemainingRoundTimeString, "CurrentTimerText", kGroup},
    {Case::sharedLatestTimerType, "CurrentTimerType", kGroup},
}};

constexpr bool rowsFollowTheCases() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (static_cast<std::size_t>(kRows[i].which) != i) return false;
    }
    return true;
}
static_assert(rowsFollowTheCases(), "the rows must follow the order of the cases");
static_assert(static_cast<std::size_t>(Case::sharedLatestTimerType) + 1 == kRows.size());

const Row& rowOf(Case which) {
    return kRows[static_cast<std::size_t>(which)];
}

double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

// What the payload stores under the case's key: null removes the key, nothing leaves it alone.
std::optional<Value> storedForm(const Row& row, const UserDefaultProperties::Payload& payload) {
    const auto optional = [](const auto& value) { return value ? Value(*value) : Value(); };
    return std::visit(
        Overloaded{
            [](std::int64_t v) -> std::optional<Value> { return Value(v); },
            [](bool v) -> std::optional<Value> { return Value(v); },
            [](float v) -> std::optional<Value> { return Value(static_cast<double>(v)); },
            [](double v) -> std::optional<Value> { return Value(v); },
            [&](const std::optional<std::string>& v) -> std::optional<Value> { return optional(v); },
            [&](const std::optional<std::int64_t>& v) -> std::optional<Value> { return optional(v); },
            [&](const std::optional<double>& v) -> std::optional<Value> { return optional(v); },
            [&](const UserDefaultProperties::Color& v) -> std::optional<Value> {
                const auto color = v ? v : row.fallbackColor ? row.fallbackColor() : nullptr;
                if (!color) return std::nullopt;
                return Value(platform::NSKeyedArchiver::archivedDataWithRootObject(color));
            },
            [](const std::optional<SessionType>& v) -> std::optional<Value> {
                if (!v) return std::nullopt;
                return Value(static_cast<std::int64_t>(rawValue(*v)));
            },
        },
        payload);
}

}  // namespace

UserDefaultProperties UserDefaultProperties::progressedRoundTime(double v) {
    return {Case::progressedRoundTime, finiteOrZero(v)};
}

UserDefaultProperties UserDefaultProperties::sharedProgressedRoundTime(std::optional<double> v) {
    if (v) v = finiteOrZero(*v);
    return {Case::sharedProgressedRoundTime, v};
}

const char* UserDefaultProperties::key(Case which) {
    return rowOf(which).key;
}

bool UserDefaultProperties::isShared(Case which) {
    return rowOf(which).suite == Suite::appGroup;
}

std::shared_ptr<NSUserDefaults> UserDefaultProperties::standardDefaults() {
    return NSUserDefaults::standardUserDefaults();
}

std::shared_ptr<NSUserDefaults> UserDefaultProperties::appGroupDefaults() {
    return NSUserDefaults::suiteNamed(kAppGroupSuiteName);
}

void UserDefaultProperties::save(const UserDefaultProperties& value) {
    write(value, &NSUserDefaults::setObject);
}

void UserDefaultProperties::saveLazily(const UserDefaultProperties& value) {
    write(value, &NSUserDefaults::setObjectLazily);
}

void UserDefaultProperties::write(const UserDefaultProperties& value,
                                  void (NSUserDefaults::*set)(const Value&, const std::string&)) {
    const Row& row = rowOf(value.which_);
    const auto suite = row.suite == Suite::standard ? standardDefaults() : appGroupDefaults();
    if (!suite) return;
    if (const auto stored = storedForm(row, value.payload_)) ((*suite).*set)(*stored, row.key);
}

}  // namespace quorvel
