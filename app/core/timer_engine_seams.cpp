#include "app/core/timer_engine_seams.h"

#include "platform/foundation/mutex.h"

namespace quorvel::timer_engine_seams {

namespace {

struct Log {
    platform::Mutex mutex;
    std::vector<std::string> calls GUARDED_BY(mutex);
    std::int64_t badge GUARDED_BY(mutex) = 0;
};

Log& log() {
    static auto* l = new Log();  // never destroyed: read while the process exits
    return *l;
}

void record(std::string call) {
    auto& l = log();
    platform::MutexLock lock(l.mutex);
    l.calls.push_back(std::move(call));
}

std::string timerEventParameter(const TimerEvent& event) {
    if (std::holds_alternative<TimerEvent::PlayButtonTriggeredBeforeTermination>(event.payload())) {
        return "Play_Button_Termination=Yes";
    }
    return "other";
}

}  // namespace

void logEventWithName(const std::string& name, const EventParameters& parameters) {
    std::string call = "event " + name;
    for (const auto& [key, value] : parameters) call += " " + key + "=" + value;
    record(std::move(call));
}

void identifyUserProperty(const std::string& property, const std::string& value) {
    record("identify " + property + "=" + value);
}

void logLongBreakSessionEvent(bool skipped) {
    record(std::string("session ") + (skipped ? "long_break_skip" : "long_break_start"));
}

void logTimerEvent(const TimerEvent& event) {
    record("timer " + timerEventParameter(event));
}

std::int64_t applicationIconBadgeNumber() {
    auto& l = log();
    platform::MutexLock lock(l.mutex);
    return l.badge;
}

void setApplicationIconBadgeNumber(std::int64_t number) {
    {
        auto& l = log();
        platform::MutexLock lock(l.mutex);
        l.badge = number;
    }
    record("badge " + std::to_string(number));
}

const platform::NSNotificationName& applicationDidEnterBackgroundNotification() {
    static const platform::NSNotificationName name("UIApplicationDidEnterBackgroundNotification");
    return name;
}

const platform::NSNotificationName& applicationWillEnterForegroundNotification() {
    static const platform::NSNotificationName name("UIApplicationWillEnterForegroundNotification");
    return name;
}

const platform::NSNotificationName& applicationWillTerminateNotification() {
    static const platform::NSNotificationName name("UIApplicationWillTerminateNotification");
    return name;
}

std::vector<std::string> recordedCalls() {
    auto& l = log();
    platform::MutexLock lock(l.mutex);
    return l.calls;
}

void resetForTesting() {
    auto& l = log();
    platform::MutexLock lock(l.mutex);
    l.calls.clear();
    l.badge = 0;
}

}  // namespace quorvel::timer_engine_seams
