#pragma once

#include "platform/foundation/ns_time_zone.h"

namespace platform {

// The process's time zone, as the desktop's other programs take it.
class HostTimeZone {
public:
    // Reads TZ afresh (unset: the system's zone). A zone ICU knows by that ID is used as it is; one only
    // the C library reads is followed date by date as the C library resolves it; anything else is UTC,
    // with a console line saying so.
    static NSTimeZone current();
};

}  // namespace platform
