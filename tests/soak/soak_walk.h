#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "tests/soak/walk_plan.h"
#include "tests/soak/walk_step.h"

namespace quorvel::soak {

// How a walk ended: after all its steps (or its time), or at the step where an invariant failed.
struct WalkOutcome {
    std::size_t stepsWalked = 0;
    std::size_t lives = 0;
    std::size_t sessions = 0;
    std::size_t foreignSessions = 0;
    std::size_t putBacks = 0;         // a store or sync state put back from a copy
    std::size_t sessionsRetaken = 0;  // missing from a store put back, to come in again from the folder
    std::size_t sessionsUnsent = 0;   // made after the copy and gone with the store before they were sent
    std::set<std::string> screens;   // the screens a person saw on the way
    std::size_t answers = 0;         // the app's reports after steps and launches
    std::size_t answersRunning = 0;  // of them, those with the timer running
    bool failed = false;
    std::size_t failedStep = 0;  // index into the walk; the walk's length for its closing checks
    std::string invariant;
    std::string message;
    std::string logTail;  // the end of what the failing life printed
};

// Walks the real app through a list of steps in a fresh folder of its own: each life of the app runs
// in a process of its own (this program again), each step is sent to it and must be answered within
// the step limit of the wall clock, each answer is held against the walk's ledger, a kill ends the
// process at once and a quit must end it cleanly; then the next life starts from the files.
class SoakWalk {
public:
    struct Limits {
        double stepSeconds = 120;  // the wall-clock time a step may take before the app counts as hung
        // Stops after the step that ends past this moment, when set.
        std::optional<std::chrono::steady_clock::time_point> deadline;
    };

    SoakWalk(WalkSetup setup, Walk walk, Limits limits);
    // Runs in `folder`, which must not exist yet, and removes it again unless `keep`.
    WalkOutcome run(const std::filesystem::path& folder, bool keep = false);

    // Called after each step with its index and the app's last answer, for progress lines.
    std::function<void(std::size_t, const std::string&)> onStep;

private:
    WalkSetup setup_;
    Walk walk_;
    Limits limits_;
};

}  // namespace quorvel::soak
