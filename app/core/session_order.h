#pragma once

#include <cstdint>

#include "app/core/timer_vocabulary.h"

namespace quorvel {

// The session that follows one that ended. After a focus session `roundCount` is the round counter
// with that session already counted: a long break comes when it is at least 1 and the round limit
// is -1 (every time) or a non-zero limit divides it; otherwise a short break. After any break, focus.
SessionType nextSessionType(SessionType ended, std::int64_t roundCount, std::int64_t roundLimit);

}  // namespace quorvel
