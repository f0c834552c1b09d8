#include "platform/charts/line_chart_view.h"

#include <cmath>

namespace platform {

namespace {

// The line settings of a data set that is not a line data set.
const LineChartDataSet& lineSettings(const ChartDataSet& dataSet) {
    static const LineChartDataSet defaults({}, "");
    const auto* line = dynamic_cast<const LineChartDataSet*>(&dataSet);
    return line ? *line : defaults;
}

CGRect circle(CGPoint centre, CGFloat radius) {
    return CGRect(centre.x - radius, centre.y - radius, 2 * radius, 2 * radius);
}

}  // namespace

void LineChartView::drawDataSet(CGContext& context, const ChartDataSet& dataSet) {
    const auto& settings = lineSettings(dataSet);
    context.saveGState();
    const CGRect content = viewPortHandler().contentRect();
    // Circles may reach over the edges of the values' area; the line may not leave the view.
    context.clipToRect(bounds());
    CGPath path;
    for (const auto& entry : dataSet.entries()) {
        if (!ChartDataSet::isDrawable(entry)) continue;
        const CGPoint point = viewPortHandler().pixelForValues(entry.x(), entry.y());
        if (path.isEmpty()) {
            path.moveTo(point);
        } else {
            path.addLineTo(point);
        }
    }
    const CGFloat width = settings.lineWidth();
    if (!path.isEmpty() && std::isfinite(width) && width > 0) {
        context.setStrokeColor(dataSet.colorAt(0));
        context.setLineWidth(width);
        context.addPath(path);
        context.strokePath();
    }
    const CGFloat radius = settings.circleRadius();
    if (settings.isDrawCirclesEnabled() && std::isfinite(radius) && radius > 0) {
        for (long i = 0; i < dataSet.entryCount(); ++i) {
            const auto& entry = dataSet.entries()[std::size_t(i)];
            if (!ChartDataSet::isDrawable(entry)) continue;
            const CGPoint point = viewPortHandler().pixelForValues(entry.x(), entry.y());
            if (point.x < content.minX() - radius || point.x > content.maxX() + radius) continue;
            context.setFillColor(settings.circleColorAt(i));
            context.fillEllipseInRect(circle(point, radius));
        }
    }
    context.restoreGState();
}

void LineChartView::drawHighlight(CGContext& context, const ChartDataSet& dataSet, const Highlight& highlight) {
    const CGRect content = viewPortHandler().contentRect();
    const CGPoint point = viewPortHandler().pixelForValues(highlight.x, highlight.y);
    if (point.x < content.minX() - 0.5 || point.x > content.maxX() + 0.5) return;
    CGPath path;
    path.moveTo({point.x, content.minY()});
    path.addLineTo({point.x, content.maxY()});
    path.addEllipseInRect(circle(point, std::max<CGFloat>(lineSettings(dataSet).circleRadius(), 2) + 3));
    context.setStrokeColor(dataSet.highlightColor());
    context.setLineWidth(1);
    context.addPath(path);
    context.strokePath();
}

CGFloat LineChartView::valueTextGap(const ChartDataSet& dataSet) const {
    const auto& settings = lineSettings(dataSet);
    const CGFloat radius = settings.isDrawCirclesEnabled() && settings.circleRadius() > 0 ? settings.circleRadius() : 0;
    return radius + 3;
}

}  // namespace platform
