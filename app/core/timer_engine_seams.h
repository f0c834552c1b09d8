#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/core/timer_vocabulary.h"
#include "platform/foundation/ns_notification_center.h"

// Stand-ins for the services the engine calls that other parts of the tree bring: the analytics
// interface and wrapper, the second analytics service and the application object. Each call is kept
// in a log that tests read; the badge number is held here. Replace each with the real call when the
// service lands, then delete this file.
namespace quorvel::timer_engine_seams {

using EventParameters = std::vector<std::pair<std::string, std::string>>;

// Analytics interface: logEventWithName(name, parameters).
void logEventWithName(const std::string& name, const EventParameters& parameters);
// Second analytics service: an identify call setting one user property.
void identifyUserProperty(const std::string& property, const std::string& value);
// Analytics wrapper: the session event "long_break_skip" (skipped) or "long_break_start".
void logLongBreakSessionEvent(bool skipped);
// Analytics wrapper: the "Timer_Event" of a timer event.
void logTimerEvent(const TimerEvent& event);

// Application object: the icon badge number.
std::int64_t applicationIconBadgeNumber();
void setApplicationIconBadgeNumber(std::int64_t number);

// Application life-cycle notification names.
const platform::NSNotificationName& applicationDidEnterBackgroundNotification();
const platform::NSNotificationName& applicationWillEnterForegroundNotification();
const platform::NSNotificationName& applicationWillTerminateNotification();

// Tests: every call above, one line each ("event Timer_Event End_Timer=Focus_Session",
// "identify timer_start_alarm=on", "session long_break_start", "timer Play_Button_Termination=Yes",
// "badge 24"), and a fresh start.
std::vector<std::string> recordedCalls();
void resetForTesting();

}  // namespace quorvel::timer_engine_seams
