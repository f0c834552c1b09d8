#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/charts/chart_data_entry.h"
#include "platform/charts/chart_value_formatter.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"

namespace platform {

// The entries of one series with the look of their marks and value texts. Entries whose x or y is not
// a finite number are kept but neither counted in the ranges nor drawn.
class ChartDataSet {
public:
    ChartDataSet(std::vector<ChartDataEntry> entries, std::string label);
    virtual ~ChartDataSet() = default;

    const std::string& label() const { return label_; }
    const std::vector<ChartDataEntry>& entries() const { return entries_; }
    void replaceEntries(std::vector<ChartDataEntry> entries);
    long entryCount() const { return long(entries_.size()); }
    // One past the last index: the number of entries.
    long endIndex() const { return entryCount(); }
    // The entry whose x is nearest to `x` (the first of equals); none without drawable entries.
    std::optional<long> entryIndexForXValue(double x) const;

    // Smallest and largest x and y of the drawable entries; 0 when there are none.
    double xMin() const { return xMin_; }
    double xMax() const { return xMax_; }
    double yMin() const { return yMin_; }
    double yMax() const { return yMax_; }

    // The marks' colours, used in turn from the first entry on.
    const std::vector<std::shared_ptr<UIColor>>& colors() const { return colors_; }
    void setColors(std::vector<std::shared_ptr<UIColor>> colors);
    void setColor(std::shared_ptr<UIColor> color) { setColors({std::move(color)}); }
    std::shared_ptr<UIColor> colorAt(long index) const;

    bool isDrawValuesEnabled() const { return drawValues_; }
    void setDrawValuesEnabled(bool enabled) { drawValues_ = enabled; }
    const std::shared_ptr<UIFont>& valueFont() const { return valueFont_; }
    void setValueFont(std::shared_ptr<UIFont> font);
    const std::shared_ptr<UIColor>& valueTextColor() const { return valueTextColor_; }
    void setValueTextColor(std::shared_ptr<UIColor> color);
    const std::shared_ptr<ChartValueFormatter>& valueFormatter() const { return valueFormatter_; }
    void setValueFormatter(std::shared_ptr<ChartValueFormatter> formatter) { valueFormatter_ = std::move(formatter); }
    // The formatter's text, or the value with one decimal without a formatter.
    std::string valueText(long index, int dataSetIndex, const ViewPortHandler* viewPortHandler) const;

    bool isHighlightEnabled() const { return highlightEnabled_; }
    const std::shared_ptr<UIColor>& highlightColor() const { return highlightColor_; }
    void setHighlightColor(std::shared_ptr<UIColor> color);

    static bool isDrawable(const ChartDataEntry& entry);

private:
    void calcMinMax();

    std::vector<ChartDataEntry> entries_;
    std::string label_;
    double xMin_ = 0, xMax_ = 0, yMin_ = 0, yMax_ = 0;
    std::vector<std::shared_ptr<UIColor>> colors_;
    bool drawValues_ = true;
    std::shared_ptr<UIFont> valueFont_;
    std::shared_ptr<UIColor> valueTextColor_;
    std::shared_ptr<ChartValueFormatter> valueFormatter_;
    bool highlightEnabled_ = true;
    std::shared_ptr<UIColor> highlightColor_;
};

}  // namespace platform
