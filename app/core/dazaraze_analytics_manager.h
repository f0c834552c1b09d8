#pragma once

#include <string>

#include "app/core/amplitude_session_event.h"
#include "app/core/chart_event.h"
#include "app/core/options_event_kind.h"
#include "app/core/timer_vocabulary.h"

namespace quorvel {

// The app's one place that names its analytics events. Usage events go to the analytics library's public
// interface, session events and two user properties to the second analytics service (skipped while it
// has no instance). Each call makes at most one call to one service, on the caller's thread.
class DazarazeAnalyticsManager {
public:
    // "Timer_Event" with one parameter by case.
    static void logTimerEvent(const TimerEvent& event);
    static void logSessionEvent(const AmplitudeSessionEvent& event);
    // "Options_Event": a switch's name with "Enabled" or "Disabled", or "Colour_Set" with the colour.
    static void logOptionsEvent(const OptionsEventKind& kind);
    // "Chart_Event": the graph and its pomodoros, or the orientation.
    static void logChartEvent(const ChartEvent& event);
    static void logIntroFinish();
    static void logValueSelect();
    // The event `event` with the one parameter `key` = `event`.
    static void logSimpleEvent(const std::string& key, const std::string& event);
    static void logAutoResetChoice(bool accepted);
};

}  // namespace quorvel
