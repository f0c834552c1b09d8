#include "analytics/monitor/apm_asl_logger.h"

#include <cstdio>

#include "analytics/monitor/apm_log_level.h"

namespace analytics {

platform::VULLoggerLevel APMASLLogger::VULLoggerLevelFromLogLevel(std::int64_t logLevel) {
    using platform::VULLoggerLevel;
    // Unsigned, so negative levels count as huge ones.
    switch (static_cast<std::uint64_t>(logLevel)) {
        case APMLogLevel::Error:
        case APMLogLevel::MonitoredError:
        case APMLogLevel::SilentError:
            return VULLoggerLevel::Error;
        case APMLogLevel::Warning:
        case APMLogLevel::MonitoredWarning:
        case APMLogLevel::SilentWarning:
            return VULLoggerLevel::Warning;
        case APMLogLevel::Notice:
            return VULLoggerLevel::Notice;
        case APMLogLevel::Debug:
        case APMLogLevel::Verbose:
            return VULLoggerLevel::Debug;
        default:
            return VULLoggerLevel::Warning;
    }
}

std::string APMASLLogger::messageCodeText(std::int64_t messageCode) {
    char text[32];
    std::snprintf(text, sizeof text, "I-ACS%06lld", static_cast<long long>(messageCode));
    return text;
}

void APMASLLogger::logMessage(const std::string& message, const std::string& logTag, std::int64_t messageCode,
                              std::int64_t logLevel) {
    // The logger reads the message as a format; doubled percent signs print as they were written.
    std::string format;
    format.reserve(message.size());
    for (char c : message) {
        format += c;
        if (c == '%') format += '%';
    }
    platform::VULLogBasic(VULLoggerLevelFromLogLevel(logLevel), logTag, logLevel == APMLogLevel::Debug,
                          messageCodeText(messageCode), format);
}

}  // namespace analytics
