#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <tuple>

#include "app/core/temp_user_default_properties.h"
#include "app/core/theme_colors.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/core/user_defaults_accessors.h"
#include "platform/uikit/drawing/ns_keyed_archiver.h"
#include "platform/uikit/drawing/ns_keyed_unarchiver.h"
#include "tests/app/core/settings_test_support.h"

using namespace quorvel;
using platform::NSDate;
using platform::Value;
using P = UserDefaultProperties;
using Temp = TempUserDefaultProperties;

namespace {

constexpr const char* kGroup = UserDefaultProperties::kAppGroupSuiteName;

std::string standardName() {
    return platform::NSUserDefaults::standardSuiteName();
}

Value archived(const std::shared_ptr<platform::UIColor>& color) {
    return Value(platform::NSKeyedArchiver::archivedDataWithRootObject(color));
}

struct Expected {
    P property;
    bool inGroup;
    const char* key;
    std::optional<Value> value;  // none: the key is removed
};

// Each case with a value unlike its neighbours, and what must be written for it.
std::vector<Expected> everySettingsCase() {
    const auto teal = platform::UIColor::colorWithRed(0.1, 0.5, 0.5, 1);
    return {
        {P::roundLimit(3), false, "PomodoroSet", Value(3)},
        {P::goalLimit(9), false, "DailyPomodoroGoal", Value(9)},
        {P::focusLength(50), false, "TimePomodoro", Value(50)},
        {P::longBreakLength(20), false, "TimeLongBreak", Value(20)},
        {P::shortBreakLength(7), false, "TimeShortBreak", Value(7)},
        {P::latestLength(45), false, "latestLength", Value(45)},
        {P::latestLengthMilliseconds(2710500.0), false, "latestLengthMilliseconds", Value(2710500.0)},
        {P::sessionWholeLength(1500000.0), false, "CurrentTimerWholeMilliseconds", Value(1500000.0)},
        {P::focusTickingSound("Rain"), false, "TickingWork", Value("Rain")},
        {P::shortBreakTickingSound("Steam"), false, "TickingShortBreak", Value("Steam")},
        {P::longBreakTickingSound(std::nullopt), false, "TickingLongBreak", std::nullopt},
        {P::focusTickingMusic("id=42"), false, "TickingWorkMusic", Value("id=42")},
        {P::shortBreakTickingMusic(""), false, "TickingShortBreakMusic", Value("")},
        {P::longBreakTickingMusic(std::nullopt), false, "TickingLongBreakMusic", std::nullopt},
        {P::focusTickingMusicTitle("Song"), false, "TickingWorkMusicTitle", Value("Song")},
        {P::shortBreakTickingMusicTitle("B"), false, "TickingShortBreakMusicTitle", Value("B")},
        {P::longBreakTickingMusicTitle("L"), false, "TickingLongBreakMusicTitle", Value("L")},
        {P::focusAlertSound("Desk"), false, "AlarmWork", Value("Desk")},
        {P::shortBreakAlertSound("Chimes"), false, "AlarmShortBreak", Value("Chimes")},
        {P::longBreakAlertSound("Bells"), false, "AlarmLongBreak", Value("Bells")},
        {P::focusThemeColor(teal), false, "Pomodoro Color", archived(teal)},
        {P::shortBreakThemeColor(teal), false, "Short Break Color", archived(teal)},
        {P::longBreakThemeColor(teal), false, "Long Break Color", archived(teal)},
        {P::alarmVolume(0.3f), false, "SoundVolumeAlarm", Value(static_cast<double>(0.3f))},
        {P::tickingVolume(0.6f), false, "SoundVolumeTicking", Value(static_cast<double>(0.6f))},
        {P::alarmEnabled(true), false, "SoundEnableAlarm", Value(true)},
        {P::tickingEnabled(false), false, "SoundEnableTicking", Value(false)},
        {P::preventLockScreenEnabled(true), false, "PreventLockScreen", Value(true)},
        {P::autoRestart(true), false, "AutoRestart", Value(true)},
        {P::vibrateAlarmEnabled(true), false, "VibrateAlarm", Value(true)},
        {P::timerBadgeEnabled(true), false, "ShowTimerBadge", Value(true)},
        {P::focusReminderTime(14), false, "ReminderTime", Value(14)},
        {P::focusReminderEnabled(true), false, "ReceiveReminder", Value(true)},
        {P::focusReminderWeekday("2"), false, "ReminderWeekday", Value("2")},
        {P::autoResetHour(666), false, "AutoResetHour", Value(666)},
        {P::resetCounterAtMidnight(true), false, "ResetCounterAtMidnight", Value(true)},
        {P::latestRound(2), false, "TimerCountRound", Value(2)},
        {P::latestGoal(5), false, "TimerCountGoal", Value(5)},
        {P::remainingRoundTime(1200.5), false, "CurrentTimerTime", Value(1200.5)},
        {P::progressedRoundTime(0.25), false, "CurrentTimerValue", Value(0.25)},
        {P::remainingRoundTimeString("20:00"), false, "CurrentTimerText", Value("20:00")},
        {P::latestTimerType(SessionType::longBreak), false, "CurrentTimerType", Value(2)},
        {P::sharedRoundLimit(3), true, "PomodoroSet", Value(3)},
        {P::sharedGoalLimit(std::nullopt), true, "DailyPomodoroGoal", std::nullopt},
        {P::sharedFocusThemeColor(teal), true, "Pomodoro Color", archived(teal)},
        {P::sharedShortBreakThemeColor(nullptr), true, "Short Break Color",
         archived(defaultShortBreakThemeColor())},
        {P::sharedLongBreakThemeColor(nullptr), true, "Long Break Color",
         archived(defaultLongBreakThemeColor())},
        {P::sharedLatestRound(2), true, "TimerCountRound", Value(2)},
        {P::sharedLatestGoal(std::nullopt), true, "TimerCountGoal", std::nullopt},
        {P::sharedRemainingRoundTime(1200.5), true, "CurrentTimerTime", Value(1200.5)},
        {P::sharedProgressedRoundTime(std::nullopt), true, "CurrentTimerValue", std::nullopt},
        {P::sharedRemainingRoundTimeString("20:00"), true, "CurrentTimerText", Value("20:00")},
        {P::sharedLatestTimerType(SessionType::shortBreak), true, "CurrentTimerType", Value(1)},
    };
}

}  // namespace

