#pragma once

#include "app/core/timer_vocabulary.h"

namespace quorvel {

// The timer screen as the start/stop controls see it. A control calls toggleTimer with the status it
// was last given, when tapped and only while its delegate is set: the screen then starts a stopped
// timer or pauses a running one.
class TimerSettable {
public:
    virtual ~TimerSettable() = default;

    // The start/stop operation the controls share.
    virtual void toggleTimer(TimerStatus status) = 0;
    // The adopter's own action without a status; no control calls it.
    virtual void toggleTimer() = 0;
};

}  // namespace quorvel
