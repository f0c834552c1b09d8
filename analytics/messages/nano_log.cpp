#include "analytics/messages/nano_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/foundation/console.h"

void NanoLog::print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string line(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(line.data(), line.size() + 1, format, again);
    va_end(again);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    platform::Console::print(line);
}