class SettingsStore : public quorvel::testing::SettingsTest {
protected:
    void expectOneWrite(const std::string& suite, const std::string& key, const std::optional<Value>& value) {
        const auto writes = takeWrites();
        ASSERT_EQ(writes.size(), 1u) << key;
        EXPECT_EQ(writes[0].suite, suite) << key;
        EXPECT_EQ(writes[0].key, key);
        EXPECT_TRUE(writes[0].value == value) << key;  // same kind and value, or both a removal
    }
};
using TransientStore = SettingsStore;
using SettingsAccessors = SettingsStore;

TEST_F(SettingsStore, EveryCaseWritesItsKeyKindAndSuiteAndNothingElse) {
    std::set<P::Case> covered;
    for (const auto& row : everySettingsCase()) {
        covered.insert(row.property.which());
        P::save(row.property);
        expectOneWrite(row.inGroup ? kGroup : standardName(), row.key, row.value);
    }
    EXPECT_EQ(covered.size(), P::kCaseCount);
}

TEST_F(SettingsStore, AbsentColoursAndTimerTypesWriteNothingExceptSharedColoursWhichFallBack) {
    P::save(P::focusThemeColor(platform::UIColor::blueColor()));
    P::save(P::sharedLatestTimerType(SessionType::longBreak));
    takeWrites();
    P::save(P::focusThemeColor(nullptr));
    P::save(P::sharedLatestTimerType(std::nullopt));
    EXPECT_TRUE(takeWrites().empty());
    EXPECT_TRUE(readFocusThemeColor()->isEqual(platform::UIColor::blueColor()));

    P::save(P::sharedFocusThemeColor(nullptr));
    expectOneWrite(kGroup, "Pomodoro Color", archived(defaultFocusThemeColor()));
}

TEST_F(SettingsStore, AProgressThatIsNotANumberIsStoredAsZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    P::save(P::progressedRoundTime(nan));
    P::save(P::sharedProgressedRoundTime(nan));
    EXPECT_EQ(P::standardDefaults()->objectForKey("CurrentTimerValue"), Value(0.0));
    EXPECT_EQ(P::appGroupDefaults()->objectForKey("CurrentTimerValue"), Value(0.0));
}

TEST_F(SettingsStore, OnlyTransientSavesSynchronise) {
    for (const auto& row : everySettingsCase()) P::save(row.property);
    EXPECT_EQ(P::standardDefaults()->synchronizeCount() + P::appGroupDefaults()->synchronizeCount(), 0u);
    Temp::save(Temp::launchedOnce(true));
    Temp::save(Temp::checkedDate(std::nullopt));
    EXPECT_EQ(P::standardDefaults()->synchronizeCount(), 2u);
    EXPECT_EQ(P::appGroupDefaults()->synchronizeCount(), 0u);
}

