#include "app/core/user_data_manager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/core/first_launch_defaults.h"
#include "app/core/theme_colors.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/data_root.h"
#include "tests/app/core/settings_test_support.h"

using namespace quorvel;
using platform::Value;
using P = UserDefaultProperties;
using SettingsReaders = quorvel::testing::SettingsTest;

namespace {

bool sameColor(const std::shared_ptr<platform::UIColor>& a, const std::shared_ptr<platform::UIColor>& b) {
    return a && a->isEqual(b);
}

}  // namespace

TEST_F(SettingsReaders, AnEmptyStoreGivesZerosNoneAndFocus) {
    const auto pomodoro = UserDataManager::getPomodoroData();
    EXPECT_EQ(pomodoro.roundLimit + pomodoro.goalLimit + pomodoro.latestRound + pomodoro.latestGoal +
                  pomodoro.focusLength + pomodoro.shortBreakLength + pomodoro.longBreakLength +
                  pomodoro.latestLength,
              0);
    EXPECT_FALSE(pomodoro.focusThemeColor || pomodoro.shortBreakThemeColor || pomodoro.longBreakThemeColor);
    EXPECT_EQ(pomodoro.remainingRoundTime + pomodoro.progressedRoundTime, 0.0);
    EXPECT_FALSE(pomodoro.remainingRoundTimeString);
    EXPECT_EQ(pomodoro.latestSessionType, SessionType::focus);
    EXPECT_EQ(UserDataManager::getAppSettingData(), AppSettingData{});
    EXPECT_EQ(UserDataManager::getSoundSettingData(), SoundSettingData{});
}

TEST_F(SettingsReaders, TheFirstLaunchDefaultsReadBackAsTheirValues) {
    const auto defaults = firstLaunchDefaults();
    std::set<P::Case> distinct;
    for (const auto& property : defaults) {
        distinct.insert(property.which());
        P::save(property);
    }
    EXPECT_EQ(defaults.size(), 46u);
    EXPECT_EQ(distinct.size(), 46u);

    const auto pomodoro = UserDataManager::getPomodoroData();
    EXPECT_EQ(pomodoro.roundLimit, 4);
    EXPECT_EQ(pomodoro.goalLimit, 12);
    EXPECT_EQ(pomodoro.focusLength, 25);
    EXPECT_EQ(pomodoro.shortBreakLength, 5);
    EXPECT_EQ(pomodoro.longBreakLength, 25);
    EXPECT_EQ(pomodoro.latestLength + pomodoro.latestRound + pomodoro.latestGoal, 0);
    EXPECT_EQ(pomodoro.remainingRoundTime, 25.0);
    EXPECT_EQ(pomodoro.progressedRoundTime, 1.0);
    EXPECT_EQ(pomodoro.remainingRoundTimeString, "25:00");
    EXPECT_EQ(pomodoro.latestSessionType, SessionType::focus);
    EXPECT_TRUE(sameColor(pomodoro.focusThemeColor, defaultFocusThemeColor()));
    EXPECT_TRUE(sameColor(pomodoro.shortBreakThemeColor, defaultShortBreakThemeColor()));
    EXPECT_TRUE(sameColor(pomodoro.longBreakThemeColor, defaultLongBreakThemeColor()));

    const AppSettingData app{true, true, false, true, 14, true, "2", 0, true};
    EXPECT_EQ(UserDataManager::getAppSettingData(), app);
    const SoundSettingData sound{"Ticking",    "Wall Clock Ticking",
                                 "Fiji Beach", "",
                                 "",           "",
                                 std::nullopt, std::nullopt,
                                 std::nullopt, "Desk",
                                 "Chimes",     "Bells",
                                 1.0f,         1.0f,
                                 true,         true};
    EXPECT_EQ(UserDataManager::getSoundSettingData(), sound);
    EXPECT_EQ(P::appGroupDefaults()->objectForKey("CurrentTimerType"), Value(0));
}

TEST_F(SettingsReaders, AStoredTimerTypeOutsideItsRangeReadsAsFocus) {
    const std::pair<Value, SessionType> table[] = {
        {Value(1), SessionType::shortBreak}, {Value(2), SessionType::longBreak},
        {Value(7), SessionType::focus},      {Value(-1), SessionType::focus},
        {Value(3), SessionType::focus},      {Value("x"), SessionType::focus},
    };
    for (const auto& [stored, expected] : table) {
        P::standardDefaults()->setObject(stored, "CurrentTimerType");
        EXPECT_EQ(UserDataManager::getPomodoroData().latestSessionType, expected);
    }
}

TEST_F(SettingsReaders, WrongKindsInAPreferencesFileReadAsDefaultsAndStayUntilWritten) {
    const auto file =
        platform::DataRoot::preferences() / (platform::NSUserDefaults::standardSuiteName() + ".plist");
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "<plist version=\"1.0\"><dict>"
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
    const auto suite = P::standardDefaults();
    ASSERT_EQ(suite->objectForKey("PomodoroSet"), Value("four"));  // the file was read, not set aside
    ASSERT_TRUE(std::isnan(suite->doubleForKey("CurrentTimerValue")));

    const auto pomodoro = UserDataManager::getPomodoroData();
    EXPECT_EQ(pomodoro.roundLimit, 0);
    EXPECT_FALSE(pomodoro.focusThemeColor || pomodoro.shortBreakThemeColor ||
                 pomodoro.remainingRoundTimeString);
    EXPECT_EQ(pomodoro.progressedRoundTime, 0.0);
    EXPECT_FALSE(UserDataManager::getAppSettingData().focusReminderWeekday);
    EXPECT_FALSE(UserDataManager::getAppSettingData().timerBadgeEnabled);
    EXPECT_EQ(UserDataManager::getSoundSettingData().alarmVolume, 0.0f);
    EXPECT_FALSE(UserDataManager::getSoundSettingData().focusTickingSound);

    EXPECT_TRUE(takeWrites().empty());
    EXPECT_TRUE(suite->synchronize());
    EXPECT_EQ(suite->fileWriteCount(), 0u);
    P::save(P::roundLimit(6));
    EXPECT_EQ(UserDataManager::getPomodoroData().roundLimit, 6);
    EXPECT_EQ(suite->objectForKey("ReminderWeekday"), Value(2));
}
