#pragma once

#include <cstdint>
#include <string>

namespace quorvel {

// "1 Minute", "25 Minutes".
std::string minutesText(std::int64_t count);
// "59 Minutes", "1 Hour", "1 Hour 30 Minutes", "2 Hours 5 Minutes", "2 Hours " (a blank stays).
std::string durationText(std::int64_t minutes);
// "1 Session", "4 Sessions".
std::string sessionCountText(std::int64_t count);

}  // namespace quorvel
