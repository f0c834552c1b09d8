#pragma once

#include <memory>

#include "platform/colorpicker/color_picker_delegate.h"
#include "platform/uikit/drawing/ui_color.h"

namespace platform {

// What a screen offering a colour picker answers for: its delegate and its selected colour.
class ColorPickerControllerProtocol {
public:
    virtual ~ColorPickerControllerProtocol() = default;

    virtual std::shared_ptr<ColorPickerDelegate> delegate() const = 0;
    virtual void setDelegate(std::weak_ptr<ColorPickerDelegate> delegate) = 0;
    virtual std::shared_ptr<UIColor> selectedColor() const = 0;
    virtual void setSelectedColor(const std::shared_ptr<UIColor>& color) = 0;
};

}  // namespace platform
