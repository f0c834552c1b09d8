#pragma once

#include <memory>

#include "platform/colorpicker/brightness_slider_control.h"
#include "platform/colorpicker/color_picker_controller_protocol.h"
#include "platform/colorpicker/rectangular_palette_control.h"

namespace platform {

// Ties the palette and the brightness slider to one selected colour: a colour set here shows in both,
// a colour the user picks on one shows in the other and goes to the delegate. Controls are attached
// after the fact and may be replaced. Main thread.
class ColorPickerController : public ColorPickerControllerProtocol,
                              public std::enable_shared_from_this<ColorPickerController> {
public:
    ColorPickerController() = default;

    // Held weakly.
    std::shared_ptr<ColorPickerDelegate> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ColorPickerDelegate> delegate) override { delegate_ = std::move(delegate); }
    // White until set.
    std::shared_ptr<UIColor> selectedColor() const override { return selected_.color(); }
    // No colour leaves the selection as it is.
    void setSelectedColor(const std::shared_ptr<UIColor>& color) override;
    const HSBColor& selectedHSBColor() const { return selected_; }

    const std::shared_ptr<RectangularPaletteControl>& rectangularPaletteControl() const { return palette_; }
    void setRectangularPaletteControl(const std::shared_ptr<RectangularPaletteControl>& control);
    const std::shared_ptr<BrightnessSliderControl>& brightnessSliderControl() const { return slider_; }
    void setBrightnessSliderControl(const std::shared_ptr<BrightnessSliderControl>& control);

private:
    // Detaches `held` from this controller and attaches `control` in its place.
    template <typename Control>
    void attach(std::shared_ptr<Control>& held, const std::shared_ptr<Control>& control);
    void controlPicked(ColorControl& control);
    void controlReleased(ColorControl& control);
    void showSelection();

    std::weak_ptr<ColorPickerDelegate> delegate_;
    HSBColor selected_;
    std::shared_ptr<RectangularPaletteControl> palette_;
    std::shared_ptr<BrightnessSliderControl> slider_;
};

}  // namespace platform
