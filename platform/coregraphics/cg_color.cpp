#include "platform/coregraphics/cg_color.h"

#include <algorithm>
#include <cmath>

namespace platform {

CGColor::CGColor(ColorSpace space, const std::array<double, 4>& components, std::shared_ptr<CGImage> pattern)
    : space_(space), patternImage_(std::move(pattern)) {
    for (int i = 0; i < numberOfComponents(); ++i) components_[i] = storedComponent(components[i]);
}

float CGColor::storedComponent(double value) {
    if (std::isnan(value)) return 0.0f;
    return static_cast<float>(std::clamp(value, 0.0, 1.0));
}

bool CGColor::getRed(double* red, double* green, double* blue, double* alpha) const {
    if (space_ == ColorSpace::pattern) return false;
    const bool white = space_ == ColorSpace::white;
    if (red) *red = components_[0];
    if (green) *green = white ? components_[0] : components_[1];
    if (blue) *blue = white ? components_[0] : components_[2];
    if (alpha) *alpha = this->alpha();
    return true;
}

bool CGColor::operator==(const CGColor& other) const {
    if (space_ != other.space_ || patternImage_ != other.patternImage_) return false;
    return std::equal(components_, components_ + numberOfComponents(), other.components_);
}

CGColorRef CGColorCreateGenericGray(double gray, double alpha) {
    return std::make_shared<CGColor>(CGColor::ColorSpace::white, std::array<double, 4>{gray, alpha});
}

CGColorRef CGColorCreateGenericRGB(double red, double green, double blue, double alpha) {
    return std::make_shared<CGColor>(CGColor::ColorSpace::rgb,
                                     std::array<double, 4>{red, green, blue, alpha});
}

}  // namespace platform
