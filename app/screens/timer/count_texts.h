#pragma once

#include <string>

namespace quorvel {

// Texts for counts of minutes, hours and sessions, as the value pickers and option cells show them.

// "1 Minute", "25 Minutes".
std::string minutesText(long minutes);
// Minutes as hours and minutes: "59 Minutes", "1 Hour", "1 Hour 30 Minutes", "2 Hours 5 Minutes"; a
// whole number of hours from two on keeps a trailing blank ("2 Hours ").
std::string durationText(long minutes);
// "1 Session", "4 Sessions".
std::string sessionCountText(long sessions);

}  // namespace quorvel
