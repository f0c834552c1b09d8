#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/soak/statistics_figures.h"

namespace quorvel {
class ChartsViewController;
}

namespace quorvel::soak {

// Reads the statistics screen as a person sees it (the values of both charts, the two average texts and
// the two boxes) and holds each figure to the one worked out from the stored sessions. The screen
// rebuilds when sessions arrive, not when midnight passes, so its figures end with the day its charts
// end with; that day must be a local midnight no later than today.
class StatisticsScreenCheck {
public:
    // What differs, or nothing when every figure agrees.
    static std::optional<std::string> problem(const ChartsViewController& screen,
                                              const std::vector<StatisticsFigures::Session>& stored,
                                              double now);
};

}  // namespace quorvel::soak
