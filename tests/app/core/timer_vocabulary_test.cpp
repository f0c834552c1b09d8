#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "app/core/app_notification_names.h"
#include "app/core/timer_vocabulary.h"

using namespace quorvel;

TEST(TimerVocabulary, SessionTypeRawValuesRoundTripAndOthersAreRefused) {
    const std::pair<SessionType, int> table[] = {
        {SessionType::focus, 0}, {SessionType::shortBreak, 1}, {SessionType::longBreak, 2}};
    for (const auto& [type, raw] : table) {
        EXPECT_EQ(rawValue(type), raw);
        EXPECT_EQ(sessionTypeFromRawValue(raw), type);
    }
    EXPECT_EQ(sessionTypeFromRawValue(3), std::nullopt);
    EXPECT_EQ(sessionTypeFromRawValue(-1), std::nullopt);
}

TEST(TimerVocabulary, RotationDescribesItself) {
    EXPECT_STREQ(description(Rotation::landscape), "landscape");
    EXPECT_STREQ(description(Rotation::portrait), "portrait");
}

TEST(TimerVocabulary, TimerEventOwnsCopiesOfItsTexts) {
    std::string event = "Press_Button";
    auto original = TimerEvent::pressButton(event, "Start");
    event = "changed";
    auto copy = original;
    EXPECT_EQ(copy, original);
    const auto& press = std::get<TimerEvent::PressButton>(copy.payload());
    EXPECT_EQ(press.event, "Press_Button");
    EXPECT_EQ(press.buttonValue, "Start");
    EXPECT_NE(TimerEvent::carousel(25), TimerEvent::carousel(24));
    EXPECT_NE(TimerEvent::swipe(TimerEvent::ClearType::clearAll),
              TimerEvent::swipe(TimerEvent::ClearType::clearRound));
}

TEST(AppNotificationNames, EveryNameHasItsLiteralAndIsMadeOnce) {
    const std::pair<const platform::NSNotificationName& (*)(), const char*> table[] = {
        {NotificationName::sessionSkipAlert, "SessionSkipAlert"},
        {NotificationName::navigationBarButtonSet, "NavigationBarButtonSet"},
        {NotificationName::deviceRotated, "DeviceRotated"},
        {NotificationName::sessionDidChange, "SessionDidChange"},
        {NotificationName::timerRunningStatus, "TimerRunningStatus"},
        {NotificationName::changeChartsData, "changeChartsData"},
        {NotificationName::shouldResetSession, "ShouldResetSession"},
        {NotificationName::colourSet, "ColourSet"},
        {NotificationName::newTickingSoundSet, "NewTickingSoundSet"},
        {NotificationName::volumeAdjusted, "VolumeAdjusted"},
        {NotificationName::soundMuted, "SoundMuted"},
        {NotificationName::autoResetSound, "AutoResetSound"},
        {NotificationName::enableDeviceRotation, "EnableDeviceRotation"},
        {NotificationName::enableLockScreen, "enableLockScreen"},
        {NotificationName::didChangeCloudContent, "didChangeCloudContent"},
    };
    std::set<std::string> distinct;
    for (const auto& [accessor, literal] : table) {
        EXPECT_EQ(accessor(), literal);
        EXPECT_EQ(&accessor(), &accessor());
        distinct.insert(accessor());
    }
    EXPECT_EQ(distinct.size(), std::size(table));
}
