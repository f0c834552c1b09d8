#pragma once

#include "platform/charts/bar_chart_data.h"
#include "platform/charts/chart_view_base.h"

namespace platform {

// Draws each entry as a bar of the data's bar width from zero to its value. With fitBars the x range
// leaves room for half a bar beyond the first and last value, so no bar is cut. A highlighted bar is
// covered with its set's highlight colour.
class BarChartView : public ChartViewBase {
public:
    explicit BarChartView(const CGRect& frame = CGRect::zero()) : ChartViewBase(frame) {}

    bool fitBars() const { return fitBars_; }
    void setFitBars(bool fit) {
        fitBars_ = fit;
        setNeedsDisplay();
    }

    // The bar of an entry in the view's coordinates, as last laid out; null without a bar width.
    CGRect barRect(const ChartDataEntry& entry) const;

protected:
    void adjustXRange(double& xMin, double& xMax) const override;
    void drawDataSet(CGContext& context, const ChartDataSet& dataSet) override;
    void drawHighlight(CGContext& context, const ChartDataSet& dataSet, const Highlight& highlight) override;

private:
    // The data's bar width, 0 when it is not a positive finite number.
    double barWidth() const;

    bool fitBars_ = false;
};

}  // namespace platform
