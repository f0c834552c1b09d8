#include "platform/colorpicker/color_thumb_view.h"

#include "platform/uikit/drawing/ui_graphics.h"

namespace platform {

namespace {
constexpr CGFloat kRing = 3;
// The outline's width past the ring.
constexpr CGFloat kOutline = 0.5;
}  // namespace

ColorThumbView::ColorThumbView(CGFloat radius)
    : UIView(CGRect(0, 0, 2 * (radius + kOutline), 2 * (radius + kOutline))), radius_(radius) {
    setBackgroundColor(UIColor::clearColor());
    setUserInteractionEnabled(false);
}

void ColorThumbView::setColor(const HSBColor& color) {
    if (color == color_) return;
    color_ = color;
    setNeedsDisplay();
}

void ColorThumbView::drawRect(const CGRect&) {
    if (CGContext* context = UIGraphicsGetCurrentContext()) draw(*context, bounds().center(), radius_, color_);
}

void ColorThumbView::draw(CGContext& context, CGPoint centre, CGFloat radius, const HSBColor& color) {
    const CGRect outer(centre.x - radius, centre.y - radius, 2 * radius, 2 * radius);
    context.setFillColor(UIColor::colorWithWhite(0, 0.25));
    context.fillEllipseInRect(outer.insetBy(-kOutline, -kOutline));
    context.setFillColor(UIColor::whiteColor());
    context.fillEllipseInRect(outer);
    context.setFillColor(color.color());
    context.fillEllipseInRect(outer.insetBy(kRing, kRing));
}

}  // namespace platform
