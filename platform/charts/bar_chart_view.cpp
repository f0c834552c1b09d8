#include "platform/charts/bar_chart_view.h"

#include <cmath>

#include "platform/charts/bar_chart_data_set.h"

namespace platform {

double BarChartView::barWidth() const {
    const auto* bars = dynamic_cast<const BarChartData*>(data().get());
    const double width = bars ? bars->barWidth() : 0.85;
    return std::isfinite(width) && width > 0 ? width : 0;
}

void BarChartView::adjustXRange(double& xMin, double& xMax) const {
    if (!fitBars_) return;
    xMin -= barWidth() / 2;
    xMax += barWidth() / 2;
}

CGRect BarChartView::barRect(const ChartDataEntry& entry) const {
    const double width = barWidth();
    if (width <= 0 || !ChartDataSet::isDrawable(entry)) return CGRect::null();
    const CGPoint topLeft = viewPortHandler().pixelForValues(entry.x() - width / 2, entry.y());
    const CGPoint bottomRight = viewPortHandler().pixelForValues(entry.x() + width / 2, 0);
    return CGRect(topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y).standardized();
}

void BarChartView::drawDataSet(CGContext& context, const ChartDataSet& dataSet) {
    context.saveGState();
    context.clipToRect(viewPortHandler().contentRect());
    for (long i = 0; i < dataSet.entryCount(); ++i) {
        const CGRect bar = barRect(dataSet.entries()[std::size_t(i)]);
        if (bar.isNull()) continue;
        context.setFillColor(dataSet.colorAt(i));
        context.fillRect(bar);
    }
    context.restoreGState();
}

void BarChartView::drawHighlight(CGContext& context, const ChartDataSet& dataSet, const Highlight& highlight) {
    const CGRect bar = barRect(ChartDataEntry(highlight.x, highlight.y));
    if (bar.isNull()) return;
    const auto* bars = dynamic_cast<const BarChartDataSet*>(&dataSet);
    context.saveGState();
    context.clipToRect(viewPortHandler().contentRect());
    context.setFillColor(dataSet.highlightColor()->colorWithAlphaComponent(bars ? bars->highlightAlpha() : 120 / 255.0));
    context.fillRect(bar);
    context.restoreGState();
}

}  // namespace platform
