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
#include <sstream>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "tests/shell/desktop_test.h"

namespace {

using namespace std::chrono_literals;
using platform::CGFloat;
using platform::CGPoint;
using platform::CGRect;
using quorvel::testing::DesktopUser;
using Window = DesktopUser::Window;

// A label or control as the program lists it: its frame on the screen and the part of it that shows.
struct ShownView {
    CGRect frame, visible;
    std::string type, text;
};

// One screenshot's listing: the screen, its safe area and what shows on it.
struct ScreenListing {
    CGRect screen, safe;
    std::vector<ShownView> views;

    // The view showing that text, topmost on the screen when several do.
    std::optional<ShownView> find(const std::string& text) const {
        std::optional<ShownView> found;
        for (const auto& view : views) {
            if (view.text == text && (!found || view.visible.minY() < found->visible.minY())) found = view;
        }
        return found;
    }
};

CGRect parseListedRect(std::istringstream& in) {
    CGFloat x = 0, y = 0, width = 0, height = 0;
    in >> x >> y >> width >> height;
    return CGRect(x, y, width, height);
}

std::string trimmedText(const std::string& text) {
    const auto begin = text.find_first_not_of(' ');
    const auto end = text.find_last_not_of(' ');
    return begin == std::string::npos ? "" : text.substr(begin, end - begin + 1);
}

std::string describeShown(const ShownView& view) {
    std::ostringstream out;
    out << view.type << " \"" << view.text << "\" at " << view.frame.minX() << "," << view.frame.minY() << " "
        << view.frame.width() << "x" << view.frame.height();
    return out.str();
}

class SafeAreaWindow : public quorvel::testing::DesktopTest {
protected:
    Window start(const std::string& orientation) {
        const Window window = DesktopTest::start({"--device", "iPhoneXS", "--orientation", orientation});
        app->listen(1500ms);
        return window;
    }

    // Takes a screenshot under `name` and reads what the program listed with it.
    ScreenListing look(Window window, const std::string& name) {
        const std::size_t from = app->lines().size();
        shot_ = screenshot(window, name);
        EXPECT_TRUE(shot_) << app->transcript();
        ScreenListing listing;
        const auto& lines = app->lines();
        for (std::size_t i = from; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (const auto at = line.find("quorvel: screen "); at != std::string::npos) {
                std::istringstream in(line.substr(at + 16));
                listing.screen = parseListedRect(in);
                std::string safe, area;
                in >> safe >> area;
                listing.safe = parseListedRect(in);
            } else if (const auto at = line.find("quorvel: view "); at != std::string::npos) {
                std::istringstream in(line.substr(at + 14));
                ShownView view;
                std::string bar;
                view.frame = parseListedRect(in);
                in >> bar;
                view.visible = parseListedRect(in);
                in >> bar;
                std::string rest;
                std::getline(in, rest);
                const auto split = rest.find(" | ");
                view.type = trimmedText(rest.substr(0, split));
                view.text = split == std::string::npos ? "" : rest.substr(split + 3);
                listing.views.push_back(view);
            }
        }
        EXPECT_FALSE(listing.safe.isEmpty()) << app->transcript();
        pointsPerPixel_ = listing.screen.width() / user->size(window).width;
        screenWidth_ = listing.screen.width();
        return listing;
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
                << screen << ": " << describeShown(view) << " shows outside the safe area " << safe.minX()
                << "…" << safe.maxX();
        }
    }

    void tapAt(Window window, CGPoint point) {
        user->click(window, static_cast<int>(point.x / pointsPerPixel_),
                    static_cast<int>(point.y / pointsPerPixel_));
        EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
        app->listen(1200ms);
    }

    // Taps the middle of what shows of the view with that text; false when nothing shows it.
    bool tapText(Window window, const ScreenListing& listing, const std::string& text) {
        const auto view = listing.find(text);
        if (!view) return false;
        tapAt(window, {view->visible.midX(), view->visible.midY()});
        return true;
    }

