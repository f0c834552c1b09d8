#pragma once

#include "platform/colorpicker/color_control.h"

namespace platform {

// Every hue from left to right (red at both ends) and saturation from full at the top to none at the
// bottom, shown at the selected brightness; the thumb marks the selected colour. A touch picks the hue
// and saturation under it and keeps the brightness.
class RectangularPaletteControl : public ColorControl {
public:
    static constexpr CGFloat kThumbRadius = 14;
    static constexpr CGFloat kCornerRadius = 8;

    RectangularPaletteControl() : RectangularPaletteControl(CGRect()) {}
    explicit RectangularPaletteControl(const CGRect& frame);

    // The thumb's centre for a colour, in the control's coordinates.
    CGPoint thumbCentre(const HSBColor& color) const;
    void drawRect(const CGRect& rect) override;

protected:
    HSBColor colorAtPoint(CGPoint point) const override;
};

}  // namespace platform
