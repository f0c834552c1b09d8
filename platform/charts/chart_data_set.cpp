#include "platform/charts/chart_data_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace platform {

ChartDataSet::ChartDataSet(std::vector<ChartDataEntry> entries, std::string label)
    : label_(std::move(label)),
      colors_{UIColor::colorWithRed(140 / 255.0, 234 / 255.0, 1, 1)},
      valueFont_(UIFont::systemFontOfSize(7)),
      valueTextColor_(UIColor::blackColor()),
      highlightColor_(UIColor::colorWithRed(1, 187 / 255.0, 115 / 255.0, 1)) {
    replaceEntries(std::move(entries));
}

bool ChartDataSet::isDrawable(const ChartDataEntry& entry) {
    return std::isfinite(entry.x()) && std::isfinite(entry.y());
}

void ChartDataSet::replaceEntries(std::vector<ChartDataEntry> entries) {
    entries_ = std::move(entries);
    calcMinMax();
}

void ChartDataSet::calcMinMax() {
    bool any = false;
    for (const auto& entry : entries_) {
        if (!isDrawable(entry)) continue;
        if (!any) {
            xMin_ = xMax_ = entry.x();
            yMin_ = yMax_ = entry.y();
            any = true;
            continue;
        }
        xMin_ = std::min(xMin_, entry.x());
        xMax_ = std::max(xMax_, entry.x());
        yMin_ = std::min(yMin_, entry.y());
        yMax_ = std::max(yMax_, entry.y());
    }
    if (!any) xMin_ = xMax_ = yMin_ = yMax_ = 0;
}

std::optional<long> ChartDataSet::entryIndexForXValue(double x) const {
    std::optional<long> nearest;
    double distance = 0;
    for (long i = 0; i < entryCount(); ++i) {
        const auto& entry = entries_[std::size_t(i)];
        if (!isDrawable(entry)) continue;
        const double d = std::abs(entry.x() - x);
        if (!nearest || d < distance) {
            nearest = i;
            distance = d;
        }
    }
    return nearest;
}

void ChartDataSet::setColors(std::vector<std::shared_ptr<UIColor>> colors) {
    std::erase(colors, nullptr);
    colors_ = std::move(colors);
}

std::shared_ptr<UIColor> ChartDataSet::colorAt(long index) const {
    if (colors_.empty()) return UIColor::blackColor();
    return colors_[std::size_t(std::abs(index)) % colors_.size()];
}

void ChartDataSet::setValueFont(std::shared_ptr<UIFont> font) {
    valueFont_ = font ? std::move(font) : UIFont::systemFontOfSize(7);
}

void ChartDataSet::setValueTextColor(std::shared_ptr<UIColor> color) {
    valueTextColor_ = color ? std::move(color) : UIColor::blackColor();
}

void ChartDataSet::setHighlightColor(std::shared_ptr<UIColor> color) {
    highlightColor_ = color ? std::move(color) : UIColor::blackColor();
}

std::string ChartDataSet::valueText(long index, int dataSetIndex, const ViewPortHandler* viewPortHandler) const {
    const auto& entry = entries_.at(std::size_t(index));
    if (valueFormatter_) return valueFormatter_->stringForValue(entry.y(), entry, dataSetIndex, viewPortHandler);
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", entry.y());
    return text;
}

}  // namespace platform
