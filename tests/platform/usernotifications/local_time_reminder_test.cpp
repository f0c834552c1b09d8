// A weekly reminder keeps its hour and weekday on the local clock when the program starts again in
// another zone, or learns that the zone changed while it runs; other requests keep their instants.
#include <optional>
#include <string>

#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/usernotifications/un_calendar_notification_trigger.h"
#include "tests/platform/foundation/civil_time.h"
#include "tests/platform/usernotifications/notification_test_support.h"

using namespace platform;
using quorvel::testing::utc;

namespace {

// The virtual clock starts on Monday 2 March 2026, 09:00 UTC. Neither zone keeps daylight saving.
class LocalTimeReminders : public quorvel::testing::NotificationTest {
protected:
    LocalTimeReminders() { runIn("Asia/Tokyo"); }  // UTC+9
    ~LocalTimeReminders() override { runIn("UTC"); }

    static void runIn(const std::string& zone) {
        NSTimeZone::setDefaultTimeZone(*NSTimeZone::timeZoneWithName(zone));
    }

    void addCalendar(const std::string& identifier, const NSDateComponents& components, bool repeats) {
        ASSERT_FALSE(add(identifier, UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(
                                         components, repeats)));
    }

    // Tuesdays at 15:00.
    void addWeekly() {
        NSDateComponents tuesday3pm;
        tuesday3pm.weekday = 3;
        tuesday3pm.hour = 15;
        addCalendar("weekly", tuesday3pm, true);
    }

    // The date the pending file holds for the request.
    static std::optional<NSDate> storedFireDate(const std::string& identifier) {
        for (const auto& entry : PendingNotificationStore::load())
            if (entry.request->identifier() == identifier) return entry.fireDate;
        return std::nullopt;
    }

    std::vector<std::string> deliveredIdentifiers() {
        std::vector<std::string> identifiers;
        for (const auto& notification : delivered())
            identifiers.push_back(notification->request()->identifier());
        return identifiers;
    }

    void advanceTo(NSDate date) { clock_->advance(date.timeIntervalSinceNow()); }
};

const NSDate kTuesday3pmTokyo = utc(2026, 3, 3, 6);
const NSDate kTuesday3pmSaoPaulo = utc(2026, 3, 3, 18);

}  // namespace

TEST_F(LocalTimeReminders,
       AfterARestartInAnotherZoneAWeeklyOneComesAtItsLocalHourAndOthersKeepTheirInstants) {
    authorize();
    addWeekly();
    NSDateComponents wednesdayNoon;
    wednesdayNoon.month = 3;
    wednesdayNoon.day = 4;
    wednesdayNoon.hour = 12;
    addCalendar("once", wednesdayNoon, false);
    ASSERT_FALSE(addAfter("interval", 3 * 3600));
    EXPECT_EQ(storedFireDate("weekly"), kTuesday3pmTokyo);

    UNUserNotificationCenter::resetCurrentForTesting();
    runIn("America/Sao_Paulo");  // UTC-3
    authorize();
    EXPECT_EQ(storedFireDate("weekly"), kTuesday3pmSaoPaulo);
    EXPECT_EQ(storedFireDate("once"), utc(2026, 3, 4, 3));
    EXPECT_EQ(storedFireDate("interval"), utc(2026, 3, 2, 12));

    NSRunLoop::main().setSuspended(true);
    advanceTo(kTuesday3pmTokyo);
    EXPECT_EQ(deliveredIdentifiers(), (std::vector<std::string>{"interval"}));
    advanceTo(kTuesday3pmSaoPaulo);
    EXPECT_EQ(deliveredIdentifiers(), (std::vector<std::string>{"interval", "weekly"}));
    EXPECT_EQ(storedFireDate("weekly"), utc(2026, 3, 10, 18));
}

TEST_F(LocalTimeReminders, AZoneChangeWhileRunningMovesAWeeklyOneAtTheNextOperation) {
    authorize();
    addWeekly();
    runIn("America/Sao_Paulo");
    EXPECT_EQ(pendingIdentifiers(), (std::vector<std::string>{"weekly"}));
    EXPECT_EQ(storedFireDate("weekly"), kTuesday3pmSaoPaulo);

    NSRunLoop::main().setSuspended(true);
    advanceTo(kTuesday3pmTokyo);
    EXPECT_TRUE(delivered().empty());
    advanceTo(kTuesday3pmSaoPaulo);
    EXPECT_EQ(deliveredIdentifiers(), (std::vector<std::string>{"weekly"}));
}
