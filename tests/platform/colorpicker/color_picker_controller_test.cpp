#include "platform/colorpicker/color_picker_controller.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/foundation/clock.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/drawing/ui_image.h"
#include "tests/support/touch_driver.h"

using namespace platform;

namespace {

constexpr CGFloat kScale = 2;

// Records what the picker tells its delegate.
struct Heard : ColorPickerDelegate {
    void colorPickerSelectedColor(ColorPickerController&, const std::shared_ptr<UIColor>& color,
                                  ColorControl& control) override {
        selected.push_back(HSBColor::fromColor(*color));
        controls.push_back(&control);
    }
    void colorPickerConfirmedColor(ColorPickerController&, const std::shared_ptr<UIColor>&, ColorControl&) override {
        ++confirmed;
    }
    std::vector<HSBColor> selected;
    std::vector<ColorControl*> controls;
    int confirmed = 0;
};

// A palette and a slider in a window, tied by one picker.
class ColorPicking : public ::testing::Test {
protected:
    ColorPicking() {
        auto root = std::make_shared<UIViewController>();
        root->view()->setBackgroundColor(UIColor::whiteColor());
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        root->view()->addSubview(palette);
        root->view()->addSubview(slider);
        picker->setDelegate(heard);
        picker->setSelectedColor(UIColor::colorWithHue(0.5, 0.5, 0.8, 1));
        picker->setRectangularPaletteControl(palette);
        picker->setBrightnessSliderControl(slider);
    }

    // A point of a control in window coordinates.
    CGPoint at(const UIView& view, CGFloat x, CGFloat y) { return view.convertPointToView(CGPoint{x, y}, nullptr); }

    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>();
    quorvel::testing::TouchDriver touches{clock};
    std::shared_ptr<RectangularPaletteControl> palette =
        std::make_shared<RectangularPaletteControl>(CGRect(20, 40, 300, 200));
    std::shared_ptr<BrightnessSliderControl> slider = std::make_shared<BrightnessSliderControl>(CGRect(20, 270, 300, 44));
    std::shared_ptr<ColorPickerController> picker = std::make_shared<ColorPickerController>();
    std::shared_ptr<Heard> heard = std::make_shared<Heard>();
    std::vector<HSBColor>& selected = heard->selected;
    std::vector<ColorControl*>& controls = heard->controls;
    int& confirmed = heard->confirmed;
};

}  // namespace

TEST_F(ColorPicking, AColourSetInCodeShowsInBothControlsAndTellsNoOne) {
    EXPECT_NEAR(palette->selectedHSBColor().hue, 0.5, 1e-6);
    EXPECT_NEAR(slider->selectedHSBColor().brightness, 0.8, 1e-6);
    picker->setSelectedColor(UIColor::colorWithRed(1, 0.25, 0.25, 1));
    EXPECT_NEAR(palette->selectedHSBColor().saturation, 0.75, 1e-6);
    EXPECT_EQ(slider->selectedHSBColor(), palette->selectedHSBColor());
    picker->setSelectedColor(nullptr);
    EXPECT_NEAR(picker->selectedHSBColor().saturation, 0.75, 1e-6) << "no colour keeps the selection";
    EXPECT_TRUE(selected.empty());
}

TEST_F(ColorPicking, ThePaletteSetsHueAndSaturationTheSliderBrightnessAndEachShowsInTheOther) {
    touches.drag(at(*palette, 150, 50), at(*palette, 75, 50), 0.2);  // hue 0.25, saturation 0.75
    ASSERT_FALSE(selected.empty());
    EXPECT_EQ(controls.back(), palette.get());
    EXPECT_NEAR(selected.back().hue, 0.25, 0.01);
    EXPECT_NEAR(selected.back().saturation, 0.75, 0.01);
    EXPECT_NEAR(selected.back().brightness, 0.8, 1e-6) << "the palette keeps the brightness";
    EXPECT_EQ(slider->selectedHSBColor(), palette->selectedHSBColor());
    EXPECT_EQ(confirmed, 1) << "lifting the finger confirms once";

    // Down to black and back: the hue and saturation survive.
    touches.drag(at(*slider, 200, 22), at(*slider, -40, 22), 0.2);
    EXPECT_EQ(controls.back(), slider.get());
    EXPECT_EQ(picker->selectedHSBColor().brightness, 0);
    touches.tap(at(*slider, 150, 22));
    EXPECT_NEAR(picker->selectedHSBColor().brightness, 0.5, 0.01);
    EXPECT_NEAR(picker->selectedHSBColor().hue, 0.25, 0.01);
    EXPECT_NEAR(palette->selectedHSBColor().saturation, 0.75, 0.01);
    EXPECT_EQ(confirmed, 3);
}

TEST_F(ColorPicking, AReplacedControlNoLongerReachesThePicker) {
    auto old = palette;
    picker->setRectangularPaletteControl(std::make_shared<RectangularPaletteControl>(CGRect(0, 0, 10, 10)));
    touches.tap(at(*old, 10, 10));
    EXPECT_TRUE(selected.empty());
    EXPECT_NE(old->selectedHSBColor(), picker->selectedHSBColor());
}

TEST(ColorControlsLook, PaletteAndSliderDrawTheirColours) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 340, 320));
    root->setBackgroundColor(UIColor::whiteColor());
    auto palette = std::make_shared<RectangularPaletteControl>(CGRect(20, 20, 300, 200));
    auto slider = std::make_shared<BrightnessSliderControl>(CGRect(20, 250, 300, 44));
    auto dim = std::make_shared<BrightnessSliderControl>(CGRect(20, 290, 300, 30));
    dim->setShowPercentage(false);
    root->addSubview(palette);
    root->addSubview(slider);
    root->addSubview(dim);
    palette->setSelectedHSBColor({0.6, 0.5, 1, 1});
    slider->setSelectedHSBColor({0.0, 1, 0.75, 1});
    dim->setSelectedHSBColor({0.6, 0.5, 0, 1});

    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "color_controls.png";
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*root, out, kScale));
    const auto image = LayerRenderer::renderView(*root, kScale);
    auto near = [&](CGFloat x, CGFloat y, int r, int g, int b) {
        const auto p = image->pixelAt(int(x * kScale), int(y * kScale));
        return std::abs(p.r - r) < 14 && std::abs(p.g - g) < 14 && std::abs(p.b - b) < 14;
    };
    EXPECT_TRUE(near(21, 120, 255, 128, 128)) << "half-saturated red halfway down the left edge";
    EXPECT_TRUE(near(20 + 100, 24, 0, 255, 0)) << "green a third along";
    EXPECT_TRUE(near(20 + 200, 24, 0, 0, 255)) << "blue two thirds along";
    EXPECT_TRUE(near(20 + 150, 217, 255, 255, 255)) << "white along the bottom";
    EXPECT_TRUE(near(20 + 20, 250 + 22, 0, 0, 0)) << "the track starts black";
    EXPECT_TRUE(near(20 + 280, 250 + 22, 255, 0, 0)) << "and ends in the full colour";
    const CGPoint thumb = slider->thumbCentre(slider->selectedHSBColor());
    EXPECT_TRUE(near(20 + thumb.x - 8, 250 + thumb.y + 6, 191, 0, 0)) << "the thumb shows the selected colour";
    EXPECT_EQ(BrightnessSliderControl::percentageText(0.755), "76%");
}
