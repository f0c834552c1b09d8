#include "app/core/user_data_manager.h"

#include <cmath>

#include "app/core/user_default_properties.h"
#include "app/core/user_defaults_accessors.h"

namespace quorvel {

namespace {

using Case = UserDefaultProperties::Case;

std::string keyOf(Case which) {
    return UserDefaultProperties::key(which);
}

// Older versions could store a progress that is not a number; the engine must never see one.
double finiteDouble(const platform::NSUserDefaults& suite, Case which) {
    const double value = suite.doubleForKey(keyOf(which));
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace

PomodoroData UserDataManager::getPomodoroData() {
    const auto suite = UserDefaultProperties::standardDefaults();
    PomodoroData data;
    data.roundLimit = suite->integerForKey(keyOf(Case::roundLimit));
    data.goalLimit = suite->integerForKey(keyOf(Case::goalLimit));
    data.focusThemeColor = readFocusThemeColor();
    data.shortBreakThemeColor = readShortBreakThemeColor();
    data.longBreakThemeColor = readLongBreakThemeColor();
    data.latestRound = suite->integerForKey(keyOf(Case::latestRound));
    data.latestGoal = readLatestGoal();
    data.remainingRoundTime = finiteDouble(*suite, Case::remainingRoundTime);
    data.progressedRoundTime = finiteDouble(*suite, Case::progressedRoundTime);
    data.remainingRoundTimeString = suite->stringForKey(keyOf(Case::remainingRoundTimeString));
    data.latestSessionType = sessionTypeFromRawValue(suite->integerForKey(keyOf(Case::latestTimerType)))
                                 .value_or(SessionType::focus);
    data.focusLength = readSessionLength(SessionType::focus);
    data.longBreakLength = readSessionLength(SessionType::longBreak);
    data.shortBreakLength = readSessionLength(SessionType::shortBreak);
    data.latestLength = suite->integerForKey(keyOf(Case::latestLength));
    data.latestLengthMilliseconds = finiteDouble(*suite, Case::latestLengthMilliseconds);
    data.sessionWholeLength = finiteDouble(*suite, Case::sessionWholeLength);
    return data;
}

AppSettingData UserDataManager::getAppSettingData() {
    const auto suite = UserDefaultProperties::standardDefaults();
    AppSettingData data;
    data.preventLockScreenEnabled = suite->boolForKey(keyOf(Case::preventLockScreenEnabled));
    data.autoRestart = suite->boolForKey(keyOf(Case::autoRestart));
    data.vibrateAlarmEnabled = suite->boolForKey(keyOf(Case::vibrateAlarmEnabled));
    data.timerBadgeEnabled = readTimerBadgeEnabled();
    data.focusReminderTime = suite->integerForKey(keyOf(Case::focusReminderTime));
    data.focusReminderEnabled = suite->boolForKey(keyOf(Case::focusReminderEnabled));
    data.focusReminderWeekday = suite->stringForKey(keyOf(Case::focusReminderWeekday));
    data.autoResetHour = suite->integerForKey(keyOf(Case::autoResetHour));
    data.resetCounterAtMidnight = suite->boolForKey(keyOf(Case::resetCounterAtMidnight));
    return data;
}

SoundSettingData UserDataManager::getSoundSettingData() {
    const auto suite = UserDefaultProperties::standardDefaults();
    const auto text = [&](Case which) { return suite->stringForKey(keyOf(which)); };
    SoundSettingData data;
    data.focusTickingSound = text(Case::focusTickingSound);
    data.shortBreakTickingSound = text(Case::shortBreakTickingSound);
    data.longBreakTickingSound = text(Case::longBreakTickingSound);
    data.focusTickingMusic = text(Case::focusTickingMusic);
    data.shortBreakTickingMusic = text(Case::shortBreakTickingMusic);
    data.longBreakTickingMusic = text(Case::longBreakTickingMusic);
    data.focusTickingMusicTitle = text(Case::focusTickingMusicTitle);
    data.shortBreakTickingMusicTitle = text(Case::shortBreakTickingMusicTitle);
    data.longBreakTickingMusicTitle = text(Case::longBreakTickingMusicTitle);
    data.focusAlertSound = text(Case::focusAlertSound);
    data.shortBreakAlertSound = text(Case::shortBreakAlertSound);
    data.longBreakAlertSound = text(Case::longBreakAlertSound);
    data.alarmVolume = suite->floatForKey(keyOf(Case::alarmVolume));
    data.tickingVolume = suite->floatForKey(keyOf(Case::tickingVolume));
    data.alarmEnabled = suite->boolForKey(keyOf(Case::alarmEnabled));
    data.tickingEnabled = suite->boolForKey(keyOf(Case::tickingEnabled));
    return data;
}

}  // namespace quorvel
