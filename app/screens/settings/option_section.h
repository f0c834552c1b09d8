#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// One row of the settings list: which row it is and what it shows (a length, a text, an hour, a colour,
// a volume, a switch state, or nothing).
template <class CaseType, class... Payloads>
struct OptionRowValue {
    using Case = CaseType;
    Case which;
    std::variant<std::monostate, Payloads...> payload;

    template <class T>
    const T& value() const {
        return std::get<T>(payload);
    }
    bool operator==(const OptionRowValue&) const = default;
};

using OptionColor = std::shared_ptr<platform::UIColor>;

enum class TimerLengthRow { focusLength, shortBreakLength, longBreakLength };
struct TimerLengthCell : OptionRowValue<TimerLengthRow, std::int64_t> {
    static TimerLengthCell focusLength(std::int64_t m) { return {{Case::focusLength, m}}; }
    static TimerLengthCell shortBreakLength(std::int64_t m) { return {{Case::shortBreakLength, m}}; }
    static TimerLengthCell longBreakLength(std::int64_t m) { return {{Case::longBreakLength, m}}; }
};

enum class FocusSessionRow { sessionsPerRound, dailyFocusGoal, autoResetRoundAndGoal };
struct FocusSessionCell : OptionRowValue<FocusSessionRow, std::string, std::int64_t> {
    static FocusSessionCell sessionsPerRound(std::string t) { return {{Case::sessionsPerRound, std::move(t)}}; }
    static FocusSessionCell dailyFocusGoal(std::string t) { return {{Case::dailyFocusGoal, std::move(t)}}; }
    static FocusSessionCell autoResetRoundAndGoal(std::int64_t hour) { return {{Case::autoResetRoundAndGoal, hour}}; }
};

enum class TickingSoundRow { focusTicking, shortBreakTicking, longBreakTicking };
struct TickingSoundCell : OptionRowValue<TickingSoundRow, std::string> {
    static TickingSoundCell focusTicking(std::string t) { return {{Case::focusTicking, std::move(t)}}; }
    static TickingSoundCell shortBreakTicking(std::string t) { return {{Case::shortBreakTicking, std::move(t)}}; }
    static TickingSoundCell longBreakTicking(std::string t) { return {{Case::longBreakTicking, std::move(t)}}; }
};

enum class AlarmSoundRow { focusAlarm, shortBreakAlarm, longBreakAlarm };
struct AlarmSoundCell : OptionRowValue<AlarmSoundRow, std::string> {
    static AlarmSoundCell focusAlarm(std::string t) { return {{Case::focusAlarm, std::move(t)}}; }
    static AlarmSoundCell shortBreakAlarm(std::string t) { return {{Case::shortBreakAlarm, std::move(t)}}; }
    static AlarmSoundCell longBreakAlarm(std::string t) { return {{Case::longBreakAlarm, std::move(t)}}; }
};

enum class ThemeColorRow { focusColor, shortBreakColor, longBreakColor, setOriginalTheme };
struct ThemeColorCell : OptionRowValue<ThemeColorRow, OptionColor> {
    static ThemeColorCell focusColor(OptionColor c) { return {{Case::focusColor, std::move(c)}}; }
    static ThemeColorCell shortBreakColor(OptionColor c) { return {{Case::shortBreakColor, std::move(c)}}; }
    static ThemeColorCell longBreakColor(OptionColor c) { return {{Case::longBreakColor, std::move(c)}}; }
    static ThemeColorCell setOriginalTheme() { return {{Case::setOriginalTheme, {}}}; }
};

enum class VolumeControlRow { volumeOfAlarm, volumeOfTicking, soundAlarmOn, soundTickingOn };
struct VolumeControlCell : OptionRowValue<VolumeControlRow, float, bool> {
    static VolumeControlCell volumeOfAlarm(float v) { return {{Case::volumeOfAlarm, v}}; }
    static VolumeControlCell volumeOfTicking(float v) { return {{Case::volumeOfTicking, v}}; }
    static VolumeControlCell soundAlarmOn(bool on) { return {{Case::soundAlarmOn, on}}; }
    static VolumeControlCell soundTickingOn(bool on) { return {{Case::soundTickingOn, on}}; }
};

enum class GeneralRow { preventScreenLock, autoRestart, vibrateOnSilentMode, showBadgeonTicking, focusReminder };
struct GeneralCell : OptionRowValue<GeneralRow, bool> {
    static GeneralCell preventScreenLock(bool on) { return {{Case::preventScreenLock, on}}; }
    static GeneralCell autoRestart(bool on) { return {{Case::autoRestart, on}}; }
    static GeneralCell vibrateOnSilentMode(bool on) { return {{Case::vibrateOnSilentMode, on}}; }
    static GeneralCell showBadgeonTicking(bool on) { return {{Case::showBadgeonTicking, on}}; }
    static GeneralCell focusReminder() { return {{Case::focusReminder, {}}}; }
};

enum class FeedbackRow { emailUs, rateThisApp, supportCenter, likeUsOnFacebook, followUsOnTwitter, followUsOnInstagram };
struct FeedbackCell : OptionRowValue<FeedbackRow> {
    static FeedbackCell make(FeedbackRow row) { return {{row, {}}}; }
};

// One section of the settings list: its kind and its row values, in the order shown.
class OptionSection {
public:
    // In the order of the alternatives of `Rows`.
    enum class Kind {
        timerLengthItems,
        focusSessionItems,
        tickingSoundItems,
        alarmSoundItems,
        themeColorItems,
        volumeControlItems,
        generalItems,
        feedbackItems,
    };
    using Rows = std::variant<std::vector<TimerLengthCell>, std::vector<FocusSessionCell>,
                              std::vector<TickingSoundCell>, std::vector<AlarmSoundCell>,
                              std::vector<ThemeColorCell>, std::vector<VolumeControlCell>,
                              std::vector<GeneralCell>, std::vector<FeedbackCell>>;

    template <class Cell>
    explicit OptionSection(std::vector<Cell> rows) : rows_(std::move(rows)) {}

    Kind kind() const { return static_cast<Kind>(rows_.index()); }
    const Rows& rows() const { return rows_; }
    std::size_t count() const {
        return std::visit([](const auto& rows) { return rows.size(); }, rows_);
    }
    // The section header the settings screen shows.
    static const char* headerTitle(Kind kind);

private:
    Rows rows_;
};

}  // namespace quorvel
