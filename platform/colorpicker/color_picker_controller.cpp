#include "platform/colorpicker/color_picker_controller.h"

namespace platform {

void ColorPickerController::setSelectedColor(const std::shared_ptr<UIColor>& color) {
    if (!color) return;
    selected_ = HSBColor::fromColor(*color);
    showSelection();
}

void ColorPickerController::setRectangularPaletteControl(const std::shared_ptr<RectangularPaletteControl>& control) {
    attach(palette_, control);
}

void ColorPickerController::setBrightnessSliderControl(const std::shared_ptr<BrightnessSliderControl>& control) {
    attach(slider_, control);
}

template <typename Control>
void ColorPickerController::attach(std::shared_ptr<Control>& held, const std::shared_ptr<Control>& control) {
    if (held) held->removeTarget(this, UIControlEventAllEvents);
    held = control;
    if (!held) return;
    held->setSelectedHSBColor(selected_);
    // The control's events reach this controller for as long as it lives.
    const auto forward = [weak = weak_from_this()](void (ColorPickerController::*method)(ColorControl&)) {
        return [weak, method](UIControl& sender) {
            auto self = weak.lock();
            if (auto* control = dynamic_cast<ColorControl*>(&sender); self && control) ((*self).*method)(*control);
        };
    };
    held->addTarget(this, forward(&ColorPickerController::controlPicked), UIControlEventValueChanged);
    held->addTarget(this, forward(&ColorPickerController::controlReleased),
                    UIControlEventTouchUpInside | UIControlEventTouchUpOutside);
}

void ColorPickerController::controlPicked(ColorControl& control) {
    selected_ = control.selectedHSBColor();
    showSelection();
    if (auto listener = delegate()) listener->colorPickerSelectedColor(*this, selectedColor(), control);
}

void ColorPickerController::controlReleased(ColorControl& control) {
    if (auto listener = delegate()) listener->colorPickerConfirmedColor(*this, selectedColor(), control);
}

void ColorPickerController::showSelection() {
    if (palette_) palette_->setSelectedHSBColor(selected_);
    if (slider_) slider_->setSelectedHSBColor(selected_);
}

}  // namespace platform
