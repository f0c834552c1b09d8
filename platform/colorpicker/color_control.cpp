#include "platform/colorpicker/color_control.h"

#include <cairo.h>

#include "platform/uikit/drawing/ui_bezier_path.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/touches/ui_touch.h"

namespace platform {

void ColorControl::setSelectedHSBColor(const HSBColor& color) {
    if (color == selected_) return;
    const HSBColor before = selected_;
    selected_ = color;
    selectionChanged(before);
}

void ColorControl::selectionChanged(const HSBColor&) {
    setNeedsDisplay();
}

bool ColorControl::beginTrackingWithTouch(UITouch& touch, const UIEvent*) {
    pick(touch);
    setNeedsDisplay();
    return true;
}

bool ColorControl::continueTrackingWithTouch(UITouch& touch, const UIEvent*) {
    pick(touch);
    return true;
}

void ColorControl::endTrackingWithTouch(UITouch& touch, const UIEvent* event) {
    UIControl::endTrackingWithTouch(touch, event);
    setNeedsDisplay();
}

void ColorControl::cancelTrackingWithEvent(const UIEvent* event) {
    UIControl::cancelTrackingWithEvent(event);
    setNeedsDisplay();
}

void ColorControl::pick(UITouch& touch) {
    const HSBColor picked = colorAtPoint(touch.locationInView(this));
    if (picked == selected_) return;
    setSelectedHSBColor(picked);
    sendActionsForControlEvents(UIControlEventValueChanged);
}

// Painting through a clip would smooth the edge once per layer and let the lower layers show through.
void ColorControl::paintInRoundedRect(CGContext& context, const CGRect& rect, CGFloat cornerRadius,
                                      const std::function<void()>& paint) {
    cairo_t* cairo = context.cairo();
    cairo_save(cairo);
    cairo_push_group(cairo);
    paint();
    cairo_pop_group_to_source(cairo);
    CGContext::appendPath(cairo, *UIBezierPath::bezierPathWithRoundedRect(rect, cornerRadius)->CGPath());
    cairo_fill(cairo);
    cairo_restore(cairo);
}

}  // namespace platform
