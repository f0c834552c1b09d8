#include <gtest/gtest.h>

#include <functional>

#include "analytics/interface/dzr_app.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "platform/amplitude/amplitude.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_date.h"
#include "tests/analytics/engine/events_taken_in.h"
#include "tests/analytics/fresh_library.h"
#include "tests/support/fresh_amplitude.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel;
using analytics::APMValue;
using engine_test::EventsTakenIn;

namespace {

using Manager = DazarazeAnalyticsManager;

class AnalyticsWrapper : public ::testing::Test {
protected:
    void SetUp() override {
        analytics::DZRApp::configure();
        platform::Amplitude::instance()->initializeApiKey("key");
    }
    void TearDown() override { clock->runUntilIdle(); }

    quorvel::testing::FreshLibrary library;
    quorvel::testing::FreshAmplitude amplitude;
    quorvel::testing::TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::shared_ptr<EventsTakenIn> events = EventsTakenIn::installOnEngine();
};

struct Row {
    const char* what;
    std::function<void()> log;
    const char* eventName;
    APMValue::Parameters parameters;  // besides the origin
};

APMValue text(const std::string& value) {
    return *APMValue::initWithString(value);
}

}  // namespace

TEST_F(AnalyticsWrapper, EveryUsageEventReachesTheLibraryWithItsNameAndParameters) {
    const std::vector<Row> rows = {
        {"orientation", [] { Manager::logTimerEvent(TimerEvent::orientation(Rotation::landscape)); }, "Timer_Event",
         {{"Orientation", text("landscape")}}},
        {"press button", [] { Manager::logTimerEvent(TimerEvent::pressButton("Press_Skip", "Okay")); },
         "Timer_Event", {{"Press_Skip", text("Okay")}}},
        {"end timer", [] { Manager::logTimerEvent(TimerEvent::endTimer("Short_Break")); }, "Timer_Event",
         {{"End_Timer", text("Short_Break")}}},
        {"carousel", [] { Manager::logTimerEvent(TimerEvent::carousel(25)); }, "Timer_Event",
         {{"Carousel", text("25 Duration")}}},
        {"swipe round", [] { Manager::logTimerEvent(TimerEvent::swipe(TimerEvent::ClearType::clearRound)); },
         "Timer_Event", {{"Swipe", text("Clear_Round")}}},
        {"swipe all", [] { Manager::logTimerEvent(TimerEvent::swipe(TimerEvent::ClearType::clearAll)); },
         "Timer_Event", {{"Swipe", text("Clear_All")}}},
        {"termination", [] { Manager::logTimerEvent(TimerEvent::playButtonTriggeredBeforeTermination()); },
         "Timer_Event", {{"Play_Button_Termination", text("Yes")}}},
        {"reset counter", [] { Manager::logOptionsEvent(OptionsEventKind::resetCounter(true)); }, "Options_Event",
         {{"Reset_Counter", text("Enabled")}}},
        {"lock screen", [] { Manager::logOptionsEvent(OptionsEventKind::preventLockScreen(false)); },
         "Options_Event", {{"Prevent_Lock_Screen", text("Disabled")}}},
        {"auto restart", [] { Manager::logOptionsEvent(OptionsEventKind::autoRestart(false)); }, "Options_Event",
         {{"Auto_Restart", text("Disabled")}}},
        {"vibrate", [] { Manager::logOptionsEvent(OptionsEventKind::vibrateAlarm(true)); }, "Options_Event",
         {{"Vibrate_Alarm", text("Enabled")}}},
        {"alarm", [] { Manager::logOptionsEvent(OptionsEventKind::soundAlarmEnabled(true)); }, "Options_Event",
         {{"Sound_Alarm_Enabled", text("Enabled")}}},
        {"ticking", [] { Manager::logOptionsEvent(OptionsEventKind::tickingSoundEnabled(false)); },
         "Options_Event", {{"Ticking_Sound_Enabled", text("Disabled")}}},
        {"badge", [] { Manager::logOptionsEvent(OptionsEventKind::showBadge(true)); }, "Options_Event",
         {{"Show_Badge", text("Enabled")}}},
        {"reset colours", [] { Manager::logOptionsEvent(OptionsEventKind::resetColours(true)); }, "Options_Event",
         {{"Reset_Colours", text("Enabled")}}},
        {"colour", [] { Manager::logOptionsEvent(OptionsEventKind::colourSet("Focus")); }, "Options_Event",
         {{"Colour_Set", text("Focus_Type")}}},
        {"bar graph", [] { Manager::logChartEvent(ChartEvent::graphTouch(ChartEvent::Graph::bar, 12)); },
         "Chart_Event", {{"Chart_Type", text("Bar_Graph")}, {"Pomodoros", APMValue::initWithInt64(12)}}},
        {"line graph", [] { Manager::logChartEvent(ChartEvent::graphTouch(ChartEvent::Graph::line, 0)); },
         "Chart_Event", {{"Chart_Type", text("Line_Graph")}, {"Pomodoros", APMValue::initWithInt64(0)}}},
        {"chart orientation", [] { Manager::logChartEvent(ChartEvent::orientation(Rotation::portrait)); },
         "Chart_Event", {{"Orientation", text("portrait")}}},
        {"intro", [] { Manager::logIntroFinish(); }, "Intro", {{"Finish", text("Intro")}}},
        {"value select", [] { Manager::logValueSelect(); }, "Select", {{"Value", text("Select")}}},
        {"simple", [] { Manager::logSimpleEvent("Tapped", "Help"); }, "Help", {{"Tapped", text("Help")}}},
    };
    for (const Row& row : rows) row.log();

    clock->runUntilIdle();
    const auto arrived = events->events();
    ASSERT_EQ(arrived.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        APMValue::Parameters expected = rows[i].parameters;
        expected.emplace("_o", text("app"));
        EXPECT_EQ(arrived[i].name(), rows[i].eventName) << rows[i].what;
        EXPECT_EQ(arrived[i].parameters(), expected) << rows[i].what;
    }
}

