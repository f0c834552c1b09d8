#include "platform/vuziriutilities/vul_logger.h"

#include <atomic>

#include "platform/foundation/console.h"

namespace platform {

namespace {

std::atomic<int> maxLevel{static_cast<int>(VULLoggerLevel::Notice)};

// A format given no arguments prints its text with "%%" collapsed to "%".
std::string formatWithoutArguments(const std::string& format) {
    std::string text;
    text.reserve(format.size());
    for (std::string::size_type i = 0; i < format.size(); ++i) {
        text += format[i];
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') ++i;
    }
    return text;
}

}  // namespace

void VULSetLoggerLevel(VULLoggerLevel level) {
    maxLevel.store(static_cast<int>(level));
}

VULLoggerLevel VULLoggerMaxLevel() {
    return static_cast<VULLoggerLevel>(maxLevel.load());
}

bool VULIsLoggableLevel(VULLoggerLevel level) {
    return static_cast<int>(level) <= maxLevel.load();
}

void VULLogBasic(VULLoggerLevel level, const std::string& service, bool forceLog,
                 const std::string& messageCode, const std::string& format) {
    if (!forceLog && !VULIsLoggableLevel(level)) return;
    Console::print(service + "[" + messageCode + "] " + formatWithoutArguments(format));
}

void VULLogError(const std::string& service, bool forceLog, const std::string& messageCode,
                 const std::string& format) {
    VULLogBasic(VULLoggerLevel::Error, service, forceLog, messageCode, format);
}

void VULLogWarning(const std::string& service, bool forceLog, const std::string& messageCode,
                   const std::string& format) {
    VULLogBasic(VULLoggerLevel::Warning, service, forceLog, messageCode, format);
}

}  // namespace platform
