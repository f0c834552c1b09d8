#pragma once

#include <memory>

#include "platform/uikit/drawing/ui_color.h"

namespace platform {

// A colour as hue, saturation and brightness (each 0…1) with alpha. The picker keeps its colour in
// this form, so a hue survives a trip through black or grey, where RGB would lose it.
struct HSBColor {
    double hue = 0;
    double saturation = 0;
    double brightness = 1;
    double alpha = 1;

    // A colour that cannot be read as RGB (a pattern) is white.
    static HSBColor fromColor(const UIColor& color);
    std::shared_ptr<UIColor> color() const;
    // The same hue and saturation at full brightness.
    HSBColor brightest() const { return {hue, saturation, 1, alpha}; }

    bool operator==(const HSBColor&) const = default;
};

}  // namespace platform
