// The real quorvel window on an iPhone XS lying on either side, screen by screen as a person walks
// them: the first-run guidance, the timer, the menu, the statistics, the whole settings list and the
// screens its rows open (the auto-reset hours, both sound lists, the colour picker and the reminders).
// Every label and control that shows keeps inside the safe area, clear of the sensor housing at the
// sides, by the frames the program lists with each screenshot. Then the settings' rows and alerts as a
// person meets them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/shell/walking_desktop_test.h"

namespace {

using namespace std::chrono_literals;
using platform::CGRect;
using quorvel::testing::ScreenListing;
using quorvel::testing::ShownView;

class SafeAreaWindow : public quorvel::testing::WalkingDesktopTest {
protected:
    Window start(const std::string& orientation) {
        const Window window = DesktopTest::start({"--device", "iPhoneXS", "--orientation", orientation});
        app->settle(1500ms);
        return window;
    }

    // Every label and control shows inside the safe area: none at the sides under the sensor housing,
    // none above the safe area's top.
    static void expectInsideSafeArea(const ScreenListing& listing, const std::string& screen) {
        EXPECT_FALSE(listing.views.empty()) << screen;
        const CGRect safe = listing.safe;
        for (const auto& view : listing.views) {
            // A clear control over the whole screen, which closes the menu on a tap anywhere, shows nothing.
            if (view.frame == listing.screen && view.text.empty()) continue;
            const CGRect& shown = view.visible;
            EXPECT_TRUE(shown.minX() >= safe.minX() - 0.5 && shown.maxX() <= safe.maxX() + 0.5 &&
                        shown.minY() >= safe.minY() - 0.5)
                << screen << ": " << view.describe() << " shows outside the safe area " << safe.minX() << "…"
                << safe.maxX();
        }
    }

    void walkEveryScreen(const std::string& orientation) {
        const std::string side = orientation + "_";
        const Window window = start(orientation);
        ASSERT_NE(window, 0u);
        ASSERT_GT(user->size(window).width, user->size(window).height);

        ScreenListing shown = look(window, "safe_area_" + side + "guidance.png");
        ASSERT_TRUE(shown.find("Landscape Mode")) << "the first start guides the landscape timer";
        expectInsideSafeArea(shown, "the guidance");
        // Paged past its one panel, the guidance is done.
        const int middle = static_cast<int>(shown.screen.midY() / pointsPerPixel_);
        user->drag(window, static_cast<int>(shown.screen.maxX() * 0.8 / pointsPerPixel_), middle,
                   static_cast<int>(shown.screen.maxX() * 0.1 / pointsPerPixel_), middle, 0.3);
        app->settle(2s);

        shown = look(window, "safe_area_" + side + "timer.png");
        ASSERT_FALSE(shown.find("Landscape Mode")) << "the guidance is gone";
        expectInsideSafeArea(shown, "the timer");

        tapBarLeadingButton(window, shown);
        shown = look(window, "safe_area_" + side + "menu.png");
        expectInsideSafeArea(shown, "the menu");
        ASSERT_TRUE(tapText(window, shown, "Charts"));
        shown = look(window, "safe_area_" + side + "statistics.png");
        expectInsideSafeArea(shown, "the statistics");

        tapBarLeadingButton(window, shown);
        ASSERT_TRUE(tapText(window, look(window, "safe_area_menu_again.png"), "Options"));
        // The whole settings list, a screen at a time.
        shown = look(window, "safe_area_" + side + "settings.png");
        ASSERT_TRUE(shown.find("Focus Length"));
        for (int page = 0; page < 10 && !shown.find("Follow us on Instagram"); ++page) {
            expectInsideSafeArea(shown, "the settings, page " + std::to_string(page + 1));
            scrollBy(window, shown, 200);
            shown = look(window, "safe_area_" + side + "settings_" + std::to_string(page + 2) + ".png");
        }
        ASSERT_TRUE(shown.find("Follow us on Instagram")) << "the list's end";
        expectInsideSafeArea(shown, "the settings' end");

        for (int page = 0; page < 10 && !shown.find("Focus Length"); ++page) {
            scrollBy(window, shown, -240);
            shown = look(window, "safe_area_scrolling.png");
        }
        // Each screen a row opens, and back to the settings from each.
        const std::vector<std::pair<std::string, std::string>> opened = {
            {"Auto-Reset Round & Goal", "auto_reset"},
            {"Focus Ticking", "ticking_sounds"},
            {"Focus Alarm", "alarm_sounds"},
            {"Focus Color", "colour_picker"},
            {"Focus Reminder", "reminders"}};
        for (const auto& [row, name] : opened) {
            // The rows lie in this order down the list, which keeps its place while a screen is open.
            ASSERT_TRUE(scrollToAndTap(window, row)) << row;
            app->settle(1s);
            shown = look(window, "safe_area_" + side + name + ".png");
            expectInsideSafeArea(shown, name);
            tapBarLeadingButton(window, shown);
        }
        user->requestClose(window);
        EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
    }

