#include "app/screens/reminders/reminder_settings_view_model.h"

#include <gtest/gtest.h>

#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/screens/reminders/next_reminder_date.h"
#include "platform/foundation/ns_locale.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/usernotifications/un_calendar_notification_trigger.h"
#include "tests/platform/usernotifications/notification_test_support.h"

using namespace quorvel;
using P = UserDefaultProperties;
using Cell = ReminderSettingsCell;
using Day = ReminderWeekdays;

namespace {

// Reminders at 14:00, in Berlin, in a US English locale, the notification centre authorised.
class ReminderModel : public quorvel::testing::NotificationTest {
protected:
    ReminderModel() {
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
        platform::NSLocale::setCurrentLocale(platform::NSLocale::localeWithLocaleIdentifier("en_US"));
        authorize();
    }

    static void store(std::int64_t hour, bool on, std::optional<std::string> days) {
        P::save(P::focusReminderTime(hour));
        P::save(P::focusReminderEnabled(on));
        P::save(P::focusReminderWeekday(std::move(days)));
    }

    // The pending reminders as "identifier@weekday/hour".
    std::vector<std::string> reminders() {
        std::vector<std::string> texts;
        for (const auto& request : pending()) {
            const auto* trigger =
                dynamic_cast<const platform::UNCalendarNotificationTrigger*>(request->trigger().get());
            texts.push_back(request->identifier() + "@" + std::to_string(*trigger->dateComponents().weekday) + "/" +
                            std::to_string(*trigger->dateComponents().hour));
        }
        std::sort(texts.begin(), texts.end());
        return texts;
    }
};

std::vector<std::string> titles(const ReminderSettingsSection& section) {
    std::vector<std::string> texts;
    for (const auto& row : section.rows) texts.push_back(row.title());
    return texts;
}

}  // namespace

TEST(ReminderWeekdays, AreMondayFirstForStorageAndSundayFirstForTheCalendar) {
    EXPECT_FALSE(reminderWeekdayFromRaw(0));
    EXPECT_FALSE(reminderWeekdayFromRaw(8));
    EXPECT_EQ(reminderWeekdayFromRaw(7), Day::sunday);
    EXPECT_EQ(displayName(Day::wednesday), "Wednesday");
    EXPECT_EQ(calendarWeekday(Day::sunday), 1);
    EXPECT_EQ(calendarWeekday(Day::monday), 2);
    EXPECT_EQ(calendarWeekday(Day::saturday), 7);
    const std::vector<Day> sundayFirst = {Day::sunday, Day::monday, Day::tuesday, Day::wednesday,
                                          Day::thursday, Day::friday, Day::saturday};
    EXPECT_EQ(parseReminderWeekdays(sundayFirst, "51"), (std::vector<Day>{Day::monday, Day::friday}));
    EXPECT_EQ(parseReminderWeekdays(sundayFirst, "x7;9 0"), (std::vector<Day>{Day::sunday}));
    EXPECT_EQ(reminderWeekdayText({Day::friday, Day::monday}), "51");
}

TEST_F(ReminderModel, ListsTheHourAndSwitchThenSevenWeekdaysFromSunday) {
    store(14, true, "");
    ReminderSettingsViewModel model;
    model.buildDisplayList();
    const auto& list = model.displayList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].kind, ReminderSettingsSection::Kind::schedule);
    EXPECT_EQ(list[0].rows, (std::vector<Cell>{Cell::time(14), Cell::enable(true)}));
    EXPECT_EQ(titles(list[0]), (std::vector<std::string>{"Reminder Time", "Receive Reminder"}));
    EXPECT_EQ(list[1].kind, ReminderSettingsSection::Kind::repeat);
    EXPECT_EQ(titles(list[1]), (std::vector<std::string>{"Every Sunday", "Every Monday", "Every Tuesday",
                                                         "Every Wednesday", "Every Thursday", "Every Friday",
                                                         "Every Saturday"}));
    for (const auto& row : list[1].rows) EXPECT_FALSE(row.flag);

    // With no day chosen a change schedules nothing.
    model.update(Cell::time(9));
    EXPECT_TRUE(reminders().empty());
    // No stored weekday text at all reads as no days.
    P::save(P::focusReminderWeekday(std::nullopt));
    EXPECT_TRUE(ReminderSettingsViewModel().reminderData()->weekdays.empty());
}

