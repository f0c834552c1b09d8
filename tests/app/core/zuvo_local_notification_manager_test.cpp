#include "app/core/zuvo_local_notification_manager.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/core/session_order.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "app/core/user_defaults_accessors.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/usernotifications/un_calendar_notification_trigger.h"
#include "tests/platform/foundation/civil_time.h"
#include "tests/platform/usernotifications/notification_test_support.h"

using namespace quorvel;
using platform::NSDate;
using P = UserDefaultProperties;
using Temp = TempUserDefaultProperties;
using Manager = ZuvoLocalNotificationManager;

namespace {

// Round limit 4, daily goal 8, focus 25, short break 5, long break 15 minutes, auto-restart on, a
// focus session running; the centre authorised.
class SessionChain : public quorvel::testing::NotificationTest {
protected:
    SessionChain() {
        for (const auto& setting :
             {P::roundLimit(4), P::goalLimit(8), P::focusLength(25), P::shortBreakLength(5),
              P::longBreakLength(15), P::autoRestart(true), P::latestTimerType(SessionType::focus)}) {
            P::save(setting);
        }
        authorize();
    }

    // Schedules from round 3, goal 7, with `minutesLeft` of the current session.
    void schedule(double minutesLeft, bool authorised = true, bool active = false) {
        Manager::scheduleSessionChangeNotifications(authorised, {active, 3, 7, minutesLeft * 60000});
        clock_->runUntilIdle();
    }

    std::vector<std::string> storedIdentifiers() {
        return readScheduledSessionChangeNotificationIDs(*P::standardDefaults());
    }
    std::optional<NSDate> storedEnd() {
        return readLastSessionChangeNotificationDate(*P::standardDefaults());
    }

    std::vector<std::string> bodies() {
        std::vector<std::string> texts;
        for (const auto& request : pending()) texts.push_back(request->content().body());
        return texts;
    }
};

using Reminders = SessionChain;

}  // namespace

TEST(SessionChangeMessages, FollowTheSessionThatEndedAndTheCounters) {
    quorvel::testing::TempDataRoot root;
    P::save(P::roundLimit(4));
    P::save(P::goalLimit(8));
    using M = SessionChangeMessage;
    EXPECT_EQ(M::after(SessionType::shortBreak, 3, 7), M::breakEnded(false));
    EXPECT_EQ(M::after(SessionType::longBreak, 3, 7), M::breakEnded(true));
    EXPECT_EQ(M::after(SessionType::focus, 3, 7), M::goalReached(8));  // the goal wins over the long break
    EXPECT_EQ(M::after(SessionType::focus, 3, 5), M::longBreakNext(6, 8));
    EXPECT_EQ(M::after(SessionType::focus, 4, 5), M::shortBreakNext(6, 8));
    EXPECT_EQ(M::after(SessionType::focus, 3, 8),
              M::longBreakNext(9, 8));  // only the session that reaches it
    P::save(P::roundLimit(-1));
    EXPECT_EQ(M::after(SessionType::focus, 0, 0), M::longBreakNext(1, 8));
    P::save(P::roundLimit(0));
    EXPECT_EQ(M::after(SessionType::focus, 3, 0), M::shortBreakNext(1, 8));
    EXPECT_EQ(M::after(SessionType::focus, std::numeric_limits<std::int64_t>::max(), 0),
              M::shortBreakNext(1, 8));

    EXPECT_EQ(M::shortBreakNext(6, 12).text(),
              "Focus Session has finished, let's take a short break! - Goal 6/12");
    EXPECT_EQ(M::longBreakNext(6, 8).text(),
              "Last Focus Session for the current round has finished, let's take a long break! - Goal 6/8");
    EXPECT_EQ(M::goalReached(1000).text(), "Fantastic job! You've completed 1000 Focus Sessions today!");
    EXPECT_EQ(M::breakEnded(false).text(), "Short break has ended. Get back to work!");
    EXPECT_EQ(M::breakEnded(true).text(), "Long break has ended. Get back to work!");
    EXPECT_EQ(M::autoContinueStopped().text(),
              "Auto continue is stopped. Please open the app to resume the timer.");
}

TEST(SessionOrder, ALongBreakEndsEachRoundAndEveryBreakLeadsToFocus) {
    EXPECT_EQ(nextSessionType(SessionType::focus, 4, 4), SessionType::longBreak);
    EXPECT_EQ(nextSessionType(SessionType::focus, 5, 4), SessionType::shortBreak);
    EXPECT_EQ(nextSessionType(SessionType::focus, 0, 4), SessionType::shortBreak);
    EXPECT_EQ(nextSessionType(SessionType::focus, 7, 0),
              SessionType::shortBreak);  // a limit of 0 never divides
    EXPECT_EQ(nextSessionType(SessionType::focus, 1, -1), SessionType::longBreak);
    EXPECT_EQ(nextSessionType(SessionType::longBreak, 4, 4), SessionType::focus);
    EXPECT_EQ(nextSessionType(SessionType::shortBreak, 3, 4), SessionType::focus);
}

