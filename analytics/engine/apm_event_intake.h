#pragma once

#include <vector>

#include "analytics/records/apm_event.h"

namespace analytics {

// Where the engine hands every event it has taken in, on its worker queue and in the order logged.
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
