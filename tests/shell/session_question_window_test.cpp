// The real window with the bar's stop question left open while the focus session it names runs out:
// the question goes with its session, a tap where its Stop button was stops nothing, the break is
// kept, and the store holds the focus session once.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "app/core/first_launch_defaults.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/ns_date.h"
#include "tests/shell/stored_sessions.h"
#include "tests/shell/walking_desktop_test.h"

namespace {

using namespace std::chrono_literals;
using P = quorvel::UserDefaultProperties;
using T = quorvel::TempUserDefaultProperties;
using quorvel::testing::ScreenListing;
using quorvel::testing::ShownView;

constexpr const char* kStopQuestion = "Stop current Focus Session?";

// Breaks start by themselves or wait, as the parameter says.
class SessionQuestionWindow : public quorvel::testing::WalkingDesktopTest,
                              public ::testing::WithParamInterface<bool> {
protected:
    // A device past its first launch with twelve seconds left of a one-minute focus session.
    void SetUp() override {
        WalkingDesktopTest::SetUp();
        if (IsSkipped()) return;
        for (const auto& value : quorvel::firstLaunchDefaults()) P::save(value);
        for (const auto& value :
             {P::focusLength(1), P::autoRestart(GetParam()), P::latestTimerType(quorvel::SessionType::focus),
              P::sharedLatestTimerType(quorvel::SessionType::focus), P::remainingRoundTime(0.2),
              P::sharedRemainingRoundTime(0.2), P::sessionWholeLength(60000.0)})
            P::save(value);
        T::save(T::launchedOnce(true));
        T::save(T::checkedDate(platform::NSDate::now()));
        markGuidanceSeen();  // writes the files
    }

    Window start() {
        const Window window = DesktopTest::start({"--device", "iPhone8", "--orientation", "portrait"});
        app->listen(1500ms);
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

    std::this_thread::sleep_for(12s);  // the focus session runs out under the question
    const ScreenListing ended = look(window, shot("ended"));
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

}  // namespace
