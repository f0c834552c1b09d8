#include "app/core/timer_vocabulary.h"

namespace quorvel {

std::optional<SessionType> sessionTypeFromRawValue(std::int64_t raw) {
    switch (raw) {
        case 0:
            return SessionType::focus;
        case 1:
            return SessionType::shortBreak;
        case 2:
            return SessionType::longBreak;
        default:
            return std::nullopt;
    }
}

const char* description(Rotation rotation) {
    return rotation == Rotation::landscape ? "landscape" : "portrait";
}

}  // namespace quorvel