TEST(SessionChangeIdentifiers, WriteTheOffsetAsTheShortestDoubleWithAPoint) {
    EXPECT_EQ(Manager::sessionChangeIdentifier(1500), "QVSessionChanged-1500.0");
    EXPECT_EQ(Manager::sessionChangeIdentifier(2100.6), "QVSessionChanged-2100.6");
    EXPECT_EQ(Manager::sessionChangeIdentifier(3901.2 + 300.6), "QVSessionChanged-4201.8");
    EXPECT_EQ(Manager::sessionChangeIdentifier(1.0 / 3), "QVSessionChanged-0.3333333333333333");
}

TEST_F(SessionChain, WithAutoRestartAnnouncesFiftySixSessionEndsAndWhenContinuationStops) {
    const NSDate start = NSDate::now();
    schedule(20);
    const auto ids = pendingIdentifiers();
    ASSERT_EQ(ids.size(), 57u);
    const std::vector<std::string> firstEight = {
        "QVSessionChanged-1200.0", "QVSessionChanged-2100.6",
        "QVSessionChanged-3601.2", "QVSessionChanged-3901.7999999999997",
        "QVSessionChanged-5402.4", "QVSessionChanged-5703.0",
        "QVSessionChanged-7203.6", "QVSessionChanged-7504.200000000001"};
    EXPECT_EQ(std::vector<std::string>(ids.begin(), ids.begin() + 8), firstEight);
    EXPECT_EQ(ids.back(), "QVSessionChanged-55833.59999999995");
    EXPECT_EQ(storedIdentifiers(), ids);
    ASSERT_TRUE(storedEnd());
    EXPECT_EQ(*storedEnd(), start.dateByAddingTimeInterval(55833.59999999995));

    const auto texts = bodies();
    EXPECT_EQ(texts[0], "Fantastic job! You've completed 8 Focus Sessions today!");
    EXPECT_EQ(texts[1], "Long break has ended. Get back to work!");
    EXPECT_EQ(texts[2], "Focus Session has finished, let's take a short break! - Goal 9/8");
    EXPECT_EQ(texts[3], "Short break has ended. Get back to work!");
    EXPECT_EQ(texts[56], "Auto continue is stopped. Please open the app to resume the timer.");
    for (const auto& request : pending()) {
        const auto* trigger =
            dynamic_cast<const platform::UNTimeIntervalNotificationTrigger*>(request->trigger().get());
        ASSERT_TRUE(trigger);
        EXPECT_FALSE(trigger->repeats());
        EXPECT_EQ(Manager::sessionChangeIdentifier(trigger->timeInterval()), request->identifier());
        ASSERT_TRUE(request->content().sound());
        EXPECT_TRUE(request->content().sound()->isDefault());
        EXPECT_TRUE(request->content().title().empty());
    }
}

TEST_F(SessionChain, TheFirstMessageOfAnOrdinaryRoundEndAnnouncesTheLongBreak) {
    Manager::scheduleSessionChangeNotifications(true, {false, 3, 5, 20 * 60000});
    EXPECT_EQ(bodies().front(),
              "Last Focus Session for the current round has finished, let's take a long break! - Goal 6/8");
}

TEST_F(SessionChain, WithoutAutoRestartOnlyTheCurrentSessionEndIsAnnounced) {
    P::save(P::autoRestart(false));
    const NSDate start = NSDate::now();
    schedule(20);
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"QVSessionChanged-1200.0"}));
    EXPECT_EQ(bodies(),
              (std::vector<std::string>{"Fantastic job! You've completed 8 Focus Sessions today!"}));
    EXPECT_EQ(storedIdentifiers(), (std::vector<std::string>{"QVSessionChanged-1200.0"}));
    EXPECT_EQ(storedEnd(), start.dateByAddingTimeInterval(1200));
}

TEST_F(SessionChain, NothingChangesWhileTheAppIsActiveOrWithoutAuthorisation) {
    Temp::save(Temp::scheduledSessionChangeNotificationIDs({"QVSessionChanged-60.0"}));
    Temp::save(Temp::lastSessionChangeNotificationDate(NSDate(1000)));
    schedule(20, true, /*active=*/true);
    schedule(20, /*authorised=*/false);
    EXPECT_TRUE(pending().empty());
    EXPECT_EQ(storedIdentifiers(), (std::vector<std::string>{"QVSessionChanged-60.0"}));
    EXPECT_EQ(storedEnd(), NSDate(1000));

    bool authorised = true;
    platform::UNUserNotificationCenter::setDeniesAuthorizationForTesting(true);
    authorize();
    Manager::checkAuthorization([&](bool answer) { authorised = answer; });
    clock_->runUntilIdle();
    EXPECT_FALSE(authorised);
}

