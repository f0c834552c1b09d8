#include "app/core/user_data_manager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/core/first_launch_defaults.h"
#include "app/core/theme_colors.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/data_root.h"
#include "tests/app/core/settings_write_log.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel;
using platform::Value;
using P = UserDefaultProperties;

namespace {

void saveFirstLaunchDefaults() {
    for (const auto& property : firstLaunchDefaults()) P::save(property);
}

bool sameColor(const std::shared_ptr<platform::UIColor>& a, const std::shared_ptr<platform::UIColor>& b) {
    return a && a->isEqual(b);
}

}  // namespace

TEST(SettingsReaders, AnEmptyStoreGivesZerosNoneAndFocus) {
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    const auto pomodoro = UserDataManager::getPomodoroData();
    EXPECT_EQ(pomodoro.roundLimit + pomodoro.goalLimit + pomodoro.latestRound + pomodoro.latestGoal +
                  pomodoro.focusLength + pomodoro.shortBreakLength + pomodoro.longBreakLength +
                  pomodoro.latestLength,
              0);
    EXPECT_FALSE(pomodoro.focusThemeColor || pomodoro.shortBreakThemeColor || pomodoro.longBreakThemeColor);
    EXPECT_EQ(pomodoro.remainingRoundTime, 0.0);
    EXPECT_EQ(pomodoro.progressedRoundTime, 0.0);
    EXPECT_FALSE(pomodoro.remainingRoundTimeString);
    EXPECT_EQ(pomodoro.latestSessionType, SessionType::focus);

    const auto app = UserDataManager::getAppSettingData();
    EXPECT_FALSE(app.preventLockScreenEnabled || app.autoRestart || app.vibrateAlarmEnabled ||
                 app.timerBadgeEnabled || app.focusReminderEnabled || app.resetCounterAtMidnight);
    EXPECT_EQ(app.focusReminderTime, 0);
    EXPECT_EQ(app.autoResetHour, 0);
    EXPECT_FALSE(app.focusReminderWeekday);

    EXPECT_EQ(UserDataManager::getSoundSettingData(), SoundSettingData{});
}

TEST(SettingsReaders, TheFirstLaunchDefaultsReadBackAsTheirValues) {
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    const auto defaults = firstLaunchDefaults();
    std::set<P::Case> distinct;
    for (const auto& property : defaults) distinct.insert(property.which());
    EXPECT_EQ(defaults.size(), 46u);
    EXPECT_EQ(distinct.size(), 46u);
    for (auto unwritten :
         {P::Case::latestLength, P::Case::vibrateAlarmEnabled, P::Case::focusTickingMusicTitle}) {
        EXPECT_FALSE(distinct.count(unwritten));
    }
    saveFirstLaunchDefaults();

    const auto pomodoro = UserDataManager::getPomodoroData();
    EXPECT_EQ(pomodoro.roundLimit, 4);
    EXPECT_EQ(pomodoro.goalLimit, 12);
    EXPECT_EQ(pomodoro.focusLength, 25);
    EXPECT_EQ(pomodoro.shortBreakLength, 5);
    EXPECT_EQ(pomodoro.longBreakLength, 25);
    EXPECT_EQ(pomodoro.latestLength, 0);
    EXPECT_EQ(pomodoro.latestRound + pomodoro.latestGoal, 0);
    EXPECT_EQ(pomodoro.remainingRoundTime, 25.0);
    EXPECT_EQ(pomodoro.progressedRoundTime, 1.0);
    EXPECT_EQ(pomodoro.remainingRoundTimeString, "25:00");
    EXPECT_EQ(pomodoro.latestSessionType, SessionType::focus);
    EXPECT_TRUE(sameColor(pomodoro.focusThemeColor, defaultFocusThemeColor()));
    EXPECT_TRUE(sameColor(pomodoro.shortBreakThemeColor, defaultShortBreakThemeColor()));
    EXPECT_TRUE(sameColor(pomodoro.longBreakThemeColor, defaultLongBreakThemeColor()));

    const auto app = UserDataManager::getAppSettingData();
    EXPECT_TRUE(app.preventLockScreenEnabled && app.autoRestart && app.timerBadgeEnabled &&
                app.focusReminderEnabled && app.resetCounterAtMidnight);
    EXPECT_FALSE(app.vibrateAlarmEnabled);
    EXPECT_EQ(app.focusReminderTime, 14);
    EXPECT_EQ(app.focusReminderWeekday, "2");
    EXPECT_EQ(app.autoResetHour, 0);

    SoundSettingData sound;
    sound.focusTickingSound = "Ticking";
    sound.shortBreakTickingSound = "Wall Clock Ticking";
    sound.longBreakTickingSound = "Fiji Beach";
    sound.focusTickingMusic = sound.shortBreakTickingMusic = sound.longBreakTickingMusic = "";
    sound.focusAlertSound = "Desk";
    sound.shortBreakAlertSound = "Chimes";
    sound.longBreakAlertSound = "Bells";
    sound.alarmVolume = sound.tickingVolume = 1.0f;
    sound.alarmEnabled = sound.tickingEnabled = true;
    EXPECT_EQ(UserDataManager::getSoundSettingData(), sound);

    const auto group = P::appGroupDefaults();
    EXPECT_EQ(group->objectForKey("PomodoroSet"), Value(4));
    EXPECT_EQ(group->objectForKey("CurrentTimerType"), Value(0));
    EXPECT_EQ(group->objectForKey("CurrentTimerText"), Value("25:00"));
}

