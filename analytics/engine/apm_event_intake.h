#pragma once

#include <vector>

#include "analytics/records/apm_event.h"

namespace analytics {

// Where the engine hands every event it has taken in, in the order logged, on the thread that made its
// record (any thread that logs): an intake that works on the worker queue takes the events there itself.
class APMEventIntake {
public:
    virtual ~APMEventIntake() = default;
    virtual void takeEvent(APMEvent event) = 0;
    // The events taken in together, in order; an intake that keeps them together may take the list whole.
    virtual void takeEvents(std::vector<APMEvent>&& events) {
        for (APMEvent& event : events) takeEvent(std::move(event));
    }
};

}  // namespace analytics
