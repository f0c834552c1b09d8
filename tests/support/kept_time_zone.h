#pragma once

#include "platform/foundation/ns_time_zone.h"

namespace quorvel::testing {

// The process's default time zone, put back when the case ends to the one it had when the case began,
// whichever zones the case ran in meanwhile.
class KeptTimeZone {
public:
    KeptTimeZone() = default;
    ~KeptTimeZone() { platform::NSTimeZone::setDefaultTimeZone(zone_); }
    KeptTimeZone(const KeptTimeZone&) = delete;
    KeptTimeZone& operator=(const KeptTimeZone&) = delete;

private:
    platform::NSTimeZone zone_ = platform::NSTimeZone::defaultTimeZone();
};

}  // namespace quorvel::testing