TEST_F(TransientStore, EveryCaseWritesItsKeyAndKindToTheStandardSuiteAndSynchronises) {
    const NSDate date(800000000.5);
    const std::tuple<Temp, const char*, std::optional<Value>> table[] = {
        {Temp::showedOnceRevealingCell(true), "ShowedOnceRevealingCell", Value(true)},
        {Temp::hasGuidedOncePortrait(true), "HasGuidedOncePortrait", Value(true)},
        {Temp::hasGuidedOnceLandscape(false), "HasGuidedOnceLandscape", Value(false)},
        {Temp::launchedOnce(true), "LaunchedOnce", Value(true)},
        {Temp::checkedDate(date), "CheckDate", Value(date)},
        {Temp::sessionCountPostingDate(std::nullopt), "SessionCountPostingDate", std::nullopt},
        {Temp::latestTimerStartedDate(date), "latestTimerStartedDate", Value(date)},
        {Temp::lastSessionChangeNotificationDate(std::nullopt), "lastSessionChangeNotificationDate",
         std::nullopt},
        {Temp::scheduledSessionChangeNotificationIDs({"QVSessionChanged-60", "QVSessionChanged-360"}),
         "scheduledSessionChangeNotificationIDs",
         Value(Value::Array{Value("QVSessionChanged-60"), Value("QVSessionChanged-360")})},
        {Temp::needResumeTimerWhenLaunching(true), "needResumeTimerWhenLaunching", Value(true)},
    };
    static_assert(std::size(table) == Temp::kCaseCount);
    std::set<Temp::Case> covered;
    for (const auto& [property, key, value] : table) {
        const auto synchronised = P::standardDefaults()->synchronizeCount();
        covered.insert(property.which());
        Temp::save(property);
        expectOneWrite(standardName(), key, value);
        EXPECT_EQ(P::standardDefaults()->synchronizeCount(), synchronised + 1) << key;
    }
    EXPECT_EQ(covered.size(), Temp::kCaseCount);
}

TEST_F(SettingsAccessors, DatesAndListsOfAnotherKindReadAsNoneOrEmpty) {
    auto& suite = *P::standardDefaults();
    EXPECT_TRUE(readScheduledSessionChangeNotificationIDs(suite).empty());
    suite.setObject(Value(Value::Array{Value("a"), Value(1)}), "scheduledSessionChangeNotificationIDs");
    EXPECT_TRUE(readScheduledSessionChangeNotificationIDs(suite).empty());
    Temp::save(Temp::scheduledSessionChangeNotificationIDs({"a", "b"}));
    EXPECT_EQ(readScheduledSessionChangeNotificationIDs(suite), (std::vector<std::string>{"a", "b"}));

    suite.setString("yesterday", "latestTimerStartedDate");
    EXPECT_FALSE(readLatestTimerStartedDate(suite));
    setCheckedDate(suite, NSDate(790000000.25));
    EXPECT_EQ(checkedDate(suite), NSDate(790000000.25));
    setCheckedDate(suite, std::nullopt);
    EXPECT_FALSE(suite.objectForKey("CheckDate"));
}

TEST_F(SettingsAccessors, ColoursRoundTripThroughTheArchiveInBothSuitesAcrossARelaunch) {
    const auto color = platform::UIColor::colorWithRed(12 / 255.0, 200 / 255.0, 99 / 255.0, 0.5);
    P::save(P::shortBreakThemeColor(color));
    P::save(P::sharedShortBreakThemeColor(color));
    writeSharedFocusThemeColor(defaultLongBreakThemeColor());
    writeSharedFocusThemeColor(nullptr);
    ASSERT_TRUE(platform::NSUserDefaults::flushAll());
    platform::NSUserDefaults::resetAllForTesting();

    const auto unarchive = [](const char* key) {
        return platform::NSKeyedUnarchiver::unarchiveColor(*P::appGroupDefaults()->dataForKey(key));
    };
    EXPECT_TRUE(readShortBreakThemeColor()->isEqual(color));
    EXPECT_TRUE(unarchive("Short Break Color")->isEqual(color));
    EXPECT_TRUE(unarchive("Pomodoro Color")->isEqual(defaultLongBreakThemeColor()));
    P::standardDefaults()->setData({'x', 'y'}, "Long Break Color");
    EXPECT_EQ(readLongBreakThemeColor(), nullptr);
}

// Every reader of a session's length or colour agrees: the record, the seconds and the default.
TEST_F(SettingsAccessors, EachSessionTypeReadsItsOwnLengthAndItsColourOrItsDefault) {
    EXPECT_EQ(sessionLengthInSeconds(SessionType::focus), 0);
    const auto teal = platform::UIColor::colorWithRed(0.1, 0.5, 0.5, 1);
    for (const auto& value : {P::focusLength(50), P::shortBreakLength(5), P::longBreakLength(20),
                              P::shortBreakThemeColor(teal)})
        P::save(value);
    const auto data = UserDataManager::getPomodoroData();
    for (const auto& [type, minutes] : {std::pair{SessionType::focus, 50}, std::pair{SessionType::shortBreak, 5},
                                        std::pair{SessionType::longBreak, 20}}) {
        EXPECT_EQ(data.lengthOf(type), minutes);
        EXPECT_EQ(sessionLengthInSeconds(type), minutes * 60);
    }
    EXPECT_TRUE(data.themeColorOf(SessionType::shortBreak)->isEqual(teal));
    EXPECT_EQ(data.themeColorOf(SessionType::focus), defaultFocusThemeColor());
    EXPECT_EQ(data.themeColorOf(SessionType::longBreak), defaultLongBreakThemeColor());
    EXPECT_FLOAT_EQ(defaultFocusThemeColor()->components()[1], 0.2509804f) << "eight bits in single precision";

    P::save(P::longBreakLength(std::numeric_limits<std::int64_t>::max()));
    EXPECT_GT(sessionLengthInSeconds(SessionType::longBreak), 0);  // saturates, never wraps
}
