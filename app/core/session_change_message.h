#pragma once

#include <cstdint>
#include <string>

#include "app/core/timer_vocabulary.h"

namespace quorvel {

// The body of one session-change notification: what just ended and what comes next.
class SessionChangeMessage {
public:
    enum class Kind { shortBreakNext, goalReached, longBreakNext, breakEnded, autoContinueStopped };

    static SessionChangeMessage shortBreakNext(std::int64_t goal, std::int64_t dailyGoal) {
        return {Kind::shortBreakNext, goal, dailyGoal, false};
    }
    static SessionChangeMessage goalReached(std::int64_t count) {
        return {Kind::goalReached, count, 0, false};
    }
    static SessionChangeMessage longBreakNext(std::int64_t goal, std::int64_t dailyGoal) {
        return {Kind::longBreakNext, goal, dailyGoal, false};
    }
    static SessionChangeMessage breakEnded(bool isLongBreak) { return {Kind::breakEnded, 0, 0, isLongBreak}; }
    static SessionChangeMessage autoContinueStopped() { return {Kind::autoContinueStopped, 0, 0, false}; }

    // The message for the end of a session of `type`, given the round and goal counters before that
    // session is counted; reads the stored round limit and daily goal.
    static SessionChangeMessage after(SessionType type, std::int64_t round, std::int64_t goal);

    std::string text() const;

    Kind kind() const { return kind_; }
    bool operator==(const SessionChangeMessage&) const = default;

private:
    SessionChangeMessage(Kind kind, std::int64_t count, std::int64_t dailyGoal, bool isLongBreak)
        : kind_(kind), count_(count), dailyGoal_(dailyGoal), isLongBreak_(isLongBreak) {}

    Kind kind_;
    std::int64_t count_;
    std::int64_t dailyGoal_;
    bool isLongBreak_;
};

}  // namespace quorvel
