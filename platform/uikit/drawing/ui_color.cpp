#include "platform/uikit/drawing/ui_color.h"

#include <algorithm>
#include <cmath>

#include "platform/uikit/drawing/ui_image.h"

namespace platform {

namespace {

std::shared_ptr<UIColor> named(double red, double green, double blue) {
    return UIColor::colorWithRed(red, green, blue, 1.0);
}

}  // namespace

UIColor::UIColor(Key, ColorSpace space, const std::array<double, 4>& components,
                 std::shared_ptr<CGImage> pattern)
    : platform::CGColor(space, components, std::move(pattern)) {}

std::shared_ptr<UIColor> UIColor::make(ColorSpace space, const std::array<double, 4>& components,
                                       std::shared_ptr<CGImage> pattern) {
    return std::make_shared<UIColor>(Key{}, space, components, std::move(pattern));
}

std::shared_ptr<UIColor> UIColor::colorWithRed(double red, double green, double blue, double alpha) {
    return make(ColorSpace::rgb, {red, green, blue, alpha});
}

std::shared_ptr<UIColor> UIColor::colorWithWhite(double white, double alpha) {
    return make(ColorSpace::white, {white, alpha});
}

std::shared_ptr<UIColor> UIColor::colorWithPatternImage(std::shared_ptr<UIImage> image) {
    if (!image) return nullptr;
    return make(ColorSpace::pattern, {0, 0, 0, 1}, std::move(image));
}

std::shared_ptr<UIColor> UIColor::colorWithCGColor(const CGColorRef& color) {
    if (!color) return nullptr;
    if (auto same = std::dynamic_pointer_cast<UIColor>(color)) return same;
    const float* c = color->components();
    return make(color->colorSpace(), {c[0], c[1], c[2], c[3]}, color->patternImage());
}

std::shared_ptr<UIColor> UIColor::colorWithHue(double hue, double saturation, double brightness,
                                               double alpha) {
    double h = std::isfinite(hue) ? hue - std::floor(hue) : 0.0;  // the hue circle wraps
    const double s = storedComponent(saturation);
    const double v = storedComponent(brightness);
    h *= 6.0;
    const int sector = std::min(static_cast<int>(h), 5);
    const double f = h - sector;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    double r = v, g = t, b = p;
    switch (sector) {
        case 0:
            r = v, g = t, b = p;
            break;
        case 1:
            r = q, g = v, b = p;
            break;
        case 2:
            r = p, g = v, b = t;
            break;
        case 3:
            r = p, g = q, b = v;
            break;
        case 4:
            r = t, g = p, b = v;
            break;
        default:
            r = v, g = p, b = q;
            break;
    }
    return colorWithRed(r, g, b, alpha);
}

#define QUORVEL_NAMED_COLOR(name, expr)                     \
    std::shared_ptr<UIColor> UIColor::name() {              \
        static const std::shared_ptr<UIColor> color = expr; \
        return color;                                       \
    }

QUORVEL_NAMED_COLOR(blackColor, colorWithWhite(0, 1))
QUORVEL_NAMED_COLOR(darkGrayColor, colorWithWhite(1.0 / 3.0, 1))
QUORVEL_NAMED_COLOR(grayColor, colorWithWhite(0.5, 1))
QUORVEL_NAMED_COLOR(lightGrayColor, colorWithWhite(2.0 / 3.0, 1))
QUORVEL_NAMED_COLOR(whiteColor, colorWithWhite(1, 1))
QUORVEL_NAMED_COLOR(clearColor, colorWithWhite(0, 0))
QUORVEL_NAMED_COLOR(redColor, named(1, 0, 0))
QUORVEL_NAMED_COLOR(greenColor, named(0, 1, 0))
QUORVEL_NAMED_COLOR(blueColor, named(0, 0, 1))
QUORVEL_NAMED_COLOR(cyanColor, named(0, 1, 1))
QUORVEL_NAMED_COLOR(yellowColor, named(1, 1, 0))
QUORVEL_NAMED_COLOR(magentaColor, named(1, 0, 1))
QUORVEL_NAMED_COLOR(orangeColor, named(1, 0.5, 0))
QUORVEL_NAMED_COLOR(purpleColor, named(0.5, 0, 0.5))
QUORVEL_NAMED_COLOR(brownColor, named(0.6, 0.4, 0.2))

#undef QUORVEL_NAMED_COLOR

std::shared_ptr<UIColor> UIColor::colorWithAlphaComponent(double alpha) const {
    const float* c = components();
    std::array<double, 4> changed = {c[0], c[1], c[2], c[3]};
    changed[numberOfComponents() - 1] = alpha;
    return make(colorSpace(), changed, patternImage());
}

bool UIColor::getHue(double* hue, double* saturation, double* brightness, double* alpha) const {
    double r = 0, g = 0, b = 0;
    if (!getRed(&r, &g, &b, nullptr)) return false;
    const double maxC = std::max({r, g, b});
    const double delta = maxC - std::min({r, g, b});
    double h = 0;
    if (delta > 0) {
        if (maxC == r) {
            h = (g - b) / delta;
            if (h < 0) h += 6;
        } else if (maxC == g) {
            h = (b - r) / delta + 2;
        } else {
            h = (r - g) / delta + 4;
        }
        h /= 6;
    }
    if (hue) *hue = h;
    if (saturation) *saturation = maxC > 0 ? delta / maxC : 0;
    if (brightness) *brightness = maxC;
    if (alpha) *alpha = this->alpha();
    return true;
}

bool UIColor::getWhite(double* white, double* alpha) const {
    if (colorSpace() != ColorSpace::white) return false;
    if (white) *white = components()[0];
    if (alpha) *alpha = components()[1];
    return true;
}

}  // namespace platform
