#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

#include "tests/soak/walk_step.h"

namespace quorvel::soak {

// Shrinks a failing walk to fewer steps that still fail the same way. It starts from the failing life:
// first the earlier lives are dropped whole (all at once, then halves, quarters and so on, the failing
// life always kept), so that a fault that needs nothing of them is left with the failing life's steps
// after one trial; then all steps of one kind at a time; then single steps in chunks as the lives were.
// A trial that fails early keeps only the steps up to its failure.
class WalkShrinker {
public:
    // Runs a walk: the number of its steps up to and including the one that failed the same way, or
    // nothing when it passed or failed otherwise.
    using Trial = std::function<std::optional<std::size_t>(const Walk&)>;

    static Walk shrink(Walk failing, const Trial& trial,
                       std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt);
};

}  // namespace quorvel::soak
