#include "tests/soak/walk_shrinker.h"

#include <algorithm>

namespace quorvel::soak {

Walk WalkShrinker::shrink(Walk failing, const Trial& trial,
                          std::optional<std::chrono::steady_clock::time_point> deadline) {
    std::size_t parts = 2;
    while (failing.size() >= 2) {
        if (deadline && std::chrono::steady_clock::now() > *deadline) break;
        const std::size_t chunk = (failing.size() + parts - 1) / parts;
        bool reduced = false;
        for (std::size_t from = 0; from < failing.size(); from += chunk) {
            if (deadline && std::chrono::steady_clock::now() > *deadline) break;
            Walk rest(failing.begin(), failing.begin() + static_cast<std::ptrdiff_t>(from));
            rest.insert(rest.end(),
                        failing.begin() + static_cast<std::ptrdiff_t>(std::min(from + chunk, failing.size())),
                        failing.end());
            const auto failedWithin = trial(rest);
            if (!failedWithin) continue;
            rest.resize(std::min(rest.size(), *failedWithin));
            failing = std::move(rest);
            parts = std::max<std::size_t>(parts - 1, 2);
            reduced = true;
            break;
        }
        if (!reduced) {
            if (parts >= failing.size()) break;
            parts = std::min(failing.size(), parts * 2);
        }
    }
    return failing;
}

}  // namespace quorvel::soak
