#pragma once

#include "platform/charts/chart_data_set.h"

namespace platform {

// A series drawn as straight segments between its points, with a circle on each point.
class LineChartDataSet : public ChartDataSet {
public:
    LineChartDataSet(std::vector<ChartDataEntry> entries, std::string label);

    CGFloat lineWidth() const { return lineWidth_; }
    // Widths below zero or not finite draw no line.
    void setLineWidth(CGFloat width) { lineWidth_ = width; }

    bool isDrawCirclesEnabled() const { return drawCircles_; }
    void setDrawCirclesEnabled(bool enabled) { drawCircles_ = enabled; }
    CGFloat circleRadius() const { return circleRadius_; }
    void setCircleRadius(CGFloat radius) { circleRadius_ = radius; }
    void setCircleColor(std::shared_ptr<UIColor> color);
    std::shared_ptr<UIColor> circleColorAt(long index) const;

private:
    CGFloat lineWidth_ = 1;
    bool drawCircles_ = true;
    CGFloat circleRadius_ = 4;
    std::vector<std::shared_ptr<UIColor>> circleColors_;
};

}  // namespace platform
