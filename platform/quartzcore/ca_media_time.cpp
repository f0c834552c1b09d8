#include "platform/quartzcore/ca_media_time.h"

#include "platform/foundation/clock.h"

namespace platform {

double CACurrentMediaTime() {
    return Clock::shared().now();
}

}  // namespace platform
