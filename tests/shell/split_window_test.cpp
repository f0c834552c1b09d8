// The real quorvel window of a tablet in split view: a person steps through the shares with the S key and
// turns the device with the number keys, and each state's timer screen, its minute ring above all, is the
// one a launch straight into that state draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/drawing/ui_image.h"
#include "tests/shell/screen_listing.h"
#include "tests/shell/walking_desktop_test.h"
#include "tests/support/golden_image.h"

namespace {

using namespace std::chrono_literals;
using platform::CGRect;
using Window = quorvel::testing::DesktopUser::Window;

// How the device is held and the app's share of its screen.
struct Held {
    std::string orientation, share;
};

// The keys that turn the device, by the orientation's name in the trace.
const std::map<std::string, std::string> kTurnKeys = {
    {"portrait", "1"}, {"upside-down", "2"}, {"landscape-left", "3"}, {"landscape-right", "4"}};

class SplitWindow : public quorvel::testing::WalkingDesktopTest {
protected:
    // Room for the tablet at one desktop unit a point either way up, so a turned window shows as many
    // pixels as one launched turned.
    SplitWindow() {
        desktopWidth = 1400;
        desktopHeight = 1400;
    }

    // An iPad Pro 11-inch held as `held`, its first layout settled.
    Window launch(const Held& held) {
        markGuidanceSeen();
        const Window window =
            start({"--device", "iPadPro11Inch", "--orientation", held.orientation, "--split", held.share});
        app->settle(1500ms);
        return window;
    }
    void quit(Window window) {
        user->requestClose(window);
        EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
    }
    // A share's name presses S, an orientation's the key that turns the device; the new state laid out.
    void step(Window window, Held& held, const std::string& to) {
        const auto turn = kTurnKeys.find(to);
        const bool turning = turn != kTurnKeys.end();
        user->pressKey(window, turning ? turn->second : "s");
        EXPECT_TRUE(app->waitForLine((turning ? "device " : "split ") + to)) << app->transcript();
        (turning ? held.orientation : held.share) = to;
        app->settle(1500ms);
    }
    static std::string fileName(const Held& held, const char* how) {
        std::string name = "split_" + held.orientation + "_" + held.share + "_" + how + ".png";
        std::replace(name.begin(), name.end(), '/', '-');
        return name;
    }

    // The minute ring's rows in the screenshot's pixels: from above its tallest tick down to the foot of
    // its minute labels, placed by the centred minute's label ("25" on a fresh start) in its listing.
    static std::optional<CGRect> ringBand(const quorvel::testing::ScreenListing& listing,
                                          const platform::UIImage& image) {
        const auto label = listing.find("25");
        if (!label || listing.screen.width() <= 0) return std::nullopt;
        const double scale = image.pixelWidth() / listing.screen.width();
        const double tallestTick = 100;
        return CGRect(0, (label->frame.minY() - tallestTick) * scale, image.pixelWidth(),
                      (tallestTick + label->frame.height()) * scale);
    }
    // The share of pixels that differ inside the band and nowhere else.
    static double differingInBand(const platform::UIImage& a, const platform::UIImage& b,
                                  const CGRect& band) {
        const double width = a.pixelWidth(), height = a.pixelHeight();
        return quorvel::testing::differingShare(
            a, b, {CGRect(0, 0, width, band.minY()), CGRect(0, band.maxY(), width, height - band.maxY())});
    }

    // Steps from `first` through `steps`, each state reached compared with a launch into it: the whole
    // screen, and the minute ring's band on its own.
    void expectEachStateAsLaunched(Held first, const std::vector<std::string>& steps) {
        Window window = launch(first);
        ASSERT_NE(window, 0u);
        std::vector<Held> states;
        std::vector<std::shared_ptr<platform::UIImage>> reached;
        for (const auto& to : steps) {
            step(window, first, to);
            states.push_back(first);
            reached.push_back(screenshot(window, fileName(first, "pressed")));
            ASSERT_TRUE(reached.back()) << app->transcript();
        }
        quit(window);
        for (std::size_t i = 0; i < states.size(); ++i) {
            window = launch(states[i]);
            ASSERT_NE(window, 0u);
            const auto listing = look(window, fileName(states[i], "launched"));
            const auto launched = shot_;
            ASSERT_TRUE(launched) << app->transcript();
            const auto band = ringBand(listing, *launched);
            ASSERT_TRUE(band) << app->transcript();
            const std::string shots = "; compare the " + fileName(states[i], "pressed") + " and " +
                                      fileName(states[i], "launched") + " screenshots";
            EXPECT_EQ(differingInBand(*reached[i], *launched, *band), 0)
                << "the minute ring " << states[i].orientation << " at " << states[i].share << " after step "
                << i + 1 << " differs from a launch into it" << shots;
            EXPECT_EQ(quorvel::testing::differingShare(*reached[i], *launched), 0)
                << "the screen " << states[i].orientation << " at " << states[i].share << " after step "
                << i + 1 << " differs from a launch into it" << shots;
            quit(window);
        }
    }
};

}  // namespace

TEST_F(SplitWindow, EachShareReachedWithTheSKeyLooksAsLaunchedIntoItLyingSideways) {
    expectEachStateAsLaunched({"landscape-left", "full"}, {"2/3", "1/2", "1/3", "full"});
}

TEST_F(SplitWindow, EachShareReachedWithTheSKeyLooksAsLaunchedIntoItUpright) {
    expectEachStateAsLaunched({"portrait", "1/3"}, {"full", "2/3", "1/2"});
}

// The ring is sized for the new orientation at a turn, for the new share after a turn, and back again.
TEST_F(SplitWindow, TurnsAndSharesAfterThemLookAsLaunchedIntoThem) {
    expectEachStateAsLaunched({"portrait", "1/3"}, {"landscape-left", "full", "2/3", "portrait", "1/2"});
}
