#include <gtest/gtest.h>

#include "shell/window_life_cycle.h"

using quorvel::shell::LifeCycleStep;
using quorvel::shell::WindowLifeCycle;
using Event = WindowLifeCycle::WindowEvent;
using State = WindowLifeCycle::State;
using Step = LifeCycleStep;

namespace {

// Every step the events produce, in order.
std::vector<Step> stepsFor(const std::vector<Event>& events, WindowLifeCycle& lifeCycle) {
    std::vector<Step> all;
    for (const Event e : events) {
        const auto steps = lifeCycle.handle(e);
        all.insert(all.end(), steps.begin(), steps.end());
    }
    return all;
}

}  // namespace

TEST(WindowLifeCycle, FocusResignsAndRegainsActiveOnceEach) {
    WindowLifeCycle lifeCycle;
    EXPECT_EQ(lifeCycle.state(), State::active);  // launch ends active
    EXPECT_EQ(stepsFor({Event::focusGained, Event::focusLost, Event::focusLost, Event::focusGained,
                        Event::focusGained},
                       lifeCycle),
              (std::vector<Step>{Step::resignActive, Step::becomeActive}));
    EXPECT_EQ(lifeCycle.state(), State::active);
}

TEST(WindowLifeCycle, MinimiseIsTheHomeButtonAndRestoreComesBack) {
    WindowLifeCycle lifeCycle;
    EXPECT_EQ(stepsFor({Event::minimized}, lifeCycle),
              (std::vector<Step>{Step::resignActive, Step::enterBackground}));
    EXPECT_EQ(lifeCycle.state(), State::background);
    EXPECT_EQ(stepsFor({Event::restored}, lifeCycle),
              (std::vector<Step>{Step::enterForeground, Step::becomeActive}));
    EXPECT_EQ(lifeCycle.state(), State::active);
}

TEST(WindowLifeCycle, CrossingWindowEventsNeverRepeatAStep) {
    // The desktop takes the focus away before it minimises, and may report focus while minimised.
    WindowLifeCycle lifeCycle;
    EXPECT_EQ(stepsFor({Event::focusLost, Event::minimized, Event::focusGained, Event::minimized,
                        Event::restored, Event::focusGained, Event::restored},
                       lifeCycle),
              (std::vector<Step>{Step::resignActive, Step::enterBackground, Step::enterForeground,
                                 Step::becomeActive}));
}

TEST(WindowLifeCycle, CloseTerminatesOnceFromEveryState) {
    struct Case {
        std::vector<Event> before;
        std::vector<Step> onClose;
    };
    const std::vector<Case> cases = {
        {{}, {Step::resignActive, Step::terminate}},
        {{Event::focusLost}, {Step::terminate}},
        {{Event::minimized}, {Step::terminate}},
    };
    for (const auto& c : cases) {
        WindowLifeCycle lifeCycle;
        stepsFor(c.before, lifeCycle);
        EXPECT_EQ(stepsFor({Event::closed}, lifeCycle), c.onClose);
        EXPECT_EQ(lifeCycle.state(), State::terminated);
        // Nothing after termination: the desktop may still report the window going away.
        EXPECT_TRUE(stepsFor({Event::closed, Event::focusLost, Event::restored, Event::focusGained}, lifeCycle)
                        .empty());
    }
}