TEST_F(SessionChain, SchedulingAgainReplacesThePendingChain) {
    schedule(20);
    schedule(10);
    const auto ids = pendingIdentifiers();
    ASSERT_EQ(ids.size(), 57u);
    EXPECT_EQ(ids.front(), "QVSessionChanged-600.0");
    EXPECT_EQ(storedIdentifiers(), ids);
}

TEST_F(SessionChain, ASessionEndingNowIsAnnouncedASecondLaterNeverWithAZeroTrigger) {
    P::save(P::autoRestart(false));
    for (double left : {0.0, -0.5, std::nan("")}) {
        platform::Console::Capture console;
        schedule(left);
        EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"QVSessionChanged-1.0"})) << left;
        EXPECT_FALSE(console.contains("Error")) << left;
    }
    platform::Console::Capture console;
    Manager::scheduleSessionChangeNotification(0, SessionChangeMessage::breakEnded(false),
                                               "QVSessionChanged-0.0");
    clock_->runUntilIdle();
    EXPECT_TRUE(console.contains("Error Error Domain=UNErrorDomain"));
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"QVSessionChanged-1.0"}));
}

TEST_F(SessionChain, RoundLimitsOfZeroAndMinusOneChooseTheBreaksWithoutDividingByZero) {
    P::save(P::roundLimit(0));
    schedule(20);
    for (const auto& text : bodies()) EXPECT_NE(text, "Long break has ended. Get back to work!");
    P::save(P::roundLimit(-1));
    schedule(20);
    for (const auto& text : bodies()) EXPECT_NE(text, "Short break has ended. Get back to work!");
}

TEST_F(SessionChain, ADueRequestReachesTheDesktopWhileTheAppIsSuspended) {
    schedule(20);
    platform::NSRunLoop::main().setSuspended(true);
    platform::Console::Capture console;
    clock_->advance(1200);
    ASSERT_EQ(delivered().size(), 1u);
    EXPECT_TRUE(console.contains("Fantastic job! You've completed 8 Focus Sessions today!"));
    EXPECT_EQ(pending().size(), 56u);
}

TEST_F(SessionChain, ReturningOrRelaunchingWithdrawsTheChainAndForgetsItsEnd) {
    Manager::scheduleFocusReminders(2, 14);
    schedule(20);
    Manager::removeSessionChangeNotifications();
    clock_->runUntilIdle();
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"ReminderAlert-2"}));
    EXPECT_TRUE(storedIdentifiers().empty());
    EXPECT_FALSE(storedEnd());

    // A run killed before it stored its list leaves a chain nobody knows of; the launch clears it.
    schedule(20);
    Temp::save(Temp::scheduledSessionChangeNotificationIDs({}));
    Manager::removeStaleSessionChangeNotifications();
    clock_->runUntilIdle();
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"ReminderAlert-2"}));
    EXPECT_FALSE(storedEnd());
}

TEST_F(Reminders, FireEveryChosenWeekdayAtTheFullHourWithTheChime) {
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
    platform::Console::Capture console;
    Manager::scheduleFocusReminders(2, 14);
    clock_->runUntilIdle();
    EXPECT_TRUE(console.contains("hour: 14 weekday: 2"));
    const auto requests = pending();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]->identifier(), "ReminderAlert-2");
    EXPECT_EQ(requests[0]->content().body(), "It's time. Let's get some work done!");
    ASSERT_TRUE(requests[0]->content().sound());
    EXPECT_EQ(requests[0]->content().sound()->name(), "Three Ring Chime.wav");
    const auto* trigger =
        dynamic_cast<const platform::UNCalendarNotificationTrigger*>(requests[0]->trigger().get());
    ASSERT_TRUE(trigger);
    EXPECT_TRUE(trigger->repeats());
    EXPECT_EQ(trigger->dateComponents().weekday, 2);
    EXPECT_EQ(trigger->dateComponents().hour, 14);
    EXPECT_FALSE(trigger->dateComponents().minute);
    // The clock stands at Monday 2 March 2026, 10:00 in Berlin: today at 14:00, then every Monday.
    EXPECT_EQ(trigger->nextTriggerDate(), quorvel::testing::utc(2026, 3, 2, 13));

    for (int weekday = 1; weekday <= 7; ++weekday) Manager::scheduleFocusReminders(weekday, 9);
    EXPECT_EQ(pendingIdentifiers().size(), 7u);
    Manager::removeFocusReminders({1, 2, 3, 4, 5, 6, 7});
    EXPECT_TRUE(pending().empty());
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("UTC"));
}
