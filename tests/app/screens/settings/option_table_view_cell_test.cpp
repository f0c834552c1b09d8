#include <gtest/gtest.h>

#include "app/core/app_notification_names.h"
#include "app/core/sound_vocabulary.h"
#include "app/screens/settings/option_table_view_cell.h"
#include "app/screens/settings/option_view_model.h"
#include "platform/uikit/tables/ui_table_view.h"
#include "tests/app/screens/settings/settings_screen_test.h"

using namespace quorvel;
using analytics::APMValue;
using P = UserDefaultProperties;

namespace {

class SettingsRow : public quorvel::testing::SettingsScreenTest {
protected:
    SettingsRow() { table->registerClass<OptionTableViewCell>(OptionTableViewCell::kReuseIdentifier); }

    std::shared_ptr<OptionTableViewCell> cell(long section, long row) {
        return std::dynamic_pointer_cast<OptionTableViewCell>(
            model.cellForRow(*table, platform::NSIndexPath::indexPathForRow(row, section)));
    }
    // What the row shows on its right: the badge text, "switch on"/"switch off", or nothing.
    static std::string rightSide(const OptionTableViewCell& c) {
        EXPECT_FALSE(!c.badgeLabel()->isHidden() && !c.switchButton()->isHidden());
        if (!c.badgeLabel()->isHidden()) return c.badgeLabel()->text();
        if (!c.switchButton()->isHidden()) return c.switchButton()->isOn() ? "switch on" : "switch off";
        return "";
    }
    static void flip(OptionTableViewCell& c) {
        c.switchButton()->setOn(!c.switchButton()->isOn());
        c.switchButton()->sendActionsForControlEvents(platform::UIControlEventValueChanged);
    }

    std::shared_ptr<platform::UITableView> table =
        std::make_shared<platform::UITableView>(platform::CGRect(0, 0, 375, 667), platform::UITableViewStyle::grouped);
    OptionViewModel model;
};

APMValue text(const std::string& value) {
    return *APMValue::initWithString(value);
}

}  // namespace

TEST_F(SettingsRow, EveryRowShowsItsTitleAndItsBadgeOrSwitch) {
    P::save(P::focusLength(1));
    P::save(P::longBreakLength(60));
    P::save(P::alarmVolume(0.55f));
    P::save(P::tickingEnabled(false));
    model.buildOptions();

    const std::vector<std::vector<std::pair<std::string, std::string>>> expected = {
        {{"Focus Length", "1 minute"}, {"Short Break Length", "5 minutes"}, {"Long Break Length", "60 minutes"}},
        {{"Sessions Per Round(Long Break)", "4"}, {"Daily Focus Goal", "12"},
         {"Auto-Reset Round & Goal", OptionTableViewCell::autoResetText(0)}},
        {{"Focus Ticking", "Ticking"}, {"Short Break Ticking", "Wall Clock Ticking"}, {"Long Break Ticking", "Fiji Beach"}},
        {{"Focus Alarm", "Desk"}, {"Short Break Alarm", "Chimes"}, {"Long Break Alarm", "Bells"}},
        {{"Focus Color", "Focus"}, {"Short Break Color", "Short Break"}, {"Long Break Color", "Long Break"},
         {"Set Original Theme", ""}},
        {{"Volume of Alarm", "5.5"}, {"Volume of Ticking", "10.0"}, {"Sound Alarm On", "switch on"},
         {"Sound Ticking On", "switch off"}},
        {{"Prevent screen lock", "switch on"}, {"Auto Restart", "switch on"}, {"Vibrate on Silent Mode", "switch off"},
         {"Show Badge on Ticking", "switch on"}, {"Focus Reminder", ""}},
        {{"Email Us", ""}, {"Rate This App", ""}, {"Support Center", ""}, {"Like us on Facebook", ""},
         {"Follow us on Twitter", ""}, {"Follow us on Instagram", ""}},
    };
    for (std::size_t s = 0; s < expected.size(); ++s) {
        for (std::size_t r = 0; r < expected[s].size(); ++r) {
            auto c = cell(long(s), long(r));
            ASSERT_TRUE(c);
            EXPECT_EQ(c->titleLabel()->text(), expected[s][r].first) << s << "/" << r;
            EXPECT_EQ(rightSide(*c), expected[s][r].second) << s << "/" << r;
        }
    }

    // The fixed grey badge, and white on the session's colour for the theme rows.
    auto length = cell(0, 0);
    EXPECT_TRUE(*length->badgeLabel()->backgroundColor() == *platform::UIColor::colorWithRed(230 / 255.0, 230 / 255.0, 230 / 255.0, 1));
    EXPECT_TRUE(*length->badgeLabel()->textColor() == *platform::UIColor::colorWithRed(127 / 255.0, 128 / 255.0, 129 / 255.0, 1));
    auto colour = cell(4, 1);
    EXPECT_TRUE(*colour->badgeLabel()->textColor() == *platform::UIColor::whiteColor());
    EXPECT_TRUE(*colour->badgeLabel()->backgroundColor() == *std::get<std::vector<ThemeColorCell>>(model.options()[4].rows())[1].value<OptionColor>());
}

