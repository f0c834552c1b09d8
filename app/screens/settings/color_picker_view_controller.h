#pragma once

#include <memory>

#include "app/screens/settings/colour_picker_function.h"
#include "app/screens/timer/zuvo_custom_button.h"
#include "platform/colorpicker/color_picker_controller.h"
#include "platform/uikit/controllers/ui_view_controller.h"

namespace quorvel {

// Edits the theme colour of one session type: the stored colour on a button, a palette with a
// brightness slider below it, and "Save", which stores the picked colour in both suites, announces it
// ("ColourSet") and goes back. Leaving another way stores nothing. Main thread only.
class ColorPickerViewController : public platform::UIViewController,
                                  public platform::ColorPickerControllerProtocol,
                                  public platform::ColorPickerDelegate {
public:
    ColorPickerViewController();
    ~ColorPickerViewController() override;

    // Outlets of the screen's view, held weakly as the view holds them.
    std::shared_ptr<ZuvoCustomButton> colourButton() const { return colourButton_.lock(); }
    std::shared_ptr<platform::UIView> sliderContainer() const { return sliderContainer_.lock(); }
    std::shared_ptr<platform::UIView> paletteContainer() const { return paletteContainer_.lock(); }
    // Set by the settings screen before the screen is shown.
    ColourPickerFunction colourPickerFunction() const { return colourPickerFunction_; }
    void setColourPickerFunction(ColourPickerFunction function) { colourPickerFunction_ = function; }
    const std::shared_ptr<platform::UIColor>& currentColour() const { return currentColour_; }
    const std::shared_ptr<platform::ColorPickerController>& colorPicker() const { return colorPicker_; }
    // Made on first use.
    const std::shared_ptr<platform::RectangularPaletteControl>& paletteControl();
    const std::shared_ptr<platform::BrightnessSliderControl>& brightnessControl();

    // The picker's delegate and selected colour.
    std::shared_ptr<platform::ColorPickerDelegate> delegate() const override { return colorPicker_->delegate(); }
    void setDelegate(std::weak_ptr<platform::ColorPickerDelegate> delegate) override;
    std::shared_ptr<platform::UIColor> selectedColor() const override { return colorPicker_->selectedColor(); }
    void setSelectedColor(const std::shared_ptr<platform::UIColor>& color) override;

    void colorPickerSelectedColor(platform::ColorPickerController& colorPicker,
                                  const std::shared_ptr<platform::UIColor>& selectedColor,
                                  platform::ColorControl& usingControl) override;
    void colorPickerConfirmedColor(platform::ColorPickerController& colorPicker,
                                   const std::shared_ptr<platform::UIColor>& confirmedColor,
                                   platform::ColorControl& usingControl) override;

    // The storyboard's scene: the colour button over the palette's container, the slider's below.
    void loadView() override;
    void viewDidLoad() override;

    virtual void setupNavigation();
    // Adds the palette and slider to their containers and fades them in.
    virtual void setupColourControls();
    // The stored colour of the edited type, or its default when none is stored.
    virtual void loadCurrentColour();
    virtual void saveColour();
    void updateColourButton();
    // The action of "Save".
    void setDefaultColour();

private:
    std::weak_ptr<ZuvoCustomButton> colourButton_;
    std::weak_ptr<platform::UIView> sliderContainer_;
    std::weak_ptr<platform::UIView> paletteContainer_;
    ColourPickerFunction colourPickerFunction_ = ColourPickerFunction::focusColour;
    std::shared_ptr<platform::UIColor> currentColour_;
    std::shared_ptr<platform::ColorPickerController> colorPicker_;
    std::shared_ptr<platform::RectangularPaletteControl> paletteControl_;
    std::shared_ptr<platform::BrightnessSliderControl> brightnessControl_;
};

}  // namespace quorvel
