#pragma once

#include <optional>
#include <string>

#include "platform/foundation/ns_date.h"

namespace platform {

// A time zone by its identifier ("Europe/Berlin", "UTC"), with offsets and daylight-saving rules from
// ICU's own zone data; the host's zone may also be a POSIX rule ("EST5EDT,M3.2.0,M11.1.0") that only
// the C library reads, with its offsets as the C library gives them.
class NSTimeZone {
public:
    // None for an identifier ICU does not know.
    static std::optional<NSTimeZone> timeZoneWithName(const std::string& name);

    // The process default: the host's zone (TZ, else the system setting), read once, until
    // setDefaultTimeZone.
    static NSTimeZone defaultTimeZone();
    static NSTimeZone localTimeZone() { return defaultTimeZone(); }
    static void setDefaultTimeZone(const NSTimeZone& zone);

    const std::string& name() const { return name_; }

    // The offset from UTC in seconds in force at `date`, daylight saving included.
    long secondsFromGMTForDate(NSDate date) const;
    bool isDaylightSavingTimeForDate(NSDate date) const;
    // The first instant after `date` at which the zone's offsets change (a change of daylight saving or
    // of its standard offset); none when they never change again.
    std::optional<NSDate> nextDaylightSavingTimeTransitionAfterDate(NSDate date) const;

    bool operator==(const NSTimeZone&) const = default;

private:
    explicit NSTimeZone(std::string name) : name_(std::move(name)) {}

    std::string name_;
};

}  // namespace platform
