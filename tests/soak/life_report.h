#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::soak {

// Exact, so that a number read back compares equal to the one written (the walk compares stamps with
// the clock).
std::string exactNumber(double value);

// A focus session as the store holds it.
struct StoredSession {
    std::string identifier;
    double stamp = 0;  // seconds since 2001
    std::int64_t minutes = 0;

    bool operator==(const StoredSession&) const = default;
};

// What one life of the app tells the walk after each step: the clock, the counters, the lengths in
// whole minutes its sessions started with, and how the session store changed since its last report
// (everything it holds, in the first report of a life). One line of text between the processes.
struct LifeReport {
    double now = 0;
    std::int64_t goal = 0;
    std::int64_t round = 0;
    bool running = false;
    bool inFront = true;  // the window shows, not minimised
    // When the app last asked whether the day's counters were due for their reset (0: never).
    double resetChecked = 0;
    std::string screen;  // the class of the screen in front
    // The settings a person chose (lengths, limits, switches, alarms, volumes), as one word: a new life
    // starts with the ones the last left.
    std::string settings;
    std::vector<std::int64_t> startedMinutes;
    bool full = false;
    std::vector<StoredSession> added;
    std::vector<std::string> gone;
    // Identifiers the store holds more than once.
    std::vector<std::string> twice;
    // A second installation's: every session it holds, by identifier.
    std::vector<std::string> held;

    std::string text() const;
    static std::optional<LifeReport> parse(const std::string& text);
};

// What a life answers to a step: its report, or the invariant that failed and how.
struct LifeAnswer {
    std::optional<LifeReport> report;
    std::string invariant;
    std::string message;

    static LifeAnswer failure(std::string invariant, std::string message);

    std::string text() const;
    static std::optional<LifeAnswer> parse(const std::string& line);
};

}  // namespace quorvel::soak
