#pragma once

#include "platform/charts/chart_view_base.h"
#include "platform/charts/line_chart_data.h"

namespace platform {

// Draws each data set as a line through its points with a circle on each; the highlighted value gets
// a vertical line through it and a ring around its point.
class LineChartView : public ChartViewBase {
public:
    explicit LineChartView(const CGRect& frame = CGRect::zero()) : ChartViewBase(frame) {}

protected:
    void drawDataSet(CGContext& context, const ChartDataSet& dataSet) override;
    void drawHighlight(CGContext& context, const ChartDataSet& dataSet, const Highlight& highlight) override;
    CGFloat valueTextGap(const ChartDataSet& dataSet) const override;
};

}  // namespace platform
