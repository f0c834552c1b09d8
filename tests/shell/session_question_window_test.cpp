// The real window with the bar's stop question left open while the focus session it names runs out:
// the question goes with its session, a tap where its Stop button was stops nothing, the break is
// kept, and the store holds the focus session once. A first-run guidance that came up over the question
// stays until swiped away, on a phone and on a tablet.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "app/core/first_launch_defaults.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/ns_date.h"
#include "tests/shell/stored_sessions.h"
#include "tests/shell/walking_desktop_test.h"
#include "tests/support/eventually.h"

namespace {

using namespace std::chrono_literals;
using P = quorvel::UserDefaultProperties;
using T = quorvel::TempUserDefaultProperties;
using quorvel::testing::ScreenListing;
using quorvel::testing::ShownView;

constexpr const char* kStopQuestion = "Stop current Focus Session?";

class FocusEndingWindow : public quorvel::testing::WalkingDesktopTest {
protected:
    // A device past its first launch with twelve seconds left of a one-minute focus session, guided
    // upright and, if so told, sideways.
    void saveFocusEndingSoon(bool autoRestart, bool guidedSideways) {
        for (const auto& value : quorvel::firstLaunchDefaults()) P::save(value);
        for (const auto& value :
             {P::focusLength(1), P::autoRestart(autoRestart), P::latestTimerType(quorvel::SessionType::focus),
              P::sharedLatestTimerType(quorvel::SessionType::focus), P::remainingRoundTime(0.2),
              P::sharedRemainingRoundTime(0.2), P::sessionWholeLength(60000.0)})
            P::save(value);
        T::save(T::launchedOnce(true));
        T::save(T::checkedDate(platform::NSDate::now()));
        markGuidanceSeen(guidedSideways);  // writes the files
    }
    // Looks again until the focus session has run out under the question, which goes with it: a loaded
    // machine's ticks may fall behind the wall clock.
    ScreenListing lookOnceTheSessionEnded(Window window, const std::string& shot) {
        ScreenListing listing;
        quorvel::testing::eventually([&] { return !(listing = look(window, shot)).find(kStopQuestion); },
                                     [&] { app->listen(500ms); });
        return listing;
    }
    static std::optional<ShownView> barButton(const ScreenListing& listing, const std::string& text) {
        for (const auto& view : listing.views) {
            if (view.text == text && inBar(listing, view)) return view;
        }
        return std::nullopt;
    }
};

// Breaks start by themselves or wait, as the parameter says.
class SessionQuestionWindow : public FocusEndingWindow, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        FocusEndingWindow::SetUp();
        if (!IsSkipped()) saveFocusEndingSoon(GetParam(), true);
    }

    Window start() {
        const Window window = DesktopTest::start({"--device", "iPhone8", "--orientation", "portrait"});
        app->settle(1500ms);
        return window;
    }
    std::string shot(const std::string& name) const {
        return std::string("session_question_") + (GetParam() ? "auto_" : "waiting_") + name + ".png";
    }
    // The frontmost view below the bar showing `text`: an alert's button over the screen it covers.
    static std::optional<ShownView> belowBar(const ScreenListing& listing, const std::string& text) {
        for (auto view = listing.views.rbegin(); view != listing.views.rend(); ++view) {
            if (view->text == text && !inBar(listing, *view)) return *view;
        }
        return std::nullopt;
    }
};

TEST_P(SessionQuestionWindow, AStopQuestionLeftOpenGoesWithItsSessionAndStopsNoBreak) {
    const Window window = start();
    ASSERT_NE(window, 0u);
    tapAt(window, {187, 413});  // play
    tapAt(window, {342, 42});   // the bar's Stop
    const ScreenListing asked = look(window, shot("asked"));
    ASSERT_TRUE(asked.find(kStopQuestion)) << app->transcript();
    const auto stop = belowBar(asked, "Stop");
    ASSERT_TRUE(stop) << "the question's Stop button";

    const ScreenListing ended = lookOnceTheSessionEnded(window, shot("ended"));
    EXPECT_FALSE(ended.find(kStopQuestion)) << "the session it named has ended";
    EXPECT_TRUE(ended.find("Break")) << app->transcript();

    tapAt(window, {stop->visible.midX(), stop->visible.midY()});
    const ScreenListing after = look(window, shot("tapped"));
    EXPECT_TRUE(after.find("Break")) << "the break is kept";
    EXPECT_FALSE(after.find("Focus")) << "not stopped back to a focus session";
    EXPECT_EQ(after.findStartingWith("04:").has_value(), GetParam())
        << "runs only when breaks start by themselves";
    EXPECT_EQ(after.find("05:00").has_value(), !GetParam());

    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
    const auto sessions = quorvel::testing::storedSessions();
    ASSERT_TRUE(sessions);
    ASSERT_EQ(sessions->size(), 1u) << "the focus session that ran out, once";
    EXPECT_EQ(sessions->front().minutes, 1);
}

