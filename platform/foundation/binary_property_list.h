#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/value.h"

namespace platform {

// Binary property lists ("bplist00"), the form every reader of the format takes with nothing lost:
// dates are doubles of seconds since 2001-01-01, integers signed 64-bit (an unsigned beyond that
// range takes the format's 16-byte integer), reals 8-byte doubles, strings ASCII or UTF-16. Null is
// written only at the top; a null dictionary entry or array item is left out, as in XML.
class BinaryPropertyList {
public:
    static bool isBinary(std::string_view bytes);
    // The caller has checked that the value is writable (PropertyList::isWritable).
    static std::string serialize(const Value& value);
    // The bytes are untrusted: every offset, reference and length is checked, a reference cycle,
    // nesting deeper than PropertyList::kMaxDepth and an expansion of shared objects beyond
    // kMaxExpandedSize are refused. Malformed input answers nothing (and why in `error`).
    static std::optional<Value> parse(std::string_view bytes, std::string* error = nullptr);

    // The memory the values read from one file may take (each object's and its bytes), however much
    // its containers share objects.
    static constexpr std::size_t kMaxExpandedSize = std::size_t{64} << 20;
};

}  // namespace platform
