#include "app/screens/statistics/date_value_formatter.h"

namespace quorvel {

DateValueFormatter::DateValueFormatter() {
    dateFormatter_.setDateFormat("MMM d");
}

std::string DateValueFormatter::stringForValue(double value, const platform::AxisBase* axis) const {
    (void)axis;
    return stringForValue(value);
}

std::string DateValueFormatter::stringForValue(double value) const {
    return dateFormatter_.stringFromDate(platform::NSDate::dateWithTimeIntervalSince1970(value));
}

}  // namespace quorvel
