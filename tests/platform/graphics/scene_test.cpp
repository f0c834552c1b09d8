#include <gtest/gtest.h>

#include <filesystem>

#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/views/ui_view.h"
#include "tests/support/scene_builder.h"

namespace platform {
namespace {

// Labels, buttons, an image, a rotated layer and a perspective layer, written as a PNG for a person to
// look at.
TEST(LayerRendererScene, WritesASmallSceneAsPNG) {
    const auto root = quorvel::testing::SceneBuilder::showcase();

    const std::filesystem::path out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "scene.png";
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*root, out, 2));
    const auto written = UIImage::imageWithContentsOfFile(out);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->pixelWidth(), 640);
    EXPECT_EQ(written->pixelHeight(), 800);
}

}  // namespace
}  // namespace platform
