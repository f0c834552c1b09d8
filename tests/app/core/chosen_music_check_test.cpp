#include "app/core/chosen_music_check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "app/core/app_notification_names.h"
#include "app/core/first_launch_defaults.h"
#include "app/core/refused_song.h"
#include "app/core/timer_audio.h"
#include "app/core/user_data_manager.h"
#include "platform/mediaplayer/mp_media_item.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "tests/app/core/settings_test_support.h"
#include "tests/support/main_queue_until.h"
#include "tests/support/song_file.h"

namespace quorvel {
namespace {

using P = UserDefaultProperties;
using Kind = SoundOptionFunction::TickingSoundType;

// A device past its first launch whose focus and short-break ticking chose the same song and whose
// long-break ticking chose another; it hears what the app says of refused songs.
class ChosenSongRefusal : public testing::SettingsTest {
protected:
    ChosenSongRefusal() {
        std::filesystem::create_directories(music);
        testing::writeSong(music / "tone-b.flac");
        testing::writeSong(music / "other.wav");
        platform::MPMediaLibrary::setMusicFolderForTesting(music);
        for (const auto& value : firstLaunchDefaults()) P::save(value);
        for (const auto& value :
             {P::focusTickingMusic(shared), P::focusTickingMusicTitle("tone-b"), P::focusTickingSound(""),
              P::shortBreakTickingMusic(shared), P::shortBreakTickingMusicTitle("tone-b"),
              P::shortBreakTickingSound(""), P::longBreakTickingMusic(other),
              P::longBreakTickingMusicTitle("other"), P::longBreakTickingSound("")})
            P::save(value);
        auto& center = platform::NSNotificationCenter::defaultCenter();
        center.addObserver(this, NotificationName::chosenSongRefused(), [this](const platform::NSNotification& note) {
            if (const auto* song = note.objectAs<RefusedSong>()) told.push_back(*song);
        });
        center.addObserver(this, NotificationName::newTickingSoundSet(), [this](const platform::NSNotification& note) {
            if (const auto* kind = note.objectAs<Kind>()) reloaded.push_back(*kind);
        });
    }
    ~ChosenSongRefusal() override {
        platform::NSNotificationCenter::defaultCenter().removeObserver(this);
        platform::MPMediaLibrary::setMusicFolderForTesting({});
    }

    // The settings as a relaunch reads them from disk, once their coalesced write has gone out.
    SoundSettingData storedOnDisk() {
        clock_->advance(1.05);
        platform::NSUserDefaults::resetAllForTesting();
        return UserDataManager::getSoundSettingData();
    }

    std::filesystem::path music = root_.path() / "Music";
    std::string shared = platform::MPMediaItem(music / "tone-b.flac").assetURL();
    std::string other = platform::MPMediaItem(music / "other.wav").assetURL();
    std::vector<RefusedSong> told;
    std::vector<Kind> reloaded;
};

TEST_F(ChosenSongRefusal, EverySettingThatChoseTheSongGivesWayAtOnceAndIsNamedInOneTelling) {
    ChosenMusicCheck::refuseChosenSong(shared);

    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].fileName, "tone-b.flac");
    EXPECT_EQ(told[0].settingsRestored, (std::vector<Kind>{Kind::focus, Kind::shortBreak}));
    EXPECT_EQ(reloaded, (std::vector<Kind>{Kind::focus, Kind::shortBreak}));
    const auto sounds = storedOnDisk();
    EXPECT_EQ(sounds.focusTickingMusic, "");
    EXPECT_EQ(sounds.focusTickingMusicTitle, "");
    EXPECT_EQ(sounds.focusTickingSound, "Ticking");
    EXPECT_EQ(sounds.shortBreakTickingMusic, "");
    EXPECT_EQ(sounds.shortBreakTickingMusicTitle, "");
    EXPECT_EQ(sounds.shortBreakTickingSound, "Wall Clock Ticking");
    EXPECT_EQ(sounds.longBreakTickingMusic, other) << "another song stays chosen";

    // The same refusal heard again has nothing left to restore, and nothing to tell.
    ChosenMusicCheck::refuseChosenSong(shared);
    EXPECT_EQ(told.size(), 1u);
}

// The song damaged after it was chosen: the focus session's ticking refuses it, and the break that
// follows plays its default sound without a second telling.
TEST_F(ChosenSongRefusal, TheTickingThatFindsTheSongDamagedTellsOnceForBothSessionKinds) {
    std::ofstream(music / "tone-b.flac", std::ios::trunc) << "not a song";
    TimerAudio audio;
    audio.prepareTickingPlayer(SessionType::focus);
    ASSERT_TRUE(testing::runMainQueueUntil(*clock_, [&] { return !told.empty(); }));
    EXPECT_EQ(told[0].settingsRestored, (std::vector<Kind>{Kind::focus, Kind::shortBreak}));

    audio.prepareTickingPlayer(SessionType::shortBreak);
    clock_->advance(2);
    ASSERT_TRUE(audio.tickingAudioURL());
    EXPECT_EQ(audio.tickingAudioURL()->stem(), "Wall Clock Ticking");
    EXPECT_EQ(told.size(), 1u);
}

}  // namespace
}  // namespace quorvel
