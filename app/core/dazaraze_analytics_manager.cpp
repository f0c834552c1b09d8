#include "app/core/dazaraze_analytics_manager.h"

#include "analytics/interface/rov_eruzovaza.h"
#include "platform/amplitude/amplitude.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_date_formatter.h"

namespace quorvel {

namespace {

using platform::Value;

template <class... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};
template <class... Visitors>
Overloaded(Visitors...) -> Overloaded<Visitors...>;

Value::Dictionary timerEventParameter(const TimerEvent& event) {
    return std::visit(
        Overloaded{
            [](const TimerEvent::Orientation& e) -> Value::Dictionary {
                return {{"Orientation", description(e.rotation)}};
            },
            [](const TimerEvent::PressButton& e) -> Value::Dictionary { return {{e.event, e.buttonValue}}; },
            [](const TimerEvent::EndTimer& e) -> Value::Dictionary { return {{"End_Timer", e.text}}; },
            [](const TimerEvent::Carousel& e) -> Value::Dictionary {
                return {{"Carousel", std::to_string(e.value) + " Duration"}};
            },
            [](const TimerEvent::Swipe& e) -> Value::Dictionary {
                return {{"Swipe", e.clearType == TimerEvent::ClearType::clearRound ? "Clear_Round" : "Clear_All"}};
            },
            [](const TimerEvent::PlayButtonTriggeredBeforeTermination&) -> Value::Dictionary {
                return {{"Play_Button_Termination", "Yes"}};
            },
        },
        event.payload());
}

const char* optionKey(OptionsEventKind::Case kind) {
    using Case = OptionsEventKind::Case;
    switch (kind) {
        case Case::resetCounter:
            return "Reset_Counter";
        case Case::preventLockScreen:
            return "Prevent_Lock_Screen";
        case Case::autoRestart:
            return "Auto_Restart";
        case Case::vibrateAlarm:
            return "Vibrate_Alarm";
        case Case::soundAlarmEnabled:
            return "Sound_Alarm_Enabled";
        case Case::tickingSoundEnabled:
            return "Ticking_Sound_Enabled";
        case Case::showBadge:
            return "Show_Badge";
        case Case::resetColours:
            return "Reset_Colours";
        case Case::colourSet:
            return "Colour_Set";
    }
    return "";
}

void identifyUserProperty(platform::Amplitude& amplitude, const char* property, const std::string& value) {
    amplitude.identify(platform::AMPIdentify::identify().set(property, value));
}

std::string today() {
    platform::NSDateFormatter formatter;
    formatter.setDateFormat("yyyy/MM/dd");
    return formatter.stringFromDate(platform::NSDate::now());
}

}  // namespace

void DazarazeAnalyticsManager::logTimerEvent(const TimerEvent& event) {
    analytics::ROVEruzovaza::logEventWithName("Timer_Event", timerEventParameter(event));
}

void DazarazeAnalyticsManager::logSessionEvent(const AmplitudeSessionEvent& event) {
    const auto amplitude = platform::Amplitude::instance();
    if (!amplitude) return;
    std::visit(Overloaded{
                   [&](const AmplitudeSessionEvent::TimerStartSound& e) {
                       identifyUserProperty(*amplitude, "timer_start_sound", e.value);
                   },
                   [&](const AmplitudeSessionEvent::TimerStartAlarm& e) {
                       identifyUserProperty(*amplitude, "timer_start_alarm", e.value);
                   },
                   [&](const AmplitudeSessionEvent::SessionCount& e) {
                       amplitude->logEvent("session_count", {{"date", today()}, {"session", e.count}});
                   },
                   [&](const AmplitudeSessionEvent::LongBreak& e) {
                       amplitude->logEvent(e.skipped ? "long_break_skip" : "long_break_start");
                   },
               },
               event.payload());
}

void DazarazeAnalyticsManager::logOptionsEvent(const OptionsEventKind& kind) {
    const std::string value = kind.kind() == OptionsEventKind::Case::colourSet ? kind.name() + "_Type"
                              : kind.isOn()                                    ? "Enabled"
                                                                               : "Disabled";
    analytics::ROVEruzovaza::logEventWithName("Options_Event", {{optionKey(kind.kind()), value}});
}

void DazarazeAnalyticsManager::logChartEvent(const ChartEvent& event) {
    if (event.isOrientation()) {
        analytics::ROVEruzovaza::logEventWithName("Chart_Event", {{"Orientation", description(event.rotation())}});
        return;
    }
    analytics::ROVEruzovaza::logEventWithName(
        "Chart_Event", {{"Chart_Type", event.graph() == ChartEvent::Graph::bar ? "Bar_Graph" : "Line_Graph"},
                        {"Pomodoros", event.pomodoros()}});
}

void DazarazeAnalyticsManager::logIntroFinish() {
    logSimpleEvent("Finish", "Intro");
}

void DazarazeAnalyticsManager::logValueSelect() {
    logSimpleEvent("Value", "Select");
}

void DazarazeAnalyticsManager::logSimpleEvent(const std::string& key, const std::string& event) {
    analytics::ROVEruzovaza::logEventWithName(event, {{key, event}});
}

void DazarazeAnalyticsManager::logAutoResetChoice(bool accepted) {
    analytics::ROVEruzovaza::logEventWithName("[APP]Auto_Reset_Counter_at_Midnight",
                                              {{"Type", accepted ? "Yes" : "Cancel"}});
}

}  // namespace quorvel
