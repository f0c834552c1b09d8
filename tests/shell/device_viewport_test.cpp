#include <gtest/gtest.h>

#include "shell/device_viewport.h"

using platform::CGPoint;
using platform::CGRect;
using platform::CGSize;
using quorvel::shell::DeviceViewport;

TEST(DeviceViewportWindowSize, OneUnitAPointWhenItFitsElseScaledIntoNineTenthsOfTheDesktop) {
    // A phone fits a 1080p desktop as it is.
    EXPECT_EQ(DeviceViewport::windowSizeFor({375, 667}, {1920, 1050}), (CGSize{375, 667}));
    // A large tablet standing up does not: 90 % of 1050 units high, the width in proportion.
    EXPECT_EQ(DeviceViewport::windowSizeFor({1024, 1366}, {1920, 1050}), (CGSize{708, 945}));
    // Lying down it is limited by the width instead.
    EXPECT_EQ(DeviceViewport::windowSizeFor({1366, 1024}, {1280, 1024}), (CGSize{1152, 864}));
    // A zoom the user chose is kept where it fits, and shrunk where it does not.
    EXPECT_EQ(DeviceViewport::windowSizeFor({375, 667}, {1920, 1050}, 0.5), (CGSize{188, 334}));
    EXPECT_EQ(DeviceViewport::windowSizeFor({375, 667}, {1920, 1050}, 2), (CGSize{531, 945}));
    // An unknown desktop does not limit the window.
    EXPECT_EQ(DeviceViewport::windowSizeFor({834, 1194}, {0, 0}), (CGSize{834, 1194}));
    // Nothing degenerate reaches SDL as a zero-sized window.
    EXPECT_EQ(DeviceViewport::windowSizeFor({0, 0}, {1920, 1080}), (CGSize{1, 1}));
}

TEST(DeviceViewportPixels, HighDensityOutputDrawsThePointsAtTheOutputsOwnPixels) {
    // A window of 375 × 667 units shown with 2 pixels a unit.
    const DeviceViewport viewport({375, 667}, {375, 667}, {750, 1334});
    EXPECT_EQ(viewport.pixelsPerPoint(), 2);
    EXPECT_EQ(viewport.zoom(), 1);
    EXPECT_EQ(viewport.screenInOutput(), CGRect(0, 0, 750, 1334));
    // Mouse positions come in units; touches in fractions of the window.
    EXPECT_EQ(viewport.screenPointAt({100.5, 200}), (CGPoint{100.5, 200}));
    EXPECT_EQ(viewport.screenPointAtFraction({0.5, 0.25}), (CGPoint{187.5, 166.75}));
}

TEST(DeviceViewportPixels, AWindowOfAnotherShapeCentresTheScreenBetweenBorders) {
    // A phone screen in a window the user made wider: 400 pixels high, so 0.6 pixels a point.
    const DeviceViewport viewport({375, 667}, {800, 400}, {800, 400});
    EXPECT_NEAR(viewport.pixelsPerPoint(), 400.0 / 667, 1e-12);
    const CGRect screen = viewport.screenInOutput();
    EXPECT_EQ(screen.size, (CGSize{225, 400}));
    EXPECT_EQ(screen.origin, (CGPoint{287, 0}));
    // The screen's corners map to its points; the border maps off the screen.
    const CGPoint topLeft = viewport.screenPointAt({287, 0});
    EXPECT_NEAR(topLeft.x, 0, 1e-9);
    EXPECT_TRUE(viewport.showsPoint(topLeft));
    EXPECT_FALSE(viewport.showsPoint(viewport.screenPointAt({100, 200})));
    EXPECT_FALSE(viewport.showsPoint(viewport.screenPointAt({700, 200})));
    EXPECT_EQ(viewport.clampedToScreen(viewport.screenPointAt({700, 450})), (CGPoint{375, 667}));
    EXPECT_EQ(viewport.clampedToScreen({-5, 20}), (CGPoint{0, 20}));
}

TEST(DeviceViewportPixels, ZoomIsDesktopUnitsPerPointWhateverThePixelDensity) {
    // A tablet scaled into a smaller window on a display with 1.5 pixels a unit.
    const DeviceViewport viewport({1024, 1366}, {512, 683}, {768, 1024});
    EXPECT_NEAR(viewport.zoom(), 0.5, 1e-3);
    EXPECT_NEAR(viewport.pixelsPerPoint(), 0.75, 1e-3);
    const CGPoint middle = viewport.screenPointAt({256, 341.5});
    EXPECT_NEAR(middle.x, 512, 1);
    EXPECT_NEAR(middle.y, 683, 1);
}