TEST(SettingsReaders, AStoredTimerTypeOutsideItsRangeReadsAsFocus) {
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    const std::pair<Value, SessionType> table[] = {
        {Value(0), SessionType::focus},       {Value(1), SessionType::shortBreak},
        {Value(2), SessionType::longBreak},   {Value(7), SessionType::focus},
        {Value(-1), SessionType::focus},      {Value(3), SessionType::focus},
        {Value("short"), SessionType::focus}, {Value(Value::Data{1, 2}), SessionType::focus},
    };
    for (const auto& [stored, expected] : table) {
        P::standardDefaults()->setObject(stored, "CurrentTimerType");
        EXPECT_EQ(UserDataManager::getPomodoroData().latestSessionType, expected);
    }
}

TEST(SettingsReaders, WrongKindsInAPreferencesFileReadAsDefaultsAndStayUntilWritten) {
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    const auto file =
        platform::DataRoot::preferences() / (platform::NSUserDefaults::standardSuiteName() + ".plist");
    std::filesystem::create_directories(file.parent_path());
    const std::string text =
        "<plist version=\"1.0\"><dict>"
        "<key>PomodoroSet</key><string>four</string>"
        "<key>Pomodoro Color</key><string>red</string>"
        "<key>Short Break Color</key><data>bm90IGEgY29sb3VyCg==</data>"
        "<key>CurrentTimerValue</key><real>nan</real>"
        "<key>CurrentTimerText</key><integer>25</integer>"
        "<key>ReminderWeekday</key><integer>2</integer>"
        "<key>ShowTimerBadge</key><dict><key>a</key><true/></dict>"
        "<key>SoundVolumeAlarm</key><string>loud</string>"
        "<key>TickingWork</key><array><string>Rain</string></array>"
        "</dict></plist>";
    std::ofstream(file, std::ios::binary) << text;

    quorvel::testing::SettingsWriteLog log;
    const auto pomodoro = UserDataManager::getPomodoroData();
    EXPECT_EQ(pomodoro.roundLimit, 0);
    EXPECT_FALSE(pomodoro.focusThemeColor);
    EXPECT_FALSE(pomodoro.shortBreakThemeColor);
    EXPECT_EQ(pomodoro.progressedRoundTime, 0.0);
    EXPECT_FALSE(pomodoro.remainingRoundTimeString);
    const auto app = UserDataManager::getAppSettingData();
    EXPECT_FALSE(app.focusReminderWeekday);
    EXPECT_FALSE(app.timerBadgeEnabled);
    const auto sound = UserDataManager::getSoundSettingData();
    EXPECT_EQ(sound.alarmVolume, 0.0f);
    EXPECT_FALSE(sound.focusTickingSound);

    EXPECT_TRUE(log.take().empty());
    const auto suite = P::standardDefaults();
    EXPECT_TRUE(suite->synchronize());
    EXPECT_EQ(suite->fileWriteCount(), 0u);
    EXPECT_EQ(suite->objectForKey("PomodoroSet"), Value("four"));
    EXPECT_TRUE(std::isnan(suite->doubleForKey("CurrentTimerValue")));

    P::save(P::roundLimit(6));
    EXPECT_EQ(UserDataManager::getPomodoroData().roundLimit, 6);
    EXPECT_EQ(suite->objectForKey("ReminderWeekday"), Value(2));
}
