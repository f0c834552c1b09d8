#include <gtest/gtest.h>

#include <filesystem>

#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/controls/ui_slider.h"
#include "platform/uikit/controls/ui_switch.h"
#include "platform/uikit/drawing/ui_image.h"
#include "tests/platform/graphics/pixel_probe.h"

namespace platform {
namespace {

bool roughlyNear(Pixel p, int r, int g, int b) {
    return std::abs(p.r - r) < 12 && std::abs(p.g - g) < 12 && std::abs(p.b - b) < 12 && p.a == 255;
}

// Two switches, off and on, and three sliders at 0, 0.5 and 1, written as a PNG for a person to look at.
TEST(ControlsLook, SwitchesAndSliders) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 260, 200));
    root->setBackgroundColor(UIColor::whiteColor());
    auto off = std::make_shared<UISwitch>(CGRect(20, 20, 0, 0));
    auto on = std::make_shared<UISwitch>(CGRect(90, 20, 0, 0));
    on->setOn(true);
    root->addSubview(off);
    root->addSubview(on);
    for (float value : {0.f, 0.5f, 1.f}) {
        auto slider = std::make_shared<UISlider>(CGRect(20, 70 + value * 80, 220, UISlider::kHeight));
        slider->setValue(value);
        root->addSubview(slider);
    }

    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "controls.png";
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*root, out, kScale));
    const auto image = LayerRenderer::renderView(*root, kScale);

    EXPECT_TRUE(roughlyNear(at(*image, 45, 21), 233, 233, 235)) << "an off track is light grey";
    EXPECT_TRUE(roughlyNear(at(*image, 115, 21), 52, 199, 89)) << "an on track is green";
    EXPECT_TRUE(roughlyNear(at(*image, 35.5, 35.5), 255, 255, 255)) << "the off thumb at the left";
    EXPECT_TRUE(roughlyNear(at(*image, 125.5, 35.5), 255, 255, 255)) << "the on thumb at the right";

    const Pixel blue = at(*image, 60, 125.5);  // the middle slider, before its thumb
    EXPECT_TRUE(roughlyNear(blue, 0, 122, 255));
    EXPECT_TRUE(roughlyNear(at(*image, 200, 125.5), 227, 227, 232)) << "after its thumb";
    EXPECT_TRUE(roughlyNear(at(*image, 130, 125.5), 255, 255, 255)) << "its thumb in the middle";
    EXPECT_TRUE(roughlyNear(at(*image, 200, 85.5), 227, 227, 232)) << "the slider at 0 shows no tint";
    EXPECT_TRUE(roughlyNear(at(*image, 60, 165.5), 0, 122, 255)) << "the slider at 1 is tinted all along";
}

}  // namespace
}  // namespace platform
