#include "platform/colorpicker/hsb_color.h"

namespace platform {

HSBColor HSBColor::fromColor(const UIColor& color) {
    HSBColor hsb;
    if (!color.getHue(&hsb.hue, &hsb.saturation, &hsb.brightness, &hsb.alpha)) return {};
    return hsb;
}

std::shared_ptr<UIColor> HSBColor::color() const {
    return UIColor::colorWithHue(hue, saturation, brightness, alpha);
}

}  // namespace platform
