// The real quorvel window with the menu open while the phone turns: the rows follow the bar's new bottom
// edge and the dimmed background still covers the whole screen, as when the menu opens on the turned
// phone; a row chosen after the turn opens its screen.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/shell/walking_desktop_test.h"

namespace {

using namespace std::chrono_literals;
using platform::CGPoint;
using quorvel::testing::ScreenListing;

class MenuTurnWindow : public quorvel::testing::WalkingDesktopTest {
protected:
    // The menu's rows and the colour low on the screen, as they show.
    struct MenuLook {
        platform::CGRect charts, options;
        platform::CGImage::Pixel bottom;
    };

    MenuLook lookAtMenu(Window window, const std::string& name) {
        const ScreenListing listing = look(window, name);
        const auto charts = listing.find("Charts");
        const auto options = listing.find("Options");
        EXPECT_TRUE(charts && options) << name << ": the menu is not open";
        if (!charts || !options) return {};
        return {charts->visible, options->visible,
                pixelAt({listing.screen.midX(), listing.screen.maxY() - 10})
                    .value_or(platform::CGImage::Pixel{})};
    }

    void turn(Window window, const char* key) {
        user->pressKey(window, key);
        app->settle(1500ms);
    }

    static void expectSameLook(const MenuLook& turned, const MenuLook& opened, const std::string& how) {
        for (const auto& [a, b] :
             {std::pair{turned.charts, opened.charts}, {turned.options, opened.options}}) {
            EXPECT_EQ(a.minX(), b.minX()) << how;
            EXPECT_EQ(a.minY(), b.minY()) << how;
        }
        EXPECT_TRUE(turned.bottom == opened.bottom) << how << ": the screen's bottom is not dimmed";
    }
};

}  // namespace

TEST_F(MenuTurnWindow, TheOpenMenuFollowsEachTurnAsIfOpenedThere) {
    markGuidanceSeen();
    const Window window = start({"--device", "iPhone8", "--orientation", "landscape-left"});
    ASSERT_NE(window, 0u);
    app->settle(1s);

    // Opened on either side, closed by a tap low on the dimmed screen.
    tapBarLeadingButton(window, look(window, "menu_turn_sideways_timer.png"));
    const MenuLook sideways = lookAtMenu(window, "menu_turn_opened_sideways.png");
    turn(window, "1");
    const MenuLook turnedUpright = lookAtMenu(window, "menu_turn_turned_upright.png");
    tapAt(window, {187, 640});
    tapBarLeadingButton(window, look(window, "menu_turn_upright_timer.png"));
    const MenuLook upright = lookAtMenu(window, "menu_turn_opened_upright.png");
    expectSameLook(turnedUpright, upright, "opened sideways, turned upright");
    EXPECT_GT(upright.charts.minY(), sideways.charts.minY()) << "the upright bar is lower";

    turn(window, "3");
    expectSameLook(lookAtMenu(window, "menu_turn_turned_sideways.png"), sideways,
                   "opened upright, turned sideways");

    // A row chosen after the turn opens its screen, and the menu is gone.
    turn(window, "1");
    const ScreenListing menu = look(window, "menu_turn_turned_back.png");
    ASSERT_TRUE(tapText(window, menu, "Charts"));
    const ScreenListing statistics = look(window, "menu_turn_statistics.png");
    EXPECT_TRUE(statistics.findStartingWith("Average ")) << app->transcript();
    EXPECT_FALSE(statistics.find("Options"));
}
