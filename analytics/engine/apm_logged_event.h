#pragma once

#include <string>

#include "analytics/records/apm_logged_parameters.h"

namespace analytics {

// An event on its way from the facade to the engine: its name checked and its time stamped, not yet
// a record. It is moved along, never copied.
struct APMLoggedEvent {
    std::string origin;
    bool isPublicEvent = false;
    std::string name;
    double timestamp = 0;
    APMLoggedParameters parameters;
    // Whether the name passed its check on the way in (the facade checks a public one before queueing
    // it), so making the record does not check it again.
    bool nameChecked = false;
};

}  // namespace analytics
