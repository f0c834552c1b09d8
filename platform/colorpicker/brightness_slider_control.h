#pragma once

#include "platform/colorpicker/color_control.h"

namespace platform {

// A track from black on the left to the selected hue and saturation at full brightness on the right,
// with the thumb at the selected brightness. A touch picks the brightness under it and keeps the hue and
// saturation. Optionally the thumb grows while held and shows the brightness as a percentage.
class BrightnessSliderControl : public ColorControl {
public:
    static constexpr CGFloat kThumbRadius = 14;
    static constexpr CGFloat kTrackHeight = 12;
    static constexpr CGFloat kExpandedScale = 1.5;

    BrightnessSliderControl() : BrightnessSliderControl(CGRect()) {}
    explicit BrightnessSliderControl(const CGRect& frame);

    bool expandOnTap() const { return expandOnTap_; }
    void setExpandOnTap(bool expands);
    bool showPercentage() const { return showPercentage_; }
    void setShowPercentage(bool shows);

    // The thumb's centre and radius now, in the control's coordinates.
    CGPoint thumbCentre(const HSBColor& color) const;
    CGFloat thumbRadius() const;
    // "0%" to "100%", rounded.
    static std::string percentageText(double brightness);
    void drawRect(const CGRect& rect) override;

protected:
    HSBColor colorAtPoint(CGPoint point) const override;

private:
    bool expandOnTap_ = true;
    bool showPercentage_ = true;
};

}  // namespace platform
