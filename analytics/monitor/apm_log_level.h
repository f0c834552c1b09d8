#pragma once

#include <cstdint>

namespace analytics {

// The monitor's log levels. A monitored level also feeds the health sample; a silent one only feeds it
// and is never printed. Levels are plain numbers on the way in, so any other number is a level too
// (sampled and never printed).
struct APMLogLevel {
    enum : std::int64_t {
        Error = 0,
        MonitoredError = 1,
        SilentError = 2,
        Warning = 3,
        MonitoredWarning = 4,
        SilentWarning = 5,
        Notice = 6,
        Debug = 7,
        Verbose = 8,
    };
};

}  // namespace analytics
