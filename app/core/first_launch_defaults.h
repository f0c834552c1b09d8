#pragma once

#include <vector>

#include "app/core/user_default_properties.h"

namespace quorvel {

// The 46 settings written on the very first launch, in the order they are saved. Not included:
// latestLength, the music titles and vibrateAlarmEnabled, which start as 0, none and false.
std::vector<UserDefaultProperties> firstLaunchDefaults();

}  // namespace quorvel
