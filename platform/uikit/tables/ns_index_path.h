#pragma once

#include <compare>

namespace platform {

// A row of a section of a table: a plain value, ordered by section and then row.
struct NSIndexPath {
    long section = 0;
    long row = 0;

    static constexpr NSIndexPath indexPathForRow(long row, long section) { return {section, row}; }

    auto operator<=>(const NSIndexPath&) const = default;
};

}  // namespace platform
