#include "platform/usernotifications/un_user_notification_center.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/foundation/console.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_thread.h"
#include "platform/foundation/property_list.h"
#include "platform/usernotifications/un_calendar_notification_trigger.h"
#include "tests/platform/usernotifications/notification_test_support.h"

using namespace platform;
using quorvel::testing::NotificationTest;

namespace {

using Authorization = NotificationTest;
using PendingRequests = NotificationTest;
using Delivery = NotificationTest;

class Presenter : public UNUserNotificationCenterDelegate {
public:
    explicit Presenter(UNNotificationPresentationOptions options) : options_(options) {}

    void userNotificationCenter(UNUserNotificationCenter&,
                                const std::shared_ptr<UNNotification>& notification,
                                std::function<void(UNNotificationPresentationOptions)> completion) override {
        asked.push_back(notification->request()->identifier());
        askedOnMain = askedOnMain && NSThread::isMainThread();
        completion(options_);
    }

    std::vector<std::string> asked;
    bool askedOnMain = true;

private:
    UNNotificationPresentationOptions options_;
};

UNNotificationSettings settingsOf(UNUserNotificationCenter& center, VirtualClock& clock) {
    UNNotificationSettings answer;
    center.getNotificationSettingsWithCompletionHandler([&](const UNNotificationSettings& s) { answer = s; });
    clock.runUntilIdle();
    return answer;
}

}  // namespace

TEST_F(Authorization, IsGrantedOnceRequestedUnlessATestDeniesIt) {
    EXPECT_EQ(settingsOf(*center(), *clock_).authorizationStatus, UNAuthorizationStatus::NotDetermined);
    bool granted = false;
    center()->requestAuthorizationWithOptions(UNAuthorizationOptions(7), [&](bool g, auto) { granted = g; });
    clock_->runUntilIdle();
    EXPECT_TRUE(granted);
    const auto settings = settingsOf(*center(), *clock_);
    EXPECT_EQ(settings.authorizationStatus, UNAuthorizationStatus::Authorized);
    EXPECT_EQ(settings.alertSetting, UNNotificationSetting::Enabled);

    UNUserNotificationCenter::setDeniesAuthorizationForTesting(true);
    center()->requestAuthorizationWithOptions(UNAuthorizationOptions(7), [&](bool g, auto) { granted = g; });
    clock_->runUntilIdle();
    EXPECT_FALSE(granted);
    EXPECT_EQ(settingsOf(*center(), *clock_).authorizationStatus, UNAuthorizationStatus::Denied);
}

TEST_F(PendingRequests, AreListedByFireDateAndReplacedOrRemovedByIdentifier) {
    ASSERT_FALSE(addAfter("late", 600));
    ASSERT_FALSE(addAfter("soon", 60));
    ASSERT_FALSE(addAfter("middle", 300));
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"soon", "middle", "late"}));

    ASSERT_FALSE(
        add("soon", UNTimeIntervalNotificationTrigger::triggerWithTimeInterval(900, false), "replaced"));
    const auto requests = pending();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests.back()->identifier(), "soon");
    EXPECT_EQ(requests.back()->content().body(), "replaced");

    center()->removePendingNotificationRequestsWithIdentifiers({"middle", "unknown", "late"});
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"soon"}));
}

TEST_F(PendingRequests, ATriggerThatCanNeverFireIsRefusedWithAnError) {
    const double intervals[] = {0, -5, std::nan(""), std::numeric_limits<double>::infinity()};
    for (double interval : intervals) {
        const auto error = addAfter("bad", interval);
        ASSERT_TRUE(error) << interval;
        EXPECT_EQ(error->domain(), "UNErrorDomain");
        EXPECT_FALSE(error->localizedDescription().empty());
    }
    EXPECT_TRUE(add("repeating", UNTimeIntervalNotificationTrigger::triggerWithTimeInterval(30, true)));
    EXPECT_FALSE(add("repeating", UNTimeIntervalNotificationTrigger::triggerWithTimeInterval(60, true)));
    EXPECT_TRUE(addAfter("", 60));

    NSDateComponents noWeekday;
    noWeekday.weekday = 9;
    EXPECT_TRUE(
        add("weekday", UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(noWeekday, true)));
    NSDateComponents thirtiethOfFebruary;
    thirtiethOfFebruary.month = 2;
    thirtiethOfFebruary.day = 30;
    EXPECT_TRUE(add("february", UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(
                                    thirtiethOfFebruary, true)));
    EXPECT_TRUE(
        add("everything", UNCalendarNotificationTrigger::triggerWithDateMatchingComponents({}, true)));
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"repeating"}));
}

TEST_F(PendingRequests, SurviveARestartWithTheirDatesThenFireOnTime) {
    authorize();
    ASSERT_FALSE(addAfter("hour", 3600));
    NSDateComponents weekly;
    weekly.weekday = 2;
    weekly.hour = 14;
    ASSERT_FALSE(
        add("weekly", UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(weekly, true)));
    const auto before = pending();

    UNUserNotificationCenter::resetCurrentForTesting();
    authorize();
    const auto after = pending();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0]->identifier(), "hour");
    EXPECT_EQ(after[0]->content().body(), "body");
    ASSERT_TRUE(after[0]->content().sound());
    EXPECT_TRUE(after[0]->content().sound()->isDefault());
    const auto* interval = dynamic_cast<const UNTimeIntervalNotificationTrigger*>(after[0]->trigger().get());
    ASSERT_TRUE(interval);
    EXPECT_EQ(interval->timeInterval(), 3600);
    const auto* calendar = dynamic_cast<const UNCalendarNotificationTrigger*>(after[1]->trigger().get());
    ASSERT_TRUE(calendar);
    EXPECT_TRUE(calendar->repeats());
    EXPECT_EQ(calendar->dateComponents().weekday, 2);
    EXPECT_EQ(calendar->dateComponents().hour, 14);

    NSRunLoop::main().setSuspended(true);
    clock_->advance(3599);
    EXPECT_TRUE(delivered().empty());
    clock_->advance(1);
    ASSERT_EQ(delivered().size(), 1u);
    EXPECT_EQ(delivered()[0]->request()->identifier(), "hour");
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"weekly"}));
}

