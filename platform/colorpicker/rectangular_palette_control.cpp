#include "platform/colorpicker/rectangular_palette_control.h"

#include <algorithm>

#include "platform/coregraphics/cg_gradient.h"
#include "platform/uikit/drawing/ui_graphics.h"

namespace platform {

namespace {

double clampedFraction(CGFloat value, CGFloat length) {
    return length > 0 ? std::clamp<double>(value / length, 0, 1) : 0;
}

// Red, yellow, green, cyan, blue, magenta and red again: straight lines in RGB between them are the hues.
const std::shared_ptr<CGGradient>& hueGradient() {
    static const auto gradient = [] {
        std::vector<CGColorRef> colors;
        for (int sixth = 0; sixth <= 6; ++sixth) colors.push_back(UIColor::colorWithHue(sixth / 6.0, 1, 1, 1));
        return CGGradient::withColors(colors);
    }();
    return gradient;
}

// Transparent at the top to white at the bottom: saturation falling to none.
const std::shared_ptr<CGGradient>& whiteningGradient() {
    static const auto gradient =
        CGGradient::withColors({UIColor::colorWithWhite(1, 0), UIColor::colorWithWhite(1, 1)});
    return gradient;
}

}  // namespace

RectangularPaletteControl::RectangularPaletteControl(const CGRect& frame) : ColorControl(frame) {
    setBackgroundColor(UIColor::clearColor());
    addSubview(thumb_);
    placeThumb();
}

void RectangularPaletteControl::layoutSubviews() {
    ColorControl::layoutSubviews();
    placeThumb();
}

void RectangularPaletteControl::selectionChanged(const HSBColor& before) {
    if (before.brightness != selectedHSBColor().brightness) setNeedsDisplay();
    placeThumb();
}

void RectangularPaletteControl::placeThumb() {
    thumb_->setColor(selectedHSBColor());
    thumb_->setCenter(thumbCentre(selectedHSBColor()));
}

CGPoint RectangularPaletteControl::thumbCentre(const HSBColor& color) const {
    const CGSize size = bounds().size;
    return {color.hue * size.width, (1 - color.saturation) * size.height};
}

HSBColor RectangularPaletteControl::colorAtPoint(CGPoint point) const {
    HSBColor color = selectedHSBColor();
    const CGSize size = bounds().size;
    color.hue = clampedFraction(point.x, size.width);
    color.saturation = 1 - clampedFraction(point.y, size.height);
    return color;
}

void RectangularPaletteControl::drawRect(const CGRect&) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const CGRect area = bounds();
    paintInRoundedRect(*context, area, kCornerRadius, [&] {
        CGContextDrawLinearGradient(*context, *hueGradient(), {area.minX(), 0}, {area.maxX(), 0});
        CGContextDrawLinearGradient(*context, *whiteningGradient(), {0, area.minY()}, {0, area.maxY()});
        context->setFillColor(UIColor::colorWithWhite(0, 1 - selectedHSBColor().brightness));
        context->fillRect(area);
    });
}

}  // namespace platform
