#include "app/core/session_change_message.h"

#include "app/core/user_data_manager.h"
#include "platform/foundation/saturating_cast.h"

namespace quorvel {

SessionChangeMessage SessionChangeMessage::after(SessionType type, std::int64_t round, std::int64_t goal) {
    if (type == SessionType::shortBreak) return breakEnded(false);
    if (type == SessionType::longBreak) return breakEnded(true);
    const std::int64_t g = platform::addSaturating(goal, 1);
    const std::int64_t r = platform::addSaturating(round, 1);
    const PomodoroData data = UserDataManager::getPomodoroData();
    if (g == data.goalLimit) return goalReached(g);
    if (data.roundLimit == -1) return longBreakNext(g, data.goalLimit);
    // A round limit of 0 never divides.
    const std::int64_t position = data.roundLimit == 0 ? r : r % data.roundLimit;
    return position == 0 ? longBreakNext(g, data.goalLimit) : shortBreakNext(g, data.goalLimit);
}

std::string SessionChangeMessage::text() const {
    const auto progress = std::to_string(count_) + "/" + std::to_string(dailyGoal_);
    switch (kind_) {
        case Kind::shortBreakNext:
            return "Focus Session has finished, let's take a short break! - Goal " + progress;
        case Kind::goalReached:
            return "Fantastic job! You've completed " + std::to_string(count_) + " Focus Sessions today!";
        case Kind::longBreakNext:
            return "Last Focus Session for the current round has finished, let's take a long break! - Goal " +
                   progress;
        case Kind::breakEnded:
            return isLongBreak_ ? "Long break has ended. Get back to work!"
                                : "Short break has ended. Get back to work!";
        case Kind::autoContinueStopped:
            return "Auto continue is stopped. Please open the app to resume the timer.";
    }
    return {};
}

}  // namespace quorvel
