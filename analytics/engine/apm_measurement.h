#pragma once

#include <memory>

namespace analytics {

class APMMonitor;

// The measurement engine's class-level services that the layers above it call on.
class APMMeasurement {
public:
    // The process's monitor (APMMonitor::sharedInstance), handed the library's stores on the first call;
    // never null.
    static std::shared_ptr<APMMonitor> monitor();
};

}  // namespace analytics
