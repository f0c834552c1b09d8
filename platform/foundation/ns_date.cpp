#include "platform/foundation/ns_date.h"

#include "platform/foundation/clock.h"

namespace platform {

NSDate NSDate::now() {
    return NSDate(Clock::shared().now());
}

double NSDate::timeIntervalSinceNow() const {
    return seconds_ - Clock::shared().now();
}

}  // namespace platform
