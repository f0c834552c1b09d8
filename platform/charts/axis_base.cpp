#include "platform/charts/axis_base.h"

#include <cstdio>

namespace platform {

namespace {

std::shared_ptr<UIColor> defaultLineColor() {
    return UIColor::colorWithWhite(0.6, 1);
}

}  // namespace

AxisBase::AxisBase()
    : labelFont_(UIFont::systemFontOfSize(10)),
      labelTextColor_(UIColor::blackColor()),
      gridColor_(defaultLineColor()),
      axisLineColor_(defaultLineColor()) {}

void AxisBase::setLabelFont(std::shared_ptr<UIFont> font) {
    labelFont_ = font ? std::move(font) : UIFont::systemFontOfSize(10);
}

void AxisBase::setLabelTextColor(std::shared_ptr<UIColor> color) {
    labelTextColor_ = color ? std::move(color) : UIColor::blackColor();
}

std::string AxisBase::labelText(double value) const {
    if (valueFormatter_) return valueFormatter_->stringForValue(value, this);
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace platform
