#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/value.h"

namespace platform {

// Property lists, version 1.0, in XML and in the binary form. Files are written binary, which every
// reader of the format reads with nothing lost (see BinaryPropertyList); XML remains for text that
// people read and for files written before. Our own rules on top of XML: dates keep fractional
// seconds (which strict readers refuse: another reason files are binary), integers are signed 64-bit
// (an unsigned beyond that range is written as its decimal and read back as UInt), reals round-trip
// exactly with "nan", "inf" and "-inf" spelled out. Null has no form: a null dictionary entry or array
// item is left out. Whatever the reader accepts, the writer writes back equal; a value it cannot
// write (a date with no ISO 8601 form, nesting too deep) is an error, never a silently missing key.
class PropertyList {
public:
    // Arrays and dictionaries nested deeper than this are refused, so hostile input cannot exhaust
    // the stack.
    static constexpr int kMaxDepth = 512;

    // Whether a file can hold the value: false (and why in `error`) when some date has no ISO 8601
    // form, some string or key is not UTF-8, or the value is nested deeper than kMaxDepth.
    static bool isWritable(const Value& value, std::string* error = nullptr);
    // XML; nothing when the value is not writable (strings need not be UTF-8 here).
    static std::optional<std::string> serialize(const Value& value, std::string* error = nullptr);
    // The binary form; nothing when the value is not writable.
    static std::optional<std::string> serializeBinary(const Value& value, std::string* error = nullptr);
    // Either form, told apart by the first bytes. Malformed input answers nothing (and says why in
    // `error`), never part of a value. An empty <plist/> reads as null.
    static std::optional<Value> parse(std::string_view bytes, std::string* error = nullptr);

    static std::optional<Value> readFile(const std::filesystem::path& path, std::string* error = nullptr);
    // Writes the binary form to a temporary file beside `path`, flushes it to disk and renames it over
    // `path`, so a reader sees the old file or the new one, never a torn one. Creates missing folders.
    // False if anything failed (the old file is then untouched) or if the value is not writable.
    static bool writeFileAtomically(const std::filesystem::path& path, const Value& value);
};

}  // namespace platform
