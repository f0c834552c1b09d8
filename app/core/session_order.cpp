#include "app/core/session_order.h"

namespace quorvel {

SessionType nextSessionType(SessionType ended, std::int64_t roundCount, std::int64_t roundLimit) {
    if (ended != SessionType::focus) return SessionType::focus;
    const bool roundComplete = roundLimit == -1 || (roundLimit != 0 && roundCount % roundLimit == 0);
    return roundCount > 0 && roundComplete ? SessionType::longBreak : SessionType::shortBreak;
}

}  // namespace quorvel
