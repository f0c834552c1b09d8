// The real window with each ticking sound a person can choose, and each thing a person does to a
// session after the audio device has had time to rest (it closes after a quiet while with nothing to
// hear but a silent loop; half a second here): the program lives through all of it, a chosen song
// that no longer plays is told and gives way to the default sound, and the store holds exactly the
// focus sessions that ran out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/core/first_launch_defaults.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/ns_date.h"
#include "platform/mediaplayer/mp_media_item.h"
#include "tests/shell/music_folder_window_test.h"
#include "tests/shell/stored_sessions.h"
#include "tests/support/eventually.h"
#include "tests/support/song_file.h"

namespace {

using namespace std::chrono_literals;
using P = quorvel::UserDefaultProperties;
using T = quorvel::TempUserDefaultProperties;
using quorvel::testing::ScreenListing;

enum class Ticking { standard, none, switchedOff, song, songGoneBad };

std::string nameOf(Ticking ticking) {
    switch (ticking) {
        case Ticking::standard:
            return "standard";
        case Ticking::none:
            return "none";
        case Ticking::switchedOff:
            return "off";
        case Ticking::song:
            return "song";
        case Ticking::songGoneBad:
            return "bad_song";
    }
    return "";
}

class TickingChoicesWindow : public quorvel::testing::MusicFolderWindowTest,
                             public ::testing::WithParamInterface<Ticking> {
protected:
    // A device past its first launch, with focus sessions and breaks of one minute, ticking as chosen.
    void SetUp() override {
        MusicFolderWindowTest::SetUp();
        if (IsSkipped()) return;
        for (const auto& value : quorvel::firstLaunchDefaults()) P::save(value);
        for (const auto& value : {P::focusLength(1), P::shortBreakLength(1), P::remainingRoundTime(1.0),
                                  P::sharedRemainingRoundTime(1.0)})
            P::save(value);
        T::save(T::launchedOnce(true));
        T::save(T::checkedDate(platform::NSDate::now()));
        choose(GetParam());
        markGuidanceSeen();  // writes the files
    }

    void choose(Ticking ticking) {
        switch (ticking) {
            case Ticking::standard:
                break;
            case Ticking::none:
                for (const auto& value : {P::focusTickingSound("None"), P::shortBreakTickingSound("None"),
                                          P::longBreakTickingSound("None")})
                    P::save(value);
                break;
            case Ticking::switchedOff:
                P::save(P::tickingEnabled(false));
                break;
            case Ticking::song:
            case Ticking::songGoneBad: {
                const auto file = music / "Chosen.mp3";
                quorvel::testing::writeSong(file, 3);
                const platform::MPMediaItem song(file);
                for (const auto& value : {P::focusTickingMusic(song.assetURL()),
                                          P::focusTickingMusicTitle("Chosen"), P::focusTickingSound("")})
                    P::save(value);
                break;
            }
        }
    }

    Window start() {
        const Window window = DesktopTest::start({"--device", "iPhone8", "--orientation", "portrait"},
                                                 {{"QUORVEL_AUDIO_REST_SECONDS", "0.5"}});
        app->settle(1500ms);
        // The chosen song turns bad after the program has found it playable at its launch.
        if (GetParam() == Ticking::songGoneBad) {
            EXPECT_TRUE(app->hasSaid("songs probed")) << app->transcript();
            std::ofstream(music / "Chosen.mp3", std::ios::trunc) << "not a song";
        }
        return window;
    }

    // Twice as long as the audio device waits before it rests.
    void rest() { app->settle(1s); }

    void pressPlay(Window window) { tapAt(window, {187, 413}); }

    // Taps the view showing `text` below the navigation bar, the frontmost where several do (an
    // alert's button, a menu item over the screen it covers); false when none shows.
    bool tapBelowBar(Window window, const std::string& text, const std::string& shot) {
        const ScreenListing listing = look(window, shot);
        for (auto view = listing.views.rbegin(); view != listing.views.rend(); ++view) {
            if (view->text == text && !inBar(listing, *view)) {
                tapAt(window, {view->visible.midX(), view->visible.midY()});
                return true;
            }
        }
        ADD_FAILURE() << "no \"" << text << "\" on " << shot << "\n" << app->transcript();
        return false;
    }
    // Taps the bar's button on the right: "Skip" while the timer stands, "Stop" while it runs.
    void tapBarTrailingButton(Window window) { tapAt(window, {342, 42}); }

    // Closes the window as a person does and answers the focus sessions of that length the store holds.
    int quitAndCountSessions(Window window, int minutes = 1) {
        user->requestClose(window);
        EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
        return storedFocusSessions(minutes);
    }
    // The focus sessions of that many minutes in the store; -1 when it cannot be read.
    static int storedFocusSessions(int minutes) {
        const auto sessions = quorvel::testing::storedSessions();
        if (!sessions) return -1;
        return static_cast<int>(std::count_if(sessions->begin(), sessions->end(), [&](const auto& session) {
            return session.minutes == minutes;
        }));
    }

    // A song that no longer plays is told once, with its name, and the focus list no longer names it.
    void expectRefusedSongTold(Window window) {
        if (GetParam() != Ticking::songGoneBad) return;
        const ScreenListing listing = look(window, "ticking_" + nameOf(GetParam()) + "_refused.png");
        EXPECT_TRUE(
            listing.findStartingWith("\u201c"
                                     "Chosen.mp3\u201d cannot be played"))
            << app->transcript();
        EXPECT_TRUE(tapBelowBar(window, "Okay", "ticking_refused_alert.png"));
    }
    // Once refused, the song is no longer the focus sessions' choice: the default ticking is.
    void expectRefusedSongForgotten() {
        if (GetParam() != Ticking::songGoneBad) return;
        platform::NSUserDefaults::resetAllForTesting();
        const auto suite = P::standardDefaults();
        EXPECT_EQ(suite->stringForKey(P::key(P::Case::focusTickingMusic)).value_or(""), "");
        EXPECT_EQ(suite->stringForKey(P::key(P::Case::focusTickingSound)).value_or(""), "Ticking");
    }
};

}  // namespace

