#include <gtest/gtest.h>

#include <filesystem>

#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/app/widgets/menu/menu_fixture.h"

namespace quorvel {
namespace {

using platform::CGFloat;
using Pixel = platform::UIImage::Pixel;

constexpr CGFloat kScale = 2;

Pixel at(const platform::UIImage& image, CGFloat x, CGFloat y) {
    return image.pixelAt(int(x * kScale), int(y * kScale));
}

class DropDownMenuRender : public testing::MenuTest {};

// The open menu under the navigation bar over a screen of text, written as a PNG to look at.
TEST_F(DropDownMenuRender, OpenMenuUnderTheNavigationBar) {
    root->setTitle("Focus");
    auto behind = std::make_shared<platform::UILabel>(platform::CGRect(0, 300, 375, 300));
    behind->setText("25:00");
    behind->setTextAlignment(platform::NSTextAlignment::center);
    behind->setFont(platform::UIFont::systemFontOfSize(90));
    root->view()->setBackgroundColor(platform::UIColor::colorWithRed(0.95, 0.45, 0.35, 1));
    root->view()->addSubview(behind);
    items[1]->setBadge("3");
    open();
    window->layoutIfNeeded();

    const auto path = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "drop_down_menu_open.png";
    ASSERT_TRUE(platform::LayerRenderer::writeViewPNG(*window, path, kScale));
    const auto image = platform::LayerRenderer::renderView(*window, kScale);
    // The bar keeps its place above the menu.
    const Pixel bar = at(*image, 300, 40);
    EXPECT_GT(bar.r, 200);
    EXPECT_GT(bar.g, 200);
    // The rows: the menu's dark grey, 80 % over what lies behind.
    const Pixel rowPixel = at(*image, 300, 94);
    EXPECT_LT(rowPixel.r, 110);
    EXPECT_LT(std::abs(rowPixel.r - rowPixel.g), 30) << "grey, not the screen's orange";
    // Each row shows its white icon at the left.
    EXPECT_GT(at(*image, 30, 94).r, 240);
    EXPECT_GT(at(*image, 30, 154).r, 240);
    // Below the menu the screen is behind the dimming toolbar.
    const Pixel dimmed = at(*image, 300, 450);
    EXPECT_GT(dimmed.g, 200) << "the light toolbar covers the orange screen";
}

TEST_F(DropDownMenuRender, SeparatorsTileTheirTwoToneLine) {
    menu->setSeparatorHeight(2);
    open();
    window->layoutIfNeeded();
    const auto image = platform::LayerRenderer::renderView(*window, kScale);
    // The line above the second row: two dark pixel rows, a gap showing the menu, a light row.
    const CGFloat top = menu->itemViews()[1]
                            ->separatorView()
                            ->convertRectToView(menu->itemViews()[1]->separatorView()->bounds(), nullptr)
                            .minY();
    EXPECT_EQ(top, 64 + 60);
    EXPECT_EQ(at(*image, 100, top), (Pixel{28, 28, 27, 255}));
    EXPECT_EQ(at(*image, 100, top + 0.5), (Pixel{28, 28, 27, 255}));
    EXPECT_EQ(at(*image, 100, top + 1.5), (Pixel{79, 79, 77, 255}));
    EXPECT_NE(at(*image, 100, top + 1), (Pixel{28, 28, 27, 255}));
}

}  // namespace
}  // namespace quorvel
