#include "app/screens/reminders/next_reminder_date.h"

#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/ns_date_formatter.h"

namespace quorvel {

std::string nextReminderDate(std::int64_t hour) {
    if (hour < 0 || hour > 23) return {};
    const auto date = platform::NSCalendar::currentCalendar().dateBySettingHour(static_cast<int>(hour), 0, 0,
                                                                                 platform::NSDate::now());
    if (!date) return {};
    platform::NSDateFormatter formatter;
    formatter.setDateStyle(platform::NSDateFormatterStyle::None);
    formatter.setTimeStyle(platform::NSDateFormatterStyle::Short);
    return formatter.stringFromDate(*date);
}

}  // namespace quorvel
