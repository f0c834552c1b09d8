#pragma once

#include <memory>

namespace analytics {

class APMMonitor;

// The measurement engine's class-level services that the rest of the library calls on.
class APMMeasurement {
public:
    // The one monitor of the process, made on first use with the library version; never null.
    static std::shared_ptr<APMMonitor> monitor();
};

}  // namespace analytics
