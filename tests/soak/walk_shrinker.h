#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

#include "tests/soak/walk_step.h"

namespace quorvel::soak {

// Shrinks a failing walk to fewer steps that still fail the same way, by dropping chunks of steps
// (halves, then quarters, and so on down to single steps) while the rest still fails. A trial that
// fails early keeps only the steps up to its failure.
class WalkShrinker {
public:
    // Runs a walk: the number of its steps up to and including the one that failed the same way, or
    // nothing when it passed or failed otherwise.
    using Trial = std::function<std::optional<std::size_t>(const Walk&)>;

    static Walk shrink(Walk failing, const Trial& trial,
                       std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt);
};

}  // namespace quorvel::soak
