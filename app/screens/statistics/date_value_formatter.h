#pragma once

#include <string>

#include "platform/charts/chart_axis_value_formatter.h"
#include "platform/foundation/ns_date_formatter.h"

namespace quorvel {

// The day labels under the charts: an x value read as seconds since 1970, as "MMM d" in the locale and
// time zone current when the formatter was made ("Mar 5").
class DateValueFormatter : public platform::ChartAxisValueFormatter {
public:
    DateValueFormatter();

    std::string stringForValue(double value, const platform::AxisBase* axis) const override;
    std::string stringForValue(double value) const;

    const platform::NSDateFormatter& dateFormatter() const { return dateFormatter_; }

private:
    platform::NSDateFormatter dateFormatter_;
};

}  // namespace quorvel