    void openSettings(Window window) { openFromMenu(window, "Options"); }
    // Starts past the guidance, lying on its left side, and taps that row of the settings; no window
    // when a step failed.
    Window startAtSettingsRow(const std::string& row) {
        markGuidanceSeen();
        const Window window = start("landscape-left");
        if (window == 0) return 0;
        openSettings(window);
        if (!scrollToAndTap(window, row)) return 0;
        app->settle(1s);
        return window;
    }
};

}  // namespace

TEST_F(SafeAreaWindow, EveryScreenOfALandscapeLeftNotchedPhoneKeepsItsContentInsideTheSafeArea) {
    walkEveryScreen("landscape-left");
}

TEST_F(SafeAreaWindow, EveryScreenOfALandscapeRightNotchedPhoneKeepsItsContentInsideTheSafeArea) {
    walkEveryScreen("landscape-right");
}

// The volume sheet's white card runs from edge to edge; its title, value, slider and buttons keep clear of
// the sensor housing.
TEST_F(SafeAreaWindow, TheVolumeSheetKeepsItsSliderAndButtonsInsideTheSafeArea) {
    const Window window = startAtSettingsRow("Volume of Alarm");
    ASSERT_NE(window, 0u);
    const ScreenListing sheet = look(window, "safe_area_volume_sheet.png");
    ASSERT_TRUE(sheet.find("Done")) << app->transcript();
    expectInsideSafeArea(sheet, "the volume sheet");
}

// A tap on "Email Us" shows the notice that stands in for the mail program here (or hands the mail to
// it); once that closes, the row no longer shows selected.
TEST_F(SafeAreaWindow, TheEmailUsRowLetsGoOnceItsNoticeCloses) {
    const Window window = startAtSettingsRow("Email Us");
    ASSERT_NE(window, 0u);
    const ScreenListing notice = look(window, "safe_area_email_us.png");
    if (const auto okay = notice.find("Okay")) tapAt(window, {okay->visible.midX(), okay->visible.midY()});
    app->settle(1s);

    const ScreenListing after = look(window, "safe_area_email_us_after.png");
    ASSERT_FALSE(after.find("Okay")) << "the notice closed";
    const auto row = after.find("Email Us");
    ASSERT_TRUE(row);
    // The row's ground beside its title and at its far end: white, not the selection's grey.
    EXPECT_TRUE(whiteAt({row->visible.minX() - 6, row->visible.midY()}));
    EXPECT_TRUE(whiteAt({after.safe.maxX() - 60, row->visible.midY()}));
}

// With no songs in the music folder, "Music" in a ticking list says so in an alert whose card fits
// its four lines: the text starts just below the card's top padding and the button just below it.
TEST_F(SafeAreaWindow, TheEmptyMusicLibraryAlertFitsItsMessage) {
    const auto music = root.path() / "Music";
    std::filesystem::create_directories(music);
    const char* before = std::getenv("XDG_MUSIC_DIR");
    const std::optional<std::string> kept = before ? std::optional<std::string>(before) : std::nullopt;
    setenv("XDG_MUSIC_DIR", music.c_str(), 1);
    markGuidanceSeen();
    const Window window = start("landscape-left");
    if (kept) {
        setenv("XDG_MUSIC_DIR", kept->c_str(), 1);
    } else {
        unsetenv("XDG_MUSIC_DIR");
    }
    ASSERT_NE(window, 0u);
    openSettings(window);
    ASSERT_TRUE(scrollToAndTap(window, "Focus Ticking"));
    ASSERT_TRUE(scrollToAndTap(window, "Music"));
    app->settle(1500ms);

    const ScreenListing alert = look(window, "safe_area_empty_music_alert.png");
    std::optional<ShownView> message;
    for (const auto& view : alert.views) {
        if (view.text.starts_with("We could not find songs")) message = view;
    }
    const auto okay = alert.find("Okay");
    ASSERT_TRUE(message && okay) << app->transcript();
    // Up from the text's box to the card's edge, and down through it to the first ink.
    const CGFloat x = message->frame.midX();
    CGFloat cardTop = message->frame.minY();
    while (cardTop > 0 && whiteAt({x, cardTop - 1})) --cardTop;
    CGFloat ink = message->frame.minY();
    auto inked = [&](CGFloat y) {
        for (CGFloat at = message->frame.minX(); at < message->frame.maxX(); at += 1) {
            if (!whiteAt({at, y})) return true;
        }
        return false;
    };
    while (ink < message->frame.maxY() && !inked(ink)) ++ink;
    EXPECT_LT(ink - cardTop, 24) << "an empty band above the message";
    // Up from the button to the text's last ink.
    std::optional<ShownView> button;
    for (const auto& view : alert.views) {
        if (view.type.find("Button") != std::string::npos &&
            view.frame.contains(CGPoint{okay->frame.midX(), okay->frame.midY()}))
            button = view;
    }
    ASSERT_TRUE(button);
    CGFloat lastInk = std::min(message->frame.maxY(), button->frame.minY()) - 1;
    while (lastInk > ink && !inked(lastInk)) --lastInk;
    EXPECT_LT(button->frame.minY() - lastInk, 24) << "an empty band below the message";
}
