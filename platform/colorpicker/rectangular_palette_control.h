#pragma once

#include "platform/colorpicker/color_control.h"
#include "platform/colorpicker/color_thumb_view.h"

namespace platform {

// Every hue from left to right (red at both ends) and saturation from full at the top to none at the
// bottom, shown at the selected brightness; the thumb marks the selected colour, its centre on the
// palette's edge at the ends of a range. A touch picks the hue and saturation under it and keeps the
// brightness.
class RectangularPaletteControl : public ColorControl {
public:
    static constexpr CGFloat kThumbRadius = 14;
    static constexpr CGFloat kCornerRadius = 8;

    RectangularPaletteControl() : RectangularPaletteControl(CGRect()) {}
    explicit RectangularPaletteControl(const CGRect& frame);

    // The thumb's centre for a colour, in the control's coordinates.
    CGPoint thumbCentre(const HSBColor& color) const;
    const std::shared_ptr<ColorThumbView>& thumb() const { return thumb_; }
    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;

protected:
    HSBColor colorAtPoint(CGPoint point) const override;
    // Only a change of brightness changes the palette; the thumb follows every change.
    void selectionChanged(const HSBColor& before) override;

private:
    void placeThumb();

    std::shared_ptr<ColorThumbView> thumb_ = std::make_shared<ColorThumbView>(kThumbRadius);
};

}  // namespace platform
