#pragma once

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>

#include "platform/coregraphics/cg_geometry.h"
#include "tests/shell/desktop_test.h"
#include "tests/shell/screen_listing.h"

namespace quorvel::testing {

// The real program walked screen by screen as a person does: each look is a screenshot with the
// program's listing of what shows, and taps go to what a look found by its text.
class WalkingDesktopTest : public DesktopTest {
protected:
    using CGFloat = platform::CGFloat;
    using CGPoint = platform::CGPoint;

    // Takes a screenshot under `name` and reads what the program listed with it.
    ScreenListing look(Window window, const std::string& name) {
        const std::size_t from = app->lines().size();
        shot_ = screenshot(window, name);
        EXPECT_TRUE(shot_) << app->transcript();
        ScreenListing listing = ScreenListing::read(app->lines(), from);
        EXPECT_FALSE(listing.safe.isEmpty()) << app->transcript();
        pointsPerPixel_ = listing.screen.width() / user->size(window).width;
        screenWidth_ = listing.screen.width();
        return listing;
    }

    void tapAt(Window window, CGPoint point) {
        user->click(window, static_cast<int>(point.x / pointsPerPixel_),
                    static_cast<int>(point.y / pointsPerPixel_));
        EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
        app->settle(std::chrono::milliseconds(1200));
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
        app->settle(std::chrono::seconds(2));
    }

    // Scrolls the list until a row of that title shows whole below the bar, and taps it. It looks down the
    // list first, and back up once the row shows under the bar or twelve tries found nothing: on a loaded
    // machine a drag's moves may arrive in a burst and fling the list past the row.
    bool scrollToAndTap(Window window, const std::string& title) {
        CGFloat step = 120;
        for (int tries = 0; tries < 24; ++tries) {
            const ScreenListing listing = look(window, "walk_scrolling.png");
            const auto row = listing.find(title);
            if (row && row->visible.minY() > barBottom(listing) + 4 &&
                row->visible.maxY() < listing.screen.maxY() - 24) {
                tapAt(window, {row->visible.midX(), row->visible.midY()});
                return true;
            }
            if (row)
                step = row->visible.minY() > barBottom(listing) + 4 ? 120 : -120;
            else if (tries == 12)
                step = -step;
            scrollBy(window, listing, step);
        }
        return false;
    }

    // Where the navigation bar ends: 44 points below the safe area's top, 32 on a phone lying sideways.
    static CGFloat barEdge(const ScreenListing& listing) {
        return listing.safe.minY() + (listing.screen.width() > listing.screen.height() ? 32 : 44);
    }
    static bool inBar(const ScreenListing& listing, const ShownView& view) {
        return view.visible.midY() < barEdge(listing);
    }

    // The lowest edge of the bar's buttons and title: the screen's own content shows below it.
    static CGFloat barBottom(const ScreenListing& listing) {
        CGFloat bottom = 0;
        for (const auto& view : listing.views) {
            if (inBar(listing, view)) bottom = std::max(bottom, view.visible.maxY());
        }
        return bottom;
    }

    // The bar's button at its leading end: the menu on the three screens, the way back on the others.
    void tapBarLeadingButton(Window window, const ScreenListing& listing) {
        std::optional<ShownView> leading;
        for (const auto& view : listing.views) {
            if (!inBar(listing, view) || view.type.find("Button") == std::string::npos) continue;
            if (!leading || view.visible.minX() < leading->visible.minX()) leading = view;
        }
        ASSERT_TRUE(leading) << "no button in the bar";
        tapAt(window, {leading->visible.midX(), leading->visible.midY()});
    }

    // Opens a screen of the menu ("Options", "Charts", "Timer") through the bar's leading button.
    void openFromMenu(Window window, const std::string& item) {
        tapBarLeadingButton(window, look(window, "walk_before_menu.png"));
        ASSERT_TRUE(tapText(window, look(window, "walk_menu.png"), item));
    }

    // The last screenshot's colour at that point of the screen, if there is a screenshot.
    std::optional<platform::CGImage::Pixel> pixelAt(CGPoint point) const {
        if (!shot_) return std::nullopt;
        const CGFloat scale = shot_->pixelWidth() / screenWidth_;
        return shot_->pixelAt(static_cast<int>(point.x * scale), static_cast<int>(point.y * scale));
    }

    // Whether the last screenshot shows white at that point.
    bool whiteAt(CGPoint point) const {
        const auto pixel = pixelAt(point);
        return pixel && pixel->r > 240 && pixel->g > 240 && pixel->b > 240;
    }

    CGFloat pointsPerPixel_ = 1;
    CGFloat screenWidth_ = 1;
    std::shared_ptr<platform::UIImage> shot_;
};

}  // namespace quorvel::testing