TEST_F(SettingsRow, AutoResetTextIsNeverWhileTheSwitchIsOffAndTheShortTimeOtherwise) {
    EXPECT_EQ(OptionTableViewCell::autoResetText(0).substr(0, 5), "12:00");
    EXPECT_NE(OptionTableViewCell::autoResetText(0).find("AM"), std::string::npos);
    EXPECT_EQ(OptionTableViewCell::autoResetText(13).substr(0, 4), "1:00");
    // An hour outside the day (the "Never" value) gives no text rather than a rolled-over time.
    EXPECT_EQ(OptionTableViewCell::autoResetText(666), "");

    P::save(P::resetCounterAtMidnight(false));
    EXPECT_EQ(OptionTableViewCell::autoResetText(7), "Never");
    EXPECT_EQ(OptionTableViewCell::autoResetText(0), "Never");
}

TEST_F(SettingsRow, EachSwitchStoresItsSettingPostsWhatItMustAndLogsTheChange) {
    record(NotificationName::soundMuted());
    record(NotificationName::enableLockScreen());
    std::vector<bool> badgeUpdates;
    OptionTableViewCell::setIconBadgeUpdater([&](bool on) { badgeUpdates.push_back(on); });
    model.buildOptions();

    struct Case {
        long section, row;
        P::Case setting;
        const char* parameter;
    };
    const std::vector<Case> cases = {
        {5, 2, P::Case::alarmEnabled, "Sound_Alarm_Enabled"},
        {5, 3, P::Case::tickingEnabled, "Ticking_Sound_Enabled"},
        {6, 0, P::Case::preventLockScreenEnabled, "Prevent_Lock_Screen"},
        {6, 1, P::Case::autoRestart, "Auto_Restart"},
        {6, 2, P::Case::vibrateAlarmEnabled, "Vibrate_Alarm"},
        {6, 3, P::Case::timerBadgeEnabled, "Show_Badge"},
    };
    for (const Case& c : cases) {
        auto row = cell(c.section, c.row);
        const bool was = standard()->boolForKey(P::key(c.setting));
        flip(*row);
        EXPECT_EQ(standard()->boolForKey(P::key(c.setting)), !was) << c.parameter;
    }

    // Alarm then ticking mute, each with its volume type; the lock switch with its new state.
    ASSERT_EQ(posted.size(), 3u);
    EXPECT_EQ(posted[0].name, NotificationName::soundMuted());
    EXPECT_EQ(std::any_cast<VolumeType>(posted[0].object), VolumeType::alert);
    EXPECT_EQ(std::any_cast<VolumeType>(posted[1].object), VolumeType::ticking);
    EXPECT_EQ(posted[2].name, NotificationName::enableLockScreen());
    EXPECT_EQ(std::any_cast<bool>(posted[2].object), false);
    // First-launch "Show Badge" was on: flipping it off clears the icon badge at once.
    EXPECT_EQ(badgeUpdates, std::vector<bool>{false});

    const auto logged = loggedEvents();
    ASSERT_EQ(logged.size(), cases.size());
    const std::vector<const char*> states = {"Disabled", "Disabled", "Disabled", "Disabled", "Enabled", "Disabled"};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(logged[i].name(), "Options_Event");
        EXPECT_EQ(logged[i].parameters().at(cases[i].parameter), text(states[i])) << cases[i].parameter;
    }
    OptionTableViewCell::setIconBadgeUpdater(nullptr);
}

TEST_F(SettingsRow, AReusedCellActsOnTheRowItNowShows) {
    model.buildOptions();
    auto row = cell(6, 0);  // "Prevent screen lock"
    row->setRowValue(VolumeControlCell::soundAlarmOn(true));
    EXPECT_FALSE(row->generalCell());  // one row value at a time
    row->configure(model, platform::NSIndexPath::indexPathForRow(2, 5));
    EXPECT_EQ(row->titleLabel()->text(), "Sound Alarm On");

    flip(*row);
    EXPECT_FALSE(standard()->boolForKey(P::key(P::Case::alarmEnabled)));
    EXPECT_TRUE(standard()->boolForKey(P::key(P::Case::preventLockScreenEnabled)));

    // A row without a switch does nothing when its (hidden) switch is made to fire.
    row->setRowValue(GeneralCell::focusReminder());
    flip(*row);
    EXPECT_EQ(loggedEvents().size(), 1u);
}
