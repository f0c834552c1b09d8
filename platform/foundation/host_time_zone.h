#pragma once

#include "platform/foundation/ns_time_zone.h"

namespace platform {

// The process's time zone, as the desktop's other programs take it.
class HostTimeZone {
public:
    // Reads TZ afresh (unset: the system's zone file). The zone the C library reads there is followed
    // offset for offset as the C library resolves it, under its zone ID where it has one; anything the C
    // library takes for UTC is UTC, with a console line saying so when TZ named something else.
    static NSTimeZone current();
};

}  // namespace platform
