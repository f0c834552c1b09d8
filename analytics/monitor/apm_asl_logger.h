#pragma once

#include "analytics/monitor/apm_logging.h"
#include "platform/vuziriutilities/vul_logger.h"

namespace analytics {

// Console lines through the utilities logger, with the message code as "I-ACS" and six digits.
class APMASLLogger final : public APMLogging {
public:
    void logMessage(const std::string& message, const std::string& logTag, std::int64_t messageCode,
                    std::int64_t logLevel) override;

    static platform::VULLoggerLevel VULLoggerLevelFromLogLevel(std::int64_t logLevel);
    static std::string messageCodeText(std::int64_t messageCode);
};

}  // namespace analytics
