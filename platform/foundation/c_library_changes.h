#pragma once

#include <ctime>
#include <vector>

// Not part of the platform's surface: how the host zone's offsets are read from the C library.
namespace platform {

// The C library's local time under the process's TZ, as the list of instants at which its answer changes.
class CLibraryChanges {
public:
    // What the C library says of an instant.
    struct Answer {
        long offset;
        bool daylight;
        bool operator==(const Answer&) const = default;
    };
    struct Change {
        std::time_t at;
        Answer answer;
    };

    // Every change from `first` to `last` (a UTC year's start), each to the second, after the answer at
    // `first`. `fileTransitions` are the instants at which the zone file the C library reads changes;
    // after the last of them, and everywhere when there is no file, the C library follows a rule
    // year by year, sampled `step` apart: no answer there may last shorter than that.
    static std::vector<Change> between(std::time_t first, std::time_t last,
                                       const std::vector<std::time_t>& fileTransitions, std::time_t step);
};

}  // namespace platform
