#pragma once

#include <string>

namespace platform {

// Console levels of the utilities logger, most severe first.
enum class VULLoggerLevel : int { Error = 3, Warning = 4, Notice = 5, Info = 6, Debug = 7 };

// The highest level printed; Notice until changed, so debug lines need debug mode.
void VULSetLoggerLevel(VULLoggerLevel level);
VULLoggerLevel VULLoggerMaxLevel();
bool VULIsLoggableLevel(VULLoggerLevel level);

// Writes one console line "<service>[<messageCode>] <message>". The message is a format without
// arguments: "%%" prints one "%". A forced line is printed whatever the maximum level.
void VULLogBasic(VULLoggerLevel level, const std::string& service, bool forceLog,
                 const std::string& messageCode, const std::string& format);
void VULLogError(const std::string& service, bool forceLog, const std::string& messageCode,
                 const std::string& format);
void VULLogWarning(const std::string& service, bool forceLog, const std::string& messageCode,
                   const std::string& format);

}  // namespace platform
