#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/core/timer_vocabulary.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// Timer limits, lengths (whole minutes), theme colours and the saved timer state.
struct PomodoroData {
    std::int64_t roundLimit = 0;
    std::int64_t goalLimit = 0;
    std::shared_ptr<platform::UIColor> focusThemeColor;
    std::shared_ptr<platform::UIColor> shortBreakThemeColor;
    std::shared_ptr<platform::UIColor> longBreakThemeColor;
    std::int64_t latestRound = 0;
    std::int64_t latestGoal = 0;
    double remainingRoundTime = 0.0;
    double progressedRoundTime = 0.0;
    std::optional<std::string> remainingRoundTimeString;
    SessionType latestSessionType = SessionType::focus;
    std::int64_t focusLength = 0;
    std::int64_t longBreakLength = 0;
    std::int64_t shortBreakLength = 0;
    std::int64_t latestLength = 0;
    double latestLengthMilliseconds = 0.0;
    // 0 where the saved state does not hold it (written before it was kept).
    double sessionWholeLength = 0.0;

    // The length of a session type, in whole minutes.
    std::int64_t lengthOf(SessionType type) const;
    // The theme colour of a session type: the stored one, or the type's default while none is stored.
    std::shared_ptr<platform::UIColor> themeColorOf(SessionType type) const;
};

// Switches, reminder and auto-reset settings. An auto-reset hour of 666 means "never".
struct AppSettingData {
    bool preventLockScreenEnabled = false;
    bool autoRestart = false;
    bool vibrateAlarmEnabled = false;
    bool timerBadgeEnabled = false;
    std::int64_t focusReminderTime = 0;
    bool focusReminderEnabled = false;
    std::optional<std::string> focusReminderWeekday;
    std::int64_t autoResetHour = 0;
    bool resetCounterAtMidnight = false;

    bool operator==(const AppSettingData&) const = default;
};

// Sound names, chosen music (empty text: none) with its titles, volumes and sound switches.
struct SoundSettingData {
    std::optional<std::string> focusTickingSound;
    std::optional<std::string> shortBreakTickingSound;
    std::optional<std::string> longBreakTickingSound;
    std::optional<std::string> focusTickingMusic;
    std::optional<std::string> shortBreakTickingMusic;
    std::optional<std::string> longBreakTickingMusic;
    std::optional<std::string> focusTickingMusicTitle;
    std::optional<std::string> shortBreakTickingMusicTitle;
    std::optional<std::string> longBreakTickingMusicTitle;
    std::optional<std::string> focusAlertSound;
    std::optional<std::string> shortBreakAlertSound;
    std::optional<std::string> longBreakAlertSound;
    float alarmVolume = 0.0f;
    float tickingVolume = 0.0f;
    bool alarmEnabled = false;
    bool tickingEnabled = false;

    bool operator==(const SoundSettingData&) const = default;
};

// The name and value of one selectable settings row.
struct SettingsMapper {
    std::string name;
    std::int64_t value = 0;

    bool operator==(const SettingsMapper&) const = default;
};

}  // namespace quorvel
