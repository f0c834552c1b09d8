#include "app/core/navigation_bar_style.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <array>

#include "app/core/user_default_properties.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/app/core/settings_test_support.h"

using namespace quorvel;
using platform::UIBarMetrics;
using NavigationBarStyle = quorvel::testing::SettingsTest;

namespace {

// The colour of the one pixel of a one-colour image.
std::array<unsigned char, 4> pixelOf(const platform::UIImage& image) {
    cairo_surface_t* surface = image.surface();
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    return {data[2], data[1], data[0], data[3]};  // ARGB32 is stored as BGRA
}

}  // namespace

TEST_F(NavigationBarStyle, ATranslucentBarShowsNothingBehindItsWhiteContent) {
    auto bar = std::make_shared<platform::UINavigationBar>();
    styleNavigationBar(true, bar);
    EXPECT_TRUE(bar->isTranslucent());
    EXPECT_TRUE(bar->tintColor()->isEqual(platform::UIColor::whiteColor()));
    EXPECT_TRUE(bar->titleTextAttributes().foregroundColor->isEqual(platform::UIColor::whiteColor()));
    ASSERT_NE(bar->shadowImage(), nullptr);
    EXPECT_EQ(bar->shadowImage()->size(), (platform::CGSize{0, 0}));
    auto background = bar->backgroundImageForBarMetrics(UIBarMetrics::defaultMetrics);
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->size(), (platform::CGSize{0, 0}));
    EXPECT_TRUE(bar->titleLabel()->textColor()->isEqual(platform::UIColor::whiteColor()));
}

TEST_F(NavigationBarStyle, AnOpaqueBarTakesTheFocusColourStoredWhenStyled) {
    auto bar = std::make_shared<platform::UINavigationBar>();
    styleNavigationBar(false, bar);  // nothing stored yet: the default focus colour
    EXPECT_EQ(pixelOf(*bar->backgroundImageForBarMetrics(UIBarMetrics::defaultMetrics)),
              (std::array<unsigned char, 4>{255, 64, 64, 255}));
    UserDefaultProperties::save(UserDefaultProperties::focusThemeColor(platform::UIColor::colorWithRed(0, 0.6, 1, 1)));
    styleNavigationBar(false, bar);
    EXPECT_FALSE(bar->isTranslucent());
    EXPECT_EQ(pixelOf(*bar->backgroundImageForBarMetrics(UIBarMetrics::defaultMetrics)),
              (std::array<unsigned char, 4>{0, 153, 255, 255}));
    styleNavigationBar(false, nullptr);  // no bar: nothing to do
}
