#pragma once

#include <memory>

#include "platform/uikit/drawing/ui_color.h"

namespace platform {

class ColorControl;
class ColorPickerController;

// Hears the colours a user picks: each one as it is picked, and the one a lifted finger leaves.
class ColorPickerDelegate {
public:
    virtual ~ColorPickerDelegate() = default;

    virtual void colorPickerSelectedColor(ColorPickerController& colorPicker, const std::shared_ptr<UIColor>& selectedColor,
                                          ColorControl& usingControl) {
        (void)colorPicker;
        (void)selectedColor;
        (void)usingControl;
    }
    virtual void colorPickerConfirmedColor(ColorPickerController& colorPicker,
                                           const std::shared_ptr<UIColor>& confirmedColor, ColorControl& usingControl) {
        (void)colorPicker;
        (void)confirmedColor;
        (void)usingControl;
    }
};

}  // namespace platform
