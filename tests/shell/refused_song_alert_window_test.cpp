// The real window with one song chosen for the focus and the short-break ticking, Auto Restart on, and
// the song damaged after the program found it playable: the break's start refuses it, both settings go
// back to their default sounds at once, one alert names the song and both settings, and the focus
// session that follows starts by itself without a second alert. The settings screen, open meanwhile,
// shows the default sound it names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/core/first_launch_defaults.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/ns_date.h"
#include "platform/mediaplayer/mp_media_item.h"
#include "tests/shell/music_folder_window_test.h"
#include "tests/support/eventually.h"
#include "tests/support/song_file.h"

namespace {

using namespace std::chrono_literals;
using P = quorvel::UserDefaultProperties;
using T = quorvel::TempUserDefaultProperties;
using quorvel::testing::ScreenListing;

constexpr const char* kRefused = "\u201c" "tone-b.flac\u201d cannot be played.\\nPlease choose another song.\\n";
const std::string kTold =
    std::string(kRefused) + "Focus Ticking and Short Break Ticking are back to their default sounds.";

class RefusedSongAlertWindow : public quorvel::testing::MusicFolderWindowTest {
protected:
    // Past the first launch, with one-minute sessions and six seconds left of a short break; the song
    // ticks for focus sessions and short breaks alike.
    void SetUp() override {
        MusicFolderWindowTest::SetUp();
        if (IsSkipped()) return;
        quorvel::testing::writeSong(music / "tone-b.flac", 3);
        const std::string song = platform::MPMediaItem(music / "tone-b.flac").assetURL();
        for (const auto& value : quorvel::firstLaunchDefaults()) P::save(value);
        for (const auto& value :
             {P::focusLength(1), P::shortBreakLength(1), P::autoRestart(true),
              P::latestTimerType(quorvel::SessionType::shortBreak),
              P::sharedLatestTimerType(quorvel::SessionType::shortBreak), P::remainingRoundTime(0.1),
              P::sharedRemainingRoundTime(0.1), P::focusTickingMusic(song), P::focusTickingMusicTitle("tone-b"),
              P::focusTickingSound(""), P::shortBreakTickingMusic(song), P::shortBreakTickingMusicTitle("tone-b"),
              P::shortBreakTickingSound("")})
            P::save(value);
        T::save(T::launchedOnce(true));
        T::save(T::checkedDate(platform::NSDate::now()));
        markGuidanceSeen();  // writes the files
    }

    static std::size_t alertsTelling(const ScreenListing& listing, const std::string& told) {
        return static_cast<std::size_t>(std::count_if(listing.views.begin(), listing.views.end(),
                                                      [&](const auto& view) { return view.text == told; }));
    }
    // The program's start, once it has heard at its launch that the song plays; then the song goes bad.
    Window startAndSpoilTheSong() {
        const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
        EXPECT_TRUE(app->hasSaid("songs probed")) << app->transcript();
        app->settle(1500ms);
        std::ofstream(music / "tone-b.flac", std::ios::trunc) << "not a song";
        return window;
    }
    // Looks again until an alert tells `told`: the session that plays the song starts by the program's
    // ticks, which a loaded machine holds back.
    ScreenListing lookOnceTold(Window window, const std::string& shot, const std::string& told) {
        ScreenListing listing;
        quorvel::testing::eventually([&] { return alertsTelling(listing = look(window, shot), told) > 0; },
                                     [&] { app->listen(500ms); });
        return listing;
    }
    void answerOkay(Window window, const ScreenListing& listing) {
        const auto okay = listing.find("Okay");
        ASSERT_TRUE(okay) << app->transcript();
        tapAt(window, {okay->visible.midX(), okay->visible.midY()});
    }
};

}  // namespace

TEST_F(RefusedSongAlertWindow, BothSettingsGiveWayAtOnceAndOneAlertNamesThem) {
    const Window window = startAndSpoilTheSong();
    ASSERT_NE(window, 0u);

    tapAt(window, {187, 413});  // play: the short break starts
    app->settle(10s);           // past its six seconds and into the focus session that follows
    const ScreenListing told = lookOnceTold(window, "refused_song_alert.png", kTold);
    EXPECT_EQ(alertsTelling(told, kTold), 1u) << app->transcript();
    answerOkay(window, told);
    app->settle(1s);
    const ScreenListing after = look(window, "refused_song_alert_answered.png");
    EXPECT_FALSE(after.findStartingWith("\u201c" "tone-b.flac\u201d")) << "told once";

    user->requestClose(window);
    ASSERT_EQ(app->waitForExit(), 0) << app->transcript();
    platform::NSUserDefaults::resetAllForTesting();
    const auto suite = P::standardDefaults();
    const auto stored = [&](P::Case which) { return suite->stringForKey(P::key(which)).value_or(""); };
    EXPECT_EQ(stored(P::Case::focusTickingMusic), "");
    EXPECT_EQ(stored(P::Case::focusTickingSound), "Ticking");
    EXPECT_EQ(stored(P::Case::shortBreakTickingMusic), "");
    EXPECT_EQ(stored(P::Case::shortBreakTickingSound), "Wall Clock Ticking");
}

// Only the short break chose the song; the settings screen is open when the break starts by itself.
TEST_F(RefusedSongAlertWindow, TheSettingsScreenShowsTheDefaultSoundTheAlertNames) {
    for (const auto& value :
         {P::latestTimerType(quorvel::SessionType::focus), P::sharedLatestTimerType(quorvel::SessionType::focus),
          P::focusTickingMusic(""), P::focusTickingMusicTitle(""), P::focusTickingSound("Ticking")})
        P::save(value);
    platform::NSUserDefaults::flushAll();
    const Window window = startAndSpoilTheSong();
    ASSERT_NE(window, 0u);
    tapAt(window, {187, 413});  // play: six seconds of focus, then the short break
    openFromMenu(window, "Options");
    EXPECT_TRUE(look(window, "refused_song_settings_before.png").find("Music")) << "the song shows as chosen";
    app->settle(9s);

    const std::string breakTold = std::string(kRefused) + "Short Break Ticking is back to its default sound.";
    const ScreenListing told = lookOnceTold(window, "refused_song_settings_alert.png", breakTold);
    EXPECT_EQ(alertsTelling(told, breakTold), 1u) << app->transcript();
    answerOkay(window, told);
    const ScreenListing settings = look(window, "refused_song_settings_after.png");
    const auto row = settings.find("Short Break Ticking");
    const auto badge = settings.find("Wall Clock Ticking");
    ASSERT_TRUE(row && badge) << app->transcript();
    EXPECT_NEAR(badge->visible.midY(), row->visible.midY(), 2);
    EXPECT_FALSE(settings.find("Music"));
}