    // A finger drawn up the middle of the screen, scrolling a list down by about `points` (up when
    // negative).
    void scrollBy(Window window, const ScreenListing& listing, CGFloat points) {
        const CGFloat x = listing.screen.midX() / pointsPerPixel_;
        const CGFloat from = (listing.screen.midY() + points / 2) / pointsPerPixel_;
        user->drag(window, static_cast<int>(x), static_cast<int>(from), static_cast<int>(x),
                   static_cast<int>(from - points / pointsPerPixel_), 0.5);
        app->listen(2s);
    }

    // Scrolls the list down until a row of that title shows whole below the bar, and taps it.
    bool scrollToAndTap(Window window, const std::string& title) {
        for (int tries = 0; tries < 12; ++tries) {
            const ScreenListing listing = look(window, "safe_area_scrolling.png");
            const auto row = listing.find(title);
            if (row && row->visible.minY() > barBottom(listing) + 4 &&
                row->visible.maxY() < listing.screen.maxY() - 24) {
                tapAt(window, {row->visible.midX(), row->visible.midY()});
                return true;
            }
            scrollBy(window, listing, 120);
        }
        return false;
    }

    // The lowest edge of the bar's buttons and title (a landscape phone's bar is 32 points tall): the
    // screen's own content shows below it.
    static CGFloat barBottom(const ScreenListing& listing) {
        CGFloat bottom = 0;
        for (const auto& view : listing.views) {
            if (view.visible.midY() < 32) bottom = std::max(bottom, view.visible.maxY());
        }
        return bottom;
    }

    // The bar's button at its leading end: the menu on the three screens, the way back on the others.
    void tapBarLeadingButton(Window window, const ScreenListing& listing) {
        std::optional<ShownView> leading;
        for (const auto& view : listing.views) {
            if (view.visible.midY() > 32 || view.type.find("Button") == std::string::npos) continue;
            if (!leading || view.visible.minX() < leading->visible.minX()) leading = view;
        }
        ASSERT_TRUE(leading) << "no button in the bar";
        tapAt(window, {leading->visible.midX(), leading->visible.midY()});
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
        app->listen(2s);

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
            app->listen(1s);
            shown = look(window, "safe_area_" + side + name + ".png");
            expectInsideSafeArea(shown, name);
            tapBarLeadingButton(window, shown);
        }
        user->requestClose(window);
        EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
    }

    // Whether the last screenshot shows white at that point.
    bool whiteAt(CGPoint point) const {
        if (!shot_) return false;
        const CGFloat scale = shot_->pixelWidth() / screenWidth_;
        const auto pixel =
            shot_->pixelAt(static_cast<int>(point.x * scale), static_cast<int>(point.y * scale));
        return pixel.r > 240 && pixel.g > 240 && pixel.b > 240;
    }

    // Opens the settings through the menu under the bar's leading button.
    void openSettings(Window window) {
        tapBarLeadingButton(window, look(window, "safe_area_before_menu.png"));
        ASSERT_TRUE(tapText(window, look(window, "safe_area_menu.png"), "Options"));
    }

    CGFloat pointsPerPixel_ = 1;
    CGFloat screenWidth_ = 1;
    std::shared_ptr<platform::UIImage> shot_;
};

}  // namespace

TEST_F(SafeAreaWindow, EveryScreenOfALandscapeLeftNotchedPhoneKeepsItsContentInsideTheSafeArea) {
    walkEveryScreen("landscape-left");
}

TEST_F(SafeAreaWindow, EveryScreenOfALandscapeRightNotchedPhoneKeepsItsContentInsideTheSafeArea) {
    walkEveryScreen("landscape-right");
}

// A tap on "Email Us" shows the notice that stands in for the mail program here (or hands the mail to
// it); once that closes, the row no longer shows selected.
TEST_F(SafeAreaWindow, TheEmailUsRowLetsGoOnceItsNoticeCloses) {
    markGuidanceSeen();
    const Window window = start("landscape-left");
    ASSERT_NE(window, 0u);
    openSettings(window);
    ASSERT_TRUE(scrollToAndTap(window, "Email Us"));
    app->listen(1s);
    const ScreenListing notice = look(window, "safe_area_email_us.png");
    if (const auto okay = notice.find("Okay")) tapAt(window, {okay->visible.midX(), okay->visible.midY()});
    app->listen(1s);

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
    app->listen(1500ms);

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