TEST_F(ReminderModel, StoresChosenDaysInChoiceOrderAndReadsThemBackSundayFirst) {
    store(14, true, "");
    ReminderSettingsViewModel model;
    int updates = 0;
    model.setDidUpdate([&] { ++updates; });
    model.update(Cell::repeats(Day::friday, true));
    model.update(Cell::repeats(Day::monday, true));
    EXPECT_EQ(UserDataManager::getAppSettingData().focusReminderWeekday, "51");
    EXPECT_EQ(updates, 2);
    EXPECT_TRUE(model.displayList()[1].rows[1].flag);  // Monday
    EXPECT_TRUE(model.displayList()[1].rows[5].flag);  // Friday
    EXPECT_EQ(reminders(), (std::vector<std::string>{"ReminderAlert-2@2/14", "ReminderAlert-6@6/14"}));

    ReminderSettingsViewModel reloaded;
    EXPECT_EQ(reloaded.reminderData()->weekdays, (std::vector<Day>{Day::monday, Day::friday}));
    reloaded.update(Cell::repeats(Day::sunday, true));
    EXPECT_EQ(UserDataManager::getAppSettingData().focusReminderWeekday, "157");
    reloaded.update(Cell::repeats(Day::friday, false));  // from the middle; the others keep their order
    EXPECT_EQ(UserDataManager::getAppSettingData().focusReminderWeekday, "17");
    EXPECT_EQ(reminders(), (std::vector<std::string>{"ReminderAlert-1@1/14", "ReminderAlert-2@2/14"}));
}

TEST_F(ReminderModel, SwitchingOffRemovesEveryReminderAndANewHourReschedulesThemAll) {
    store(14, true, "36");
    ReminderSettingsViewModel model;
    model.rescheduleReminders();
    EXPECT_EQ(reminders(), (std::vector<std::string>{"ReminderAlert-4@4/14", "ReminderAlert-7@7/14"}));
    model.update(Cell::time(8));
    EXPECT_EQ(UserDataManager::getAppSettingData().focusReminderTime, 8);
    EXPECT_EQ(reminders(), (std::vector<std::string>{"ReminderAlert-4@4/8", "ReminderAlert-7@7/8"}));

    model.update(Cell::enable(false));
    EXPECT_FALSE(UserDataManager::getAppSettingData().focusReminderEnabled);
    EXPECT_TRUE(reminders().empty());
    model.update(Cell::repeats(Day::sunday, true));  // chosen while off: stored, not scheduled
    EXPECT_TRUE(reminders().empty());
    model.update(Cell::enable(true));
    EXPECT_EQ(reminders(), (std::vector<std::string>{"ReminderAlert-1@1/8", "ReminderAlert-4@4/8",
                                                     "ReminderAlert-7@7/8"}));
    // Both suites were handed the change.
    EXPECT_GT(P::standardDefaults()->synchronizeCount(), 0u);
    ASSERT_TRUE(P::appGroupDefaults());
    EXPECT_GT(P::appGroupDefaults()->synchronizeCount(), 0u);
}

TEST_F(ReminderModel, HourTextsFollowTheLocaleAndUnknownHoursGiveNothing) {
    EXPECT_EQ(nextReminderDate(0), "12:00\u202fAM");
    EXPECT_EQ(nextReminderDate(14), "2:00\u202fPM");
    EXPECT_EQ(nextReminderDate(24), "");
    EXPECT_EQ(nextReminderDate(-1), "");
    platform::NSLocale::setCurrentLocale(platform::NSLocale::localeWithLocaleIdentifier("de_DE"));
    EXPECT_EQ(nextReminderDate(0), "00:00");
    EXPECT_EQ(nextReminderDate(14), "14:00");
}