// 1e10 s is the year 2318; 1e13 s lies past the last date a property list can hold.
TEST_F(PendingRequests, FarFutureRequestsAreStoredWithTheOthersAndSurviveARestart) {
    ASSERT_FALSE(addAfter("soon", 60));
    ASSERT_FALSE(addAfter("year 2318", 1e10));
    ASSERT_FALSE(addAfter("beyond", 1e13));
    UNUserNotificationCenter::resetCurrentForTesting();
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"soon", "year 2318", "beyond"}));
}

TEST_F(PendingRequests, OnesThatFellDueWhileTheAppWasNotRunningAreMissedOrMoveOn) {
    ASSERT_FALSE(addAfter("once", 60));
    NSDateComponents everyHour;
    everyHour.minute = 30;
    ASSERT_FALSE(
        add("hourly", UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(everyHour, true)));
    UNUserNotificationCenter::resetCurrentForTesting();
    clock_->advance(7200);  // the program is not running

    Console::Capture console;
    const auto requests = pending();
    EXPECT_TRUE(console.contains("\"once\" fell due while the app was not running"));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]->identifier(), "hourly");
    const auto next = requests[0]->trigger()->nextTriggerDate();
    ASSERT_TRUE(next);
    EXPECT_GT(*next, NSDate::now());
    EXPECT_LE(next->timeIntervalSinceNow(), 3600);
}

// An earlier version wrote the file as XML, whose text need not be UTF-8; a request that no file can hold
// now is skipped with a console line, so that every later save still keeps the others.
TEST_F(PendingRequests, AnOldRequestWhoseTextNoFileCanHoldNowIsSkippedAndTheRestAreSavedOn) {
    ASSERT_FALSE(addAfter("kept", 60));
    ASSERT_FALSE(addAfter("garbled", 120));
    const auto file = PendingNotificationStore::file();
    auto xml = PropertyList::serialize(*PropertyList::readFile(file));
    ASSERT_TRUE(xml);
    xml->replace(xml->find("<string>garbled</string>"), 24,
                 "<string>garbl\xff"
                 "ed</string>");
    std::ofstream(file, std::ios::trunc) << *xml;
    UNUserNotificationCenter::resetCurrentForTesting();

    Console::Capture console;
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"kept"}));
    EXPECT_TRUE(console.contains("skipped a pending request"));
    ASSERT_FALSE(addAfter("fresh", 180));
    UNUserNotificationCenter::resetCurrentForTesting();
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"kept", "fresh"}));
}

TEST_F(PendingRequests, ADamagedFileIsSetAsideAndNothingIsPending) {
    const auto file = PendingNotificationStore::file();
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "<plist><dict><key>requests</key><array><dict>";
    Console::Capture console;
    EXPECT_TRUE(pending().empty());
    EXPECT_TRUE(console.contains("is damaged"));
    EXPECT_FALSE(std::filesystem::exists(file));
    ASSERT_FALSE(addAfter("fresh", 60));
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(Delivery, InTheBackgroundADueRequestGoesToTheDesktopServiceAndSaysWhenNoneAnswers) {
    authorize();
    ASSERT_FALSE(
        add("bell", UNTimeIntervalNotificationTrigger::triggerWithTimeInterval(10, false), "Break is over"));
    NSRunLoop::main().setSuspended(true);
    Console::Capture console;
    clock_->advance(10);
    const auto notifications = delivered();
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0]->date(), NSDate::now());
    EXPECT_TRUE(console.contains("no notification service answered"));
    EXPECT_TRUE(console.contains("Break is over"));
    EXPECT_TRUE(pending().empty());
}

TEST_F(Delivery, InFrontTheDelegateDecidesOnTheMainThread) {
    authorize();
    auto shows = std::make_shared<Presenter>(UNNotificationPresentationOptions(7));
    center()->setDelegate(shows);
    ASSERT_FALSE(addAfter("shown", 5));
    clock_->advance(5);
    EXPECT_EQ(shows->asked, (std::vector<std::string>{"shown"}));
    EXPECT_TRUE(shows->askedOnMain);
    EXPECT_EQ(delivered().size(), 1u);

    auto hides = std::make_shared<Presenter>(UNNotificationPresentationOptionNone);
    center()->setDelegate(hides);
    ASSERT_FALSE(addAfter("hidden", 5));
    clock_->advance(5);
    EXPECT_EQ(hides->asked, (std::vector<std::string>{"hidden"}));
    EXPECT_EQ(delivered().size(), 1u);

    hides.reset();  // held weakly: no delegate, nothing shows in front
    ASSERT_FALSE(addAfter("dropped", 5));
    clock_->advance(5);
    EXPECT_EQ(delivered().size(), 1u);
}

TEST_F(Delivery, NothingIsShownWithoutAuthorisation) {
    UNUserNotificationCenter::setDeniesAuthorizationForTesting(true);
    authorize();
    ASSERT_FALSE(addAfter("quiet", 5));
    NSRunLoop::main().setSuspended(true);
    clock_->advance(5);
    EXPECT_TRUE(delivered().empty());
    EXPECT_TRUE(pending().empty());
}