// The library refuses the auto-reset event's name: "[" and "]" are no name characters. The choice then
// reaches the service only as the name of an error event.
TEST_F(AnalyticsWrapper, TheAutoResetChoiceArrivesAsARefusedName) {
    Manager::logAutoResetChoice(true);
    clock->runUntilIdle();
    const auto arrived = events->events();
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived[0].name(), "_err");
    EXPECT_EQ(arrived[0].parameters().at("_err"), APMValue::initWithInt64(2));
    EXPECT_EQ(arrived[0].parameters().at("_ev"), text("[APP]Auto_Reset_Counter_at_Midnight"));
}

TEST_F(AnalyticsWrapper, SessionEventsGoToTheSecondServiceWhileItHasAnInstance) {
    Manager::logSessionEvent(AmplitudeSessionEvent::timerStartSound("on"));
    Manager::logSessionEvent(AmplitudeSessionEvent::timerStartAlarm("off"));
    Manager::logSessionEvent(AmplitudeSessionEvent::sessionCount(3));
    Manager::logSessionEvent(AmplitudeSessionEvent::longBreak(true));
    Manager::logSessionEvent(AmplitudeSessionEvent::longBreak(false));
    platform::Amplitude::setInstance(nullptr);
    Manager::logSessionEvent(AmplitudeSessionEvent::longBreak(false));

    const std::string time =
        std::to_string(static_cast<std::int64_t>(platform::NSDate::now().timeIntervalSince1970() * 1000));
    const std::string key = R"({"api_key":"key",)";
    const std::vector<std::string> expected = {
        key + R"("time":)" + time + R"(,"type":"initialize"})",
        key + R"("time":)" + time + R"(,"type":"identify","user_properties":{"$set":{"timer_start_sound":"on"}}})",
        key + R"("time":)" + time + R"(,"type":"identify","user_properties":{"$set":{"timer_start_alarm":"off"}}})",
        key + R"("event_properties":{"date":"2026/03/02","session":3},"event_type":"session_count","time":)" +
            time + R"(,"type":"event"})",
        key + R"("event_properties":{},"event_type":"long_break_skip","time":)" + time + R"(,"type":"event"})",
        key + R"("event_properties":{},"event_type":"long_break_start","time":)" + time + R"(,"type":"event"})",
    };
    EXPECT_EQ(platform::Amplitude::log().lines(), expected);
    EXPECT_TRUE(events->events().empty());
}
