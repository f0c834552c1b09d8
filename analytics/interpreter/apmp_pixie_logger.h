#pragma once

#include <cstdint>
#include <string>

namespace analytics {

// Where program log messages end: the library's monitor, at the debug level.
class APMPixieLogger {
public:
    static constexpr std::int64_t kMessageCode = 46000;

    void logMessage(const std::string& message) const;
};

}  // namespace analytics