// Pause, resume, minimise and restore, the ticking-volume sheet, MUTE's ticking switch, a skip and a
// stop, each after a rest: none of them touches a closed device, and no session is stored.
TEST_P(TickingChoicesWindow, EveryActionAfterARestLeavesTheProgramRunning) {
    // Sessions of an hour: however slowly a loaded machine goes through the actions, none runs out.
    for (const auto& value : {P::focusLength(60), P::shortBreakLength(60), P::remainingRoundTime(60.0),
                              P::sharedRemainingRoundTime(60.0)})
        P::save(value);
    platform::NSUserDefaults::flushAll();
    platform::NSUserDefaults::resetAllForTesting();
    const Window window = start();
    ASSERT_NE(window, 0u);
    const std::string shot = "ticking_" + nameOf(GetParam());
    pressPlay(window);
    rest();
    expectRefusedSongTold(window);
    pressPlay(window);  // pause
    rest();
    pressPlay(window);  // resume
    rest();
    user->minimize(window);
    rest();
    user->restore(window);
    rest();

    openFromMenu(window, "Options");
    ASSERT_TRUE(scrollToAndTap(window, "Volume of Ticking"));
    rest();
    ASSERT_TRUE(tapBelowBar(window, "Done", shot + "_volume.png"));
    rest();
    tapBarLeadingButton(window, look(window, shot + "_settings.png"));
    ASSERT_TRUE(tapBelowBar(window, "Focus", shot + "_menu.png"));

    // The round and goal row, swiped to the left, shows its buttons.
    user->drag(window, 300, 600, 60, 600, 0.3);
    app->settle(1s);
    ASSERT_TRUE(tapBelowBar(window, "MUTE", shot + "_timer.png"));
    const ScreenListing options = look(window, shot + "_sound_options.png");
    ASSERT_TRUE(tapBelowBar(window, options.find("Ticking On") ? "Ticking On" : "Ticking Off",
                            shot + "_sound_options.png"));
    rest();
    ASSERT_TRUE(tapBelowBar(window, "Done", shot + "_sound_options_after.png"));
    rest();

    pressPlay(window);  // pause, so the bar offers the skip
    tapBarTrailingButton(window);
    ASSERT_TRUE(tapBelowBar(window, "Skip", shot + "_skip.png"));
    rest();
    pressPlay(window);  // the break
    rest();
    tapBarTrailingButton(window);
    ASSERT_TRUE(tapBelowBar(window, "Stop", shot + "_stop.png"));
    rest();
    EXPECT_EQ(quitAndCountSessions(window, 60), 0);
    expectRefusedSongForgotten();
}

// A focus session that runs out after a rest, with the break after it starting by itself or waiting:
// the session is stored once.
TEST_P(TickingChoicesWindow, ASessionThatRunsOutAfterARestIsStoredOnce) {
    int ranOut = 0;
    for (const bool autoStart : {true, false}) {
        SCOPED_TRACE(autoStart ? "auto-start on" : "auto-start off");
        // Four and a half seconds left of a one-minute focus session, as a run that quit then would have
        // saved.
        for (const auto& value :
             {P::autoRestart(autoStart), P::latestTimerType(quorvel::SessionType::focus),
              P::sharedLatestTimerType(quorvel::SessionType::focus), P::remainingRoundTime(0.075),
              P::sharedRemainingRoundTime(0.075), P::sessionWholeLength(60000.0)})
            P::save(value);
        T::save(T::checkedDate(platform::NSDate::now()));
        if (GetParam() == Ticking::songGoneBad) choose(Ticking::songGoneBad);
        platform::NSUserDefaults::flushAll();
        platform::NSUserDefaults::resetAllForTesting();

        const Window window = start();
        ASSERT_NE(window, 0u);
        pressPlay(window);
        rest();
        expectRefusedSongTold(window);
        // The session runs out by the program's ticks, which a loaded machine may hold back.
        EXPECT_TRUE(quorvel::testing::eventually([&] { return storedFocusSessions(1) == ranOut + 1; },
                                                 [&] { app->listen(250ms); }));
        rest();
        EXPECT_EQ(quitAndCountSessions(window), ++ranOut);
        expectRefusedSongForgotten();
    }
}

INSTANTIATE_TEST_SUITE_P(EachChoice, TickingChoicesWindow,
                         ::testing::Values(Ticking::standard, Ticking::none, Ticking::switchedOff,
                                           Ticking::song, Ticking::songGoneBad),
                         [](const auto& info) { return nameOf(info.param); });
