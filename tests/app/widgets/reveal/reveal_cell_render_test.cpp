#include <gtest/gtest.h>

#include <filesystem>

#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/text/ui_font.h"
#include "tests/app/widgets/reveal/reveal_fixture.h"

namespace quorvel {
namespace {

using platform::CGFloat;
using platform::UIColor;
using Pixel = platform::UIImage::Pixel;

constexpr CGFloat kScale = 2;

Pixel at(const platform::UIImage& image, CGFloat x, CGFloat y) {
    return image.pixelAt(int(x * kScale), int(y * kScale));
}

bool near(Pixel p, int r, int g, int b) {
    return std::abs(p.r - r) <= 3 && std::abs(p.g - g) <= 3 && std::abs(p.b - b) <= 3 && p.a == 255;
}

std::shared_ptr<platform::UILabel> value(const std::string& text) {
    auto label = std::make_shared<platform::UILabel>();
    label->setText(text);
    label->setTextAlignment(platform::NSTextAlignment::center);
    label->setFont(platform::UIFont::fontWithName("SFProDisplay-Light", 40));
    label->setTextColor(UIColor::colorWithWhite(0.1, 1));
    return label;
}

class RevealCellRender : public testing::RevealCellTest {};

// A round and goal row dragged half way open over its two left buttons, written as a PNG to look at.
TEST_F(RevealCellRender, HalfRevealedRoundAndGoalRow) {
    const auto skip = UIColor::colorWithRed(0.9, 0.3, 0.25, 1),
               reset = UIColor::colorWithRed(0.2, 0.45, 0.85, 1);
    source->left = {item("Skip", 80, skip), item("Reset", 80, reset)};
    for (const auto& button : source->left) button->setTintColor(UIColor::whiteColor());
    cell->setNsession(value("2/4"));
    cell->setNgoal(value("5/12"));
    cell->contentView()->addSubview(cell->nsession());
    cell->contentView()->addSubview(cell->ngoal());
    join();
    drag(100, 180, 1, false);
    window->layoutIfNeeded();
    ASSERT_EQ(contentX(), 80);

    const auto path = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "reveal_cell_half_open.png";
    ASSERT_TRUE(platform::LayerRenderer::writeViewPNG(*cell, path, kScale));
    const auto image = platform::LayerRenderer::renderView(*cell, kScale);
    // Each button has its half of the 80 dragged points; the content, white, starts after them.
    EXPECT_TRUE(near(at(*image, 5, 5), 230, 77, 64));
    EXPECT_TRUE(near(at(*image, 75, 5), 51, 115, 217));
    EXPECT_TRUE(near(at(*image, 100, 5), 255, 255, 255));
    // The captions and the centre line moved with the content.
    EXPECT_TRUE(near(at(*image, 80 + 187.5, 50), 209, 209, 209)) << "the faint centre line";
    int ink = 0;
    for (CGFloat x = 80 + 60; x < 80 + 130; x += 0.5) {
        if (at(*image, x, 55).r < 128) ++ink;
    }
    EXPECT_GT(ink, 10) << "the round count is drawn";
}

}  // namespace
}  // namespace quorvel
