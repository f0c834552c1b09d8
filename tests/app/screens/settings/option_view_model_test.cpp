#include <gtest/gtest.h>

#include "app/core/theme_colors.h"
#include "app/screens/settings/option_view_model.h"
#include "tests/app/screens/settings/settings_screen_test.h"

using namespace quorvel;

namespace {

class SettingsList : public quorvel::testing::SettingsScreenTest {
protected:
    OptionViewModel model;

    template <class Cell>
    const std::vector<Cell>& rows(std::size_t section) {
        return std::get<std::vector<Cell>>(model.options().at(section).rows());
    }
};

using Kind = OptionSection::Kind;
using P = UserDefaultProperties;

}  // namespace

TEST_F(SettingsList, FirstLaunchSettingsGiveEightSectionsWithTheStoredValues) {
    EXPECT_TRUE(model.options().empty());
    model.buildOptions();

    std::vector<Kind> kinds;
    std::vector<std::size_t> counts;
    for (const auto& section : model.options()) {
        kinds.push_back(section.kind());
        counts.push_back(section.count());
    }
    EXPECT_EQ(kinds, (std::vector{Kind::timerLengthItems, Kind::focusSessionItems, Kind::tickingSoundItems,
                                  Kind::alarmSoundItems, Kind::themeColorItems, Kind::volumeControlItems,
                                  Kind::generalItems, Kind::feedbackItems}));
    EXPECT_EQ(counts, (std::vector<std::size_t>{3, 3, 3, 3, 4, 4, 5, 6}));

    EXPECT_EQ(rows<TimerLengthCell>(0), (std::vector{TimerLengthCell::focusLength(25), TimerLengthCell::shortBreakLength(5),
                                                     TimerLengthCell::longBreakLength(25)}));
    EXPECT_EQ(rows<FocusSessionCell>(1),
              (std::vector{FocusSessionCell::sessionsPerRound("4"), FocusSessionCell::dailyFocusGoal("12"),
                           FocusSessionCell::autoResetRoundAndGoal(0)}));
    EXPECT_EQ(rows<TickingSoundCell>(2),
              (std::vector{TickingSoundCell::focusTicking("Ticking"), TickingSoundCell::shortBreakTicking("Wall Clock Ticking"),
                           TickingSoundCell::longBreakTicking("Fiji Beach")}));
    EXPECT_EQ(rows<AlarmSoundCell>(3), (std::vector{AlarmSoundCell::focusAlarm("Desk"), AlarmSoundCell::shortBreakAlarm("Chimes"),
                                                    AlarmSoundCell::longBreakAlarm("Bells")}));
    EXPECT_EQ(rows<VolumeControlCell>(5),
              (std::vector{VolumeControlCell::volumeOfAlarm(1.0f), VolumeControlCell::volumeOfTicking(1.0f),
                           VolumeControlCell::soundAlarmOn(true), VolumeControlCell::soundTickingOn(true)}));
    EXPECT_EQ(rows<GeneralCell>(6),
              (std::vector{GeneralCell::preventScreenLock(true), GeneralCell::autoRestart(true),
                           GeneralCell::vibrateOnSilentMode(false), GeneralCell::showBadgeonTicking(true),
                           GeneralCell::focusReminder()}));
    const auto& colours = rows<ThemeColorCell>(4);
    EXPECT_EQ(colours.back(), ThemeColorCell::setOriginalTheme());
    EXPECT_TRUE(*colours[0].value<OptionColor>() == *defaultFocusThemeColor());
}

TEST_F(SettingsList, SoundTextsFollowTheChosenSongAndTheStoredAlarm) {
    P::save(P::shortBreakTickingMusic("/home/u/Music/song.mp3"));  // a song plays instead
    P::save(P::longBreakTickingMusic(std::nullopt));                // nothing stored at all
    P::save(P::focusAlertSound(""));                                // "None" is stored as empty
    P::save(P::longBreakAlertSound(std::nullopt));
    model.buildOptions();
    EXPECT_EQ(rows<TickingSoundCell>(2),
              (std::vector{TickingSoundCell::focusTicking("Ticking"), TickingSoundCell::shortBreakTicking("Music"),
                           TickingSoundCell::longBreakTicking("Music")}));
    EXPECT_EQ(rows<AlarmSoundCell>(3), (std::vector{AlarmSoundCell::focusAlarm("None"), AlarmSoundCell::shortBreakAlarm("Chimes"),
                                                    AlarmSoundCell::longBreakAlarm("")}));

    // Rebuilding reads afresh.
    P::save(P::shortBreakTickingMusic(""));
    model.buildOptions();
    EXPECT_EQ(rows<TickingSoundCell>(2)[1], TickingSoundCell::shortBreakTicking("Wall Clock Ticking"));
}

TEST_F(SettingsList, SoundListTitleAddsTheSongTitleOnlyForATickingListWithASong) {
    using Ticking = SoundOptionFunction::TickingSoundType;
    P::save(P::focusTickingMusic("/music/a.mp3"));
    P::save(P::focusTickingMusicTitle("Blue in Green"));
    P::save(P::shortBreakTickingMusic("/music/b.mp3"));  // no title stored
    P::save(P::shortBreakTickingMusicTitle(std::nullopt));
    P::save(P::longBreakTickingMusicTitle("Ignored"));  // path stays empty

    EXPECT_EQ(soundListRowTitle(SoundOptionFunction::alarm(SoundOptionFunction::AlarmSoundType::focus), "Desk"), "Desk");
    EXPECT_EQ(soundListRowTitle(SoundOptionFunction::ticking(Ticking::focus), "Music"), "Music - Blue in Green");
    EXPECT_EQ(soundListRowTitle(SoundOptionFunction::ticking(Ticking::shortBreak), "Music"), "Music");
    EXPECT_EQ(soundListRowTitle(SoundOptionFunction::ticking(Ticking::longBreak), "Music"), "Music");
}
