#pragma once

#include <compare>

namespace platform {

// A point in time: seconds since 2001-01-01 00:00:00 UTC, read from the process clock.
class NSDate {
public:
    static constexpr double kReferenceDateSince1970 = 978307200.0;

    constexpr NSDate() = default;
    constexpr explicit NSDate(double secondsSinceReferenceDate) : seconds_(secondsSinceReferenceDate) {}

    static NSDate now();
    static constexpr NSDate dateWithTimeIntervalSince1970(double seconds) {
        return NSDate(seconds - kReferenceDateSince1970);
    }
    static constexpr NSDate distantPast() { return NSDate(-63113904000.0); }
    static constexpr NSDate distantFuture() { return NSDate(63113904000.0); }

    constexpr double timeIntervalSinceReferenceDate() const { return seconds_; }
    constexpr double timeIntervalSince1970() const { return seconds_ + kReferenceDateSince1970; }
    constexpr double timeIntervalSinceDate(NSDate other) const { return seconds_ - other.seconds_; }
    double timeIntervalSinceNow() const;
    constexpr NSDate dateByAddingTimeInterval(double seconds) const { return NSDate(seconds_ + seconds); }

    constexpr auto operator<=>(const NSDate&) const = default;

private:
    double seconds_ = 0;
};

}  // namespace platform
