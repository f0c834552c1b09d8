#pragma once

#include <cstdint>
#include <string>

namespace quorvel {

// Today's (or, in a daylight-saving gap, the next existing) time at that full hour, as the user's
// locale writes a short time of day ("2:00 PM", "14:00"). Empty for an hour the calendar cannot give.
std::string nextReminderDate(std::int64_t hour);

}  // namespace quorvel
