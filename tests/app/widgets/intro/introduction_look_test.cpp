#include <gtest/gtest.h>

#include <filesystem>

#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "tests/app/widgets/intro/intro_test.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::IntroTest;

constexpr CGFloat kScale = 2;

bool near(UIImage::Pixel p, int r, int g, int b) {
    return std::abs(p.r - r) < 8 && std::abs(p.g - g) < 8 && std::abs(p.b - b) < 8;
}

using IntroductionLook = IntroTest;

// A panel with a header, an image and the page control, written as a PNG for a person to look at.
TEST_F(IntroductionLook, PanelOverTheBackgroundColour) {
    UIGraphicsBeginImageContextWithOptions({120, 120}, false, 1);
    UIGraphicsGetCurrentContext()->setFillColor(UIColor::whiteColor());
    UIGraphicsGetCurrentContext()->fillEllipseInRect(CGRect(0, 0, 120, 120));
    const auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto header = std::make_shared<UIView>(CGRect(0, 0, 60, 6));
    header->setBackgroundColor(UIColor::colorWithWhite(1, 0.6));

    intro->setBackgroundColor(UIColor::colorWithRed(1, 64 / 255.0, 64 / 255.0, 1));
    panels = {std::make_shared<IntroductionPanel>(window->bounds(), "Swipe to change the minutes",
                                                  "Turn the ring to set how long the next session lasts.",
                                                  image, header),
              std::make_shared<IntroductionPanel>(window->bounds(), "Tap to start", "")};
    intro->buildIntroductionWithPanels(panels);
    clock->advance(1);

    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "introduction_panel.png";
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, out, kScale));
    const auto shot = LayerRenderer::renderView(*window, kScale);
    const auto at = [&](CGPoint p) { return shot->pixelAt(int(p.x * kScale), int(p.y * kScale)); };
    EXPECT_TRUE(near(at({5, 5}), 255, 64, 64)) << "the background colour";
    const CGRect picture = panels[0]->PanelImageView()->frame();
    EXPECT_TRUE(near(at({picture.midX(), picture.midY()}), 255, 255, 255)) << "the image, centred";
    const CGRect separator = panels[0]->PanelSeparatorLine()->frame();
    EXPECT_TRUE(near(at({separator.midX(), separator.midY()}), 255, 121, 121))
        << "white at 30 % over the colour";
}

}  // namespace
}  // namespace quorvel
