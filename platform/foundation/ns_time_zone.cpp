#include "platform/foundation/ns_time_zone.h"

#include <unicode/basictz.h>
#include <unicode/tztrans.h>

#include <cmath>

#include "platform/foundation/host_time_zone.h"
#include "platform/foundation/icu_support.h"
#include "platform/foundation/mutex.h"

namespace platform {

namespace {

Mutex defaultMutex;
std::optional<NSTimeZone> defaultZone GUARDED_BY(defaultMutex);

struct Offsets {
    int32_t rawMillis = 0;
    int32_t dstMillis = 0;
};

Offsets offsetsAt(const std::string& name, NSDate date) {
    const icu::TimeZone* zone = icu_support::timeZoneNamed(name);
    if (!zone) return {};
    Offsets offsets;
    if (!std::isfinite(date.timeIntervalSinceReferenceDate())) {
        offsets.rawMillis = zone->getRawOffset();
        return offsets;
    }
    UErrorCode status = U_ZERO_ERROR;
    zone->getOffset(icu_support::toUDate(date.timeIntervalSinceReferenceDate()), false, offsets.rawMillis,
                    offsets.dstMillis, status);
    if (U_FAILURE(status)) return {zone->getRawOffset(), 0};
    return offsets;
}

}  // namespace

std::optional<NSTimeZone> NSTimeZone::timeZoneWithName(const std::string& name) {
    if (!icu_support::timeZoneNamed(name)) return std::nullopt;
    return NSTimeZone(name);
}

NSTimeZone NSTimeZone::defaultTimeZone() {
    MutexLock lock(defaultMutex);
    if (!defaultZone) defaultZone = HostTimeZone::current();
    return *defaultZone;
}

void NSTimeZone::setDefaultTimeZone(const NSTimeZone& zone) {
    MutexLock lock(defaultMutex);
    defaultZone = zone;
}

long NSTimeZone::secondsFromGMTForDate(NSDate date) const {
    const Offsets offsets = offsetsAt(name_, date);
    return (static_cast<long>(offsets.rawMillis) + offsets.dstMillis) / 1000;
}

bool NSTimeZone::isDaylightSavingTimeForDate(NSDate date) const {
    return offsetsAt(name_, date).dstMillis != 0;
}

std::optional<NSDate> NSTimeZone::nextDaylightSavingTimeTransitionAfterDate(NSDate date) const {
    const auto* zone = dynamic_cast<const icu::BasicTimeZone*>(icu_support::timeZoneNamed(name_));
    const double seconds = date.timeIntervalSinceReferenceDate();
    if (!zone || !std::isfinite(seconds)) return std::nullopt;
    icu::TimeZoneTransition transition;
    if (!zone->getNextTransition(icu_support::toUDate(seconds), false, transition)) return std::nullopt;
    return NSDate(icu_support::fromUDate(transition.getTime()));
}

}  // namespace platform
