#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace quorvel {

// The session events and user properties the app reports to the second analytics service.
class AmplitudeSessionEvent {
public:
    struct TimerStartSound {
        std::string value;
    };
    struct TimerStartAlarm {
        std::string value;
    };
    struct SessionCount {
        std::int64_t count;
    };
    struct LongBreak {
        bool skipped;
    };
    using Payload = std::variant<TimerStartSound, TimerStartAlarm, SessionCount, LongBreak>;

    static AmplitudeSessionEvent timerStartSound(std::string value) {
        return AmplitudeSessionEvent(TimerStartSound{std::move(value)});
    }
    static AmplitudeSessionEvent timerStartAlarm(std::string value) {
        return AmplitudeSessionEvent(TimerStartAlarm{std::move(value)});
    }
    static AmplitudeSessionEvent sessionCount(std::int64_t count) { return AmplitudeSessionEvent(SessionCount{count}); }
    static AmplitudeSessionEvent longBreak(bool skipped) { return AmplitudeSessionEvent(LongBreak{skipped}); }

    const Payload& payload() const { return payload_; }

private:
    explicit AmplitudeSessionEvent(Payload payload) : payload_(std::move(payload)) {}
    Payload payload_;
};

}  // namespace quorvel
