#include "tests/soak/walk_shrinker.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quorvel::soak {

namespace {

using Units = std::vector<Walk>;
using Split = Units (*)(const Walk&);
using Deadline = std::optional<std::chrono::steady_clock::time_point>;

// Each life's steps with the step that ends it; the last is the life the walk failed in.
Units lives(const Walk& walk) {
    Units units(1);
    for (const auto& step : walk) {
        units.back().push_back(step);
        if (step.endsLife()) units.emplace_back();
    }
    if (units.size() > 1 && units.back().empty()) units.pop_back();
    return units;
}

Units steps(const Walk& walk) {
    Units units;
    for (const auto& step : walk) units.push_back({step});
    return units;
}

bool late(const Deadline& deadline) {
    return deadline && std::chrono::steady_clock::now() > *deadline;
}

// Drops chunks of the units `split` makes of the walk, save the last `kept`, while the rest still
// fails: the chunk is all of them at first, then a half, a quarter, down to one unit.
Walk dropChunks(Walk failing, Split split, std::size_t kept, const WalkShrinker::Trial& trial,
                const Deadline& deadline) {
    std::size_t parts = 1;
    while (!late(deadline)) {
        const Units units = split(failing);
        const std::size_t movable = units.size() > kept ? units.size() - kept : 0;
        if (movable == 0) break;
        parts = std::min(parts, movable);
        const std::size_t chunk = (movable + parts - 1) / parts;
        bool reduced = false;
        for (std::size_t from = 0; from < movable && !late(deadline); from += chunk) {
            Walk rest;
            for (std::size_t i = 0; i < units.size(); ++i) {
                if (i < from || i >= std::min(from + chunk, movable))
                    rest.insert(rest.end(), units[i].begin(), units[i].end());
            }
            const auto failedWithin = trial(rest);
            if (!failedWithin) continue;
            rest.resize(std::min(rest.size(), *failedWithin));
            failing = std::move(rest);
            parts = std::max<std::size_t>(parts - 1, 2);
            reduced = true;
            break;
        }
        if (!reduced) {
            if (parts >= movable) break;
            parts = std::min(movable, parts * 2);
        }
    }
    return failing;
}

// Drops every step of one kind at once (all taps, all swipes, ...) while the rest still fails, the
// failing step kept: most of a walk is steps that have nothing to do with its fault.
Walk dropKinds(Walk failing, const WalkShrinker::Trial& trial, const Deadline& deadline) {
    std::string kinds;
    for (const auto& step : failing) {
        if (kinds.find(static_cast<char>(step.kind)) == std::string::npos)
            kinds += static_cast<char>(step.kind);
    }
    for (const char kind : kinds) {
        if (late(deadline) || failing.size() < 2) break;
        Walk rest;
        for (std::size_t i = 0; i + 1 < failing.size(); ++i) {
            if (static_cast<char>(failing[i].kind) != kind) rest.push_back(failing[i]);
        }
        rest.push_back(failing.back());
        if (rest.size() == failing.size()) continue;
        const auto failedWithin = trial(rest);
        if (!failedWithin) continue;
        rest.resize(std::min(rest.size(), *failedWithin));
        failing = std::move(rest);
    }
    return failing;
}

}  // namespace

Walk WalkShrinker::shrink(Walk failing, const Trial& trial, Deadline deadline) {
    failing = dropChunks(std::move(failing), lives, 1, trial, deadline);
    failing = dropKinds(std::move(failing), trial, deadline);
    return dropChunks(std::move(failing), steps, 0, trial, deadline);
}

}  // namespace quorvel::soak
