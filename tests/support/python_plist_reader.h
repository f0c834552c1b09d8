#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/foundation/value.h"

namespace quorvel::testing {

// Reads property-list files with Python's plistlib, a strict reader of the format, and lists what it
// read one line per value ("<path> <kind> <value>", keys and strings as hex of their UTF-8) so it can be
// compared with what our own reader reads.
class PythonPlistReader {
public:
    static bool available();
    // Nothing (and Python's complaint in `error`) when plistlib refuses the file.
    static std::optional<std::string> listing(const std::filesystem::path& file,
                                              std::string* error = nullptr);
    // The same listing of a value our reader read.
    static std::string listing(const platform::Value& value);
    // Equal line by line, dates within a microsecond (plistlib keeps no finer time); the first
    // difference in `difference`.
    static bool same(const std::string& python, const std::string& ours, std::string* difference);
};

}  // namespace quorvel::testing
