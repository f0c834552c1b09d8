// The song picker in the real window, over a music folder that holds a file which once hung the WAV
// decoder beside real songs: the picker opens at once, the window keeps drawing while the file is
// probed and refused, and the refused file keeps its row, so the rows below it stay where they were.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/avfoundation/isolated_sound_decoder.h"
#include "tests/shell/music_folder_window_test.h"
#include "tests/support/eventually.h"
#include "tests/support/song_file.h"

namespace {

using namespace std::chrono_literals;
using Window = quorvel::testing::DesktopUser::Window;
using quorvel::testing::ScreenListing;

class SongPickerWindow : public quorvel::testing::MusicFolderWindowTest {
protected:
    std::size_t frames() const { return app->count("quorvel: frame "); }
};

}  // namespace

TEST_F(SongPickerWindow, OpensAtOnceListsThePlayableSongsAndRefusesTheHangingFile) {
    quorvel::testing::writeSong(music / "Autumn.mp3");
    quorvel::testing::writeRunawayListWAV(music / "Broken.wav");
    quorvel::testing::writeSong(music / "Summer Song.wav");
    const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
    ASSERT_NE(window, 0u);
    app->settle(1s);
    openFocusTickingSounds(window);
    // Opening the list of songs waits on no decoder: the picker slides in at once.
    const std::size_t before = frames();
    tap(window, 187, 86);  // Music
    EXPECT_TRUE(quorvel::testing::eventually([&] { return frames() > before; }, [&] { app->listen(100ms); }))
        << "the picker opens at once\n" << app->transcript();
    EXPECT_TRUE(app->waitForLine("MPMediaLibrary: left out " + (music / "Broken.wav").string()))
        << app->transcript();
    app->settle(1s);
    ASSERT_TRUE(screenshot(window, "song_picker_open.png"));
    // The third row is the second song that plays: the refused file keeps its row between them.
    tap(window, 187, 186);
    EXPECT_TRUE(app->hasSaid("Selected Music Item == ")) << app->transcript();
    EXPECT_EQ(app->count("Selected Music Item == Summer Song"), 1u) << app->transcript();
}

// A song whose probe has not answered shows greyed and cannot be picked; a file the probe refuses
// stays in its row, marked, without ever having been chosen, and a song that plays is chosen and named. Every
// decoding starts four seconds late here, so the probes' answers come while the person looks on.
TEST_F(SongPickerWindow, OnlyASongKnownToPlayCanBePicked) {
    const auto slowDecoder = root.path() / "slow-decoder";
    std::ofstream(slowDecoder) << "#!/bin/sh\nsleep 4\nexec '"
                               << platform::IsolatedSoundDecoder::program().string() << "' \"$@\"\n";
    std::filesystem::permissions(slowDecoder, std::filesystem::perms::owner_all);
    ::setenv("QUORVEL_SOUND_DECODER", slowDecoder.c_str(), 1);
    std::ofstream(music / "Broken.mp3") << "not a song";
    quorvel::testing::writeSong(music / "Summer Song.wav");
    const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
    ASSERT_NE(window, 0u);
    openSongPicker(window);
    app->settle(1s);

    // Listed at once, but not yet known to play: a tap picks nothing.
    ScreenListing shown = look(window, "song_picker_pending.png");
    EXPECT_TRUE(shown.find("Broken"));
    ASSERT_TRUE(tapText(window, shown, "Summer Song")) << app->transcript();
    shown = look(window, "song_picker_after_pending_tap.png");
    EXPECT_TRUE(shown.find("Cancel")) << "the picker stays open";
    EXPECT_EQ(app->count("Selected Music Item"), 0u) << app->transcript();

    ASSERT_TRUE(app->waitForLine("MPMediaLibrary: left out " + (music / "Broken.mp3").string()));
    EXPECT_TRUE(quorvel::testing::eventually(
        [&] { return (shown = look(window, "song_picker_settled.png")).find("Cannot be played").has_value(); },
        [&] { app->listen(250ms); }))
        << app->transcript();
    // The other probe answers in its own time, its decoder slow to start: a tap picks the song once it has
    // (one that comes before picks nothing, as above).
    EXPECT_TRUE(quorvel::testing::eventually(
        [&] {
            tapText(window, shown, "Summer Song");
            return app->count("Selected Music Item") > 0;
        },
        [&] { app->listen(500ms); }))
        << app->transcript();
    EXPECT_EQ(app->count("Selected Music Item == Summer Song"), 1u) << app->transcript();
    // Known again to play before it is chosen.
    EXPECT_TRUE(quorvel::testing::eventually(
        [&] { return look(window, "song_picker_chosen.png").find("Music - Summer Song").has_value(); },
        [&] { app->listen(500ms); }))
        << app->transcript();
}
