#pragma once

#include <memory>
#include <string>

#include "platform/charts/chart_axis_value_formatter.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"

namespace platform {

// What an axis draws: its line, a grid line and a label at each of its positions.
class AxisBase {
public:
    AxisBase();
    virtual ~AxisBase() = default;

    // A disabled axis draws nothing at all.
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    bool isDrawLabelsEnabled() const { return drawLabels_; }
    const std::shared_ptr<UIFont>& labelFont() const { return labelFont_; }
    void setLabelFont(std::shared_ptr<UIFont> font);
    const std::shared_ptr<UIColor>& labelTextColor() const { return labelTextColor_; }
    void setLabelTextColor(std::shared_ptr<UIColor> color);
    const std::shared_ptr<ChartAxisValueFormatter>& valueFormatter() const { return valueFormatter_; }
    void setValueFormatter(std::shared_ptr<ChartAxisValueFormatter> formatter) { valueFormatter_ = std::move(formatter); }
    // The formatter's text, or the shortest plain form of the value without a formatter.
    std::string labelText(double value) const;

    bool isDrawGridLinesEnabled() const { return drawGridLines_; }
    void setDrawGridLinesEnabled(bool enabled) { drawGridLines_ = enabled; }
    const std::shared_ptr<UIColor>& gridColor() const { return gridColor_; }
    bool isDrawAxisLineEnabled() const { return drawAxisLine_; }
    void setDrawAxisLineEnabled(bool enabled) { drawAxisLine_ = enabled; }
    const std::shared_ptr<UIColor>& axisLineColor() const { return axisLineColor_; }

    // The smallest distance between two labels, in axis units (0: any).
    double granularity() const { return granularity_; }
    void setGranularity(double granularity) { granularity_ = granularity; }
    // Room beyond the smallest and largest value, in axis units.
    double spaceMin() const { return spaceMin_; }
    void setSpaceMin(double space) { spaceMin_ = space; }
    double spaceMax() const { return spaceMax_; }

private:
    bool enabled_ = true;
    bool drawLabels_ = true;
    std::shared_ptr<UIFont> labelFont_;
    std::shared_ptr<UIColor> labelTextColor_;
    std::shared_ptr<ChartAxisValueFormatter> valueFormatter_;
    bool drawGridLines_ = true;
    std::shared_ptr<UIColor> gridColor_;
    bool drawAxisLine_ = true;
    std::shared_ptr<UIColor> axisLineColor_;
    double granularity_ = 0;
    double spaceMin_ = 0;
    double spaceMax_ = 0;
};

}  // namespace platform
