#include "platform/colorpicker/brightness_slider_control.h"

#include "platform/colorpicker/color_thumb_view.h"

#include <algorithm>
#include <cmath>

#include "platform/coregraphics/cg_gradient.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/text/ns_attributed_string.h"
#include "platform/uikit/text/ui_font.h"

namespace platform {

namespace {
// The thumb's resting radius leaves room for itself at both ends of the track.
constexpr CGFloat kInset = BrightnessSliderControl::kThumbRadius;
}  // namespace

BrightnessSliderControl::BrightnessSliderControl(const CGRect& frame) : ColorControl(frame) {
    setBackgroundColor(UIColor::clearColor());
}

void BrightnessSliderControl::setExpandOnTap(bool expands) {
    expandOnTap_ = expands;
    setNeedsDisplay();
}

void BrightnessSliderControl::setShowPercentage(bool shows) {
    showPercentage_ = shows;
    setNeedsDisplay();
}

CGPoint BrightnessSliderControl::thumbCentre(const HSBColor& color) const {
    const CGRect area = bounds();
    const CGFloat length = std::max<CGFloat>(0, area.size.width - 2 * kInset);
    return {area.minX() + kInset + color.brightness * length, area.midY()};
}

CGFloat BrightnessSliderControl::thumbRadius() const {
    return expandOnTap_ && isTracking() ? kThumbRadius * kExpandedScale : kThumbRadius;
}

std::string BrightnessSliderControl::percentageText(double brightness) {
    return std::to_string(static_cast<int>(std::lround(std::clamp(brightness, 0.0, 1.0) * 100))) + "%";
}

HSBColor BrightnessSliderControl::colorAtPoint(CGPoint point) const {
    HSBColor color = selectedHSBColor();
    const CGFloat length = bounds().size.width - 2 * kInset;
    color.brightness = length > 0 ? std::clamp<double>((point.x - bounds().minX() - kInset) / length, 0, 1) : 0;
    return color;
}

void BrightnessSliderControl::drawRect(const CGRect&) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const HSBColor& selected = selectedHSBColor();
    const CGRect area = bounds();
    const CGRect track(area.minX() + kInset, area.midY() - kTrackHeight / 2,
                       std::max<CGFloat>(0, area.size.width - 2 * kInset), kTrackHeight);
    const auto gradient = CGGradient::withColors({UIColor::blackColor(), selected.brightest().color()});
    paintInRoundedRect(*context, track, kTrackHeight / 2,
                       [&] { CGContextDrawLinearGradient(*context, *gradient, {track.minX(), 0}, {track.maxX(), 0}); });

    const CGPoint centre = thumbCentre(selected);
    const CGFloat radius = thumbRadius();
    ColorThumbView::draw(*context, centre, radius, selected);
    if (!showPercentage_) return;
    // Dark text on a light thumb, light text on a dark one.
    const auto ink = selected.brightness > 0.6 ? UIColor::blackColor() : UIColor::whiteColor();
    const NSAttributedString text(percentageText(selected.brightness), {UIFont::boldSystemFontOfSize(radius * 0.55), ink});
    const CGSize size = text.size();
    text.drawAtPoint({centre.x - size.width / 2, centre.y - size.height / 2});
}

}  // namespace platform