INSTANTIATE_TEST_SUITE_P(Breaks, SessionQuestionWindow, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "StartingByThemselves" : "Waiting"; });

// The device model, and whether breaks start by themselves.
using GuidedDevice = std::tuple<std::string, bool>;

class GuidanceOverQuestionWindow : public FocusEndingWindow,
                                   public ::testing::WithParamInterface<GuidedDevice> {
protected:
    void SetUp() override {
        FocusEndingWindow::SetUp();
        if (!IsSkipped()) saveFocusEndingSoon(autoRestart(), false);
    }

    const std::string& model() const { return std::get<0>(GetParam()); }
    bool autoRestart() const { return std::get<1>(GetParam()); }
    bool tablet() const { return model().starts_with("iPad"); }
    std::string shot(const std::string& name) const {
        return "guidance_over_question_" + model() + (autoRestart() ? "_auto_" : "_waiting_") + name + ".png";
    }
    // The phone's landscape panel, or the tablet's welcome that it shows in either orientation.
    std::optional<ShownView> guidance(const ScreenListing& listing) const {
        return listing.findStartingWith(tablet() ? "Welcome to" : "Landscape Mode");
    }
    static std::optional<ShownView> ofType(const ScreenListing& listing, const std::string& type) {
        for (const auto& view : listing.views) {
            if (view.type == type) return view;
        }
        return std::nullopt;
    }
    bool lyingSideways(Window window) const {
        const auto size = user->size(window);
        return size.width > size.height;
    }
    void turn(Window window, const std::string& key, const std::string& orientation) {
        user->pressKey(window, key);
        EXPECT_TRUE(app->waitForLine("device " + orientation)) << app->transcript();
        app->settle(1500ms);
    }
    // Pages through the guidance's panels, right to left across the middle of the window.
    void swipeThroughGuidance(Window window) {
        const auto size = user->size(window);
        for (int panel = 0; panel < (tablet() ? 2 : 1); ++panel) {
            user->drag(window, size.width * 4 / 5, size.height / 2, size.width / 5, size.height / 2, 0.25);
            app->settle(1500ms);
        }
    }
    static bool guidedSideways() {
        platform::NSUserDefaults::resetAllForTesting();
        return P::standardDefaults()->boolForKey(T::key(T::Case::hasGuidedOnceLandscape));
    }
};

TEST_P(GuidanceOverQuestionWindow, TheSessionsEndTakesOnlyTheQuestionAndTheGuidanceStaysUntilSwipedAway) {
    const Window window = DesktopTest::start({"--device", model(), "--orientation", "portrait"});
    ASSERT_NE(window, 0u);
    app->settle(1500ms);
    const ScreenListing upright = look(window, shot("upright"));
    const auto play = ofType(upright, "ProgressButton");
    ASSERT_TRUE(play) << app->transcript();
    tapAt(window, {play->visible.midX(), play->visible.midY()});
    const auto stop = barButton(look(window, shot("running")), "Stop");
    ASSERT_TRUE(stop) << app->transcript();
    tapAt(window, {stop->visible.midX(), stop->visible.midY()});

    turn(window, "3", "landscape-left");
    const ScreenListing asked = look(window, shot("asked"));
    ASSERT_TRUE(asked.find(kStopQuestion)) << app->transcript();
    ASSERT_TRUE(guidance(asked)) << "the guidance over the question";

    const ScreenListing ended = lookOnceTheSessionEnded(window, shot("ended"));  // under both
    EXPECT_FALSE(ended.find(kStopQuestion)) << "the session it named has ended";
    EXPECT_TRUE(guidance(ended)) << "the guidance is the person's to dismiss";
    EXPECT_TRUE(lyingSideways(window)) << "held as it is under the guidance";

    swipeThroughGuidance(window);
    const ScreenListing guided = look(window, shot("guided"));
    EXPECT_FALSE(guidance(guided));
    EXPECT_TRUE(barButton(guided, "Break")) << "the menu's button";
    EXPECT_TRUE(barButton(guided, autoRestart() ? "Stop" : "Skip")) << app->transcript();

    turn(window, "1", "portrait");
    EXPECT_FALSE(lyingSideways(window)) << "turns are followed again";
    look(window, shot("turned"));
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
    EXPECT_TRUE(guidedSideways());
}

INSTANTIATE_TEST_SUITE_P(Devices, GuidanceOverQuestionWindow,
                         ::testing::Combine(::testing::Values("iPhone8", "iPadPro11Inch"), ::testing::Bool()),
                         [](const auto& info) {
                             const char* breaks =
                                 std::get<1>(info.param) ? "StartingByThemselves" : "Waiting";
                             return std::get<0>(info.param) + "Breaks" + breaks;
                         });

}  // namespace
