#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/value.h"

namespace platform {

// XML property lists, version 1.0. Our own rules on top of the format: dates keep fractional
// seconds, integers are signed 64-bit (an unsigned beyond that range is written as its decimal and
// read back as UInt), reals round-trip exactly with "nan", "inf" and "-inf" spelled out. Null has no
// form: a null dictionary entry or array item is left out. Whatever the reader accepts, the writer
// writes back equal; a value it cannot write (a date with no ISO 8601 form, nesting too deep) is an
// error, never a silently missing key.
class PropertyList {
public:
    // Arrays and dictionaries nested deeper than this are refused, so hostile input cannot exhaust
    // the stack.
    static constexpr int kMaxDepth = 512;

    // False (and why in `error`) when some date has no ISO 8601 form or the value is nested deeper
    // than kMaxDepth.
    static bool isWritable(const Value& value, std::string* error = nullptr);
    // Nothing when the value is not writable.
    static std::optional<std::string> serialize(const Value& value, std::string* error = nullptr);
    // Malformed input answers nothing (and says why in `error`), never part of a value. An empty
    // <plist/> reads as null.
    static std::optional<Value> parse(std::string_view xml, std::string* error = nullptr);

    static std::optional<Value> readFile(const std::filesystem::path& path, std::string* error = nullptr);
    // Writes a temporary file beside `path`, flushes it to disk and renames it over `path`, so a
    // reader sees the old file or the new one, never a torn one. Creates missing folders. False if
    // anything failed (the old file is then untouched) or if the value is not writable.
    static bool writeFileAtomically(const std::filesystem::path& path, const Value& value);
};

}  // namespace platform
