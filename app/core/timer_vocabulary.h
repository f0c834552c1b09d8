#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace quorvel {

// The kind of a timer session; the raw values are stored in the settings and the session store.
enum class SessionType : std::int64_t { focus = 0, shortBreak = 1, longBreak = 2 };

// The session type of a stored raw value, or none outside 0…2.
std::optional<SessionType> sessionTypeFromRawValue(std::int64_t raw);
constexpr std::int64_t rawValue(SessionType type) {
    return static_cast<std::int64_t>(type);
}

// The running state pushed to the timer screen's controls.
enum class TimerStatus { Running, Stopped };

// Which counters or which session a reset changes.
enum class SessionReset { Round, GoalsRound, Skip, StopAndReset };

// What the navigation bar's skip button does.
enum class SkipFunction { Session, Stop };

// The orientation reported with analytics events.
enum class Rotation { portrait, landscape };
const char* description(Rotation rotation);

// A session status value; the theme colours that go with the kinds are separate constants.
struct SessionStatus {
    enum class Kind { focusSession, shortBreak, longBreak };
    Kind kind;
    double value;

    static SessionStatus focusSession(double v) { return {Kind::focusSession, v}; }
    static SessionStatus shortBreak(double v) { return {Kind::shortBreak, v}; }
    static SessionStatus longBreak(double v) { return {Kind::longBreak, v}; }
    bool operator==(const SessionStatus&) const = default;
};

// The vocabulary of the "Timer_Event" analytics event. A value type: copying an event copies its texts.
class TimerEvent {
public:
    // Which counters a swipe on the round and goal table clears.
    enum class ClearType { clearRound, clearAll };

    struct Orientation {
        Rotation rotation;
        bool operator==(const Orientation&) const = default;
    };
    struct PressButton {
        std::string event;
        std::string buttonValue;
        bool operator==(const PressButton&) const = default;
    };
    struct EndTimer {
        std::string text;
        bool operator==(const EndTimer&) const = default;
    };
    struct Carousel {
        std::int64_t value;
        bool operator==(const Carousel&) const = default;
    };
    struct Swipe {
        ClearType clearType;
        bool operator==(const Swipe&) const = default;
    };
    struct PlayButtonTriggeredBeforeTermination {
        bool operator==(const PlayButtonTriggeredBeforeTermination&) const = default;
    };
    using Payload = std::variant<Orientation, PressButton, EndTimer, Carousel, Swipe,
                                 PlayButtonTriggeredBeforeTermination>;

    static TimerEvent orientation(Rotation rotation) { return TimerEvent(Orientation{rotation}); }
    static TimerEvent pressButton(std::string event, std::string buttonValue) {
        return TimerEvent(PressButton{std::move(event), std::move(buttonValue)});
    }
    static TimerEvent endTimer(std::string text) { return TimerEvent(EndTimer{std::move(text)}); }
    static TimerEvent carousel(std::int64_t value) { return TimerEvent(Carousel{value}); }
    static TimerEvent swipe(ClearType clearType) { return TimerEvent(Swipe{clearType}); }
    static TimerEvent playButtonTriggeredBeforeTermination() {
        return TimerEvent(PlayButtonTriggeredBeforeTermination{});
    }

    const Payload& payload() const { return payload_; }
    bool operator==(const TimerEvent&) const = default;

private:
    explicit TimerEvent(Payload payload) : payload_(std::move(payload)) {}
    Payload payload_;
};

}  // namespace quorvel
