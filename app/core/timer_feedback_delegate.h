#pragma once

#include <memory>
#include <string>

#include "app/core/timer_minute_ring.h"
#include "app/core/timer_navigation_container.h"
#include "app/core/timer_vocabulary.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// What the timer screen shows: the counters and limits as decimal texts, the clock text of the
// remaining time and the remaining fraction of the session (1 for a fresh session, falling to 0).
struct TimerScreenUpdate {
    std::string round;
    std::string roundLimit;
    std::string goal;
    std::string goalLimit;
    std::string timeText;
    double fraction = 1;

    bool operator==(const TimerScreenUpdate&) const = default;
};

// The timer screen as the engine reaches it; the engine holds it weakly. Each accessor may answer
// null (a screen not loaded yet, a container that is not the app's own): the engine then skips that
// step and goes on.
class TimerFeedbackDelegate {
public:
    virtual ~TimerFeedbackDelegate() = default;

    virtual void applyTimerStatus(TimerStatus status) = 0;
    // Called on every tick while the app is in front: queue the update, do not draw here.
    virtual void scheduleTimerScreenUpdate(const TimerScreenUpdate& update) = 0;

    // Takes the current session's theme colour as its background.
    virtual std::shared_ptr<platform::UIView> rootView() = 0;
    virtual std::shared_ptr<TimerNavigationContainer> navigationContainer() = 0;
    virtual std::shared_ptr<TimerMinuteRing> minuteRing() = 0;
};

}  // namespace quorvel
