// The song picker in the real window over a music folder whose first files do not decode, their probes
// held back a few seconds, and many songs that play after them: a refused file stays in its row, greyed
// and marked, so a tap lands on the song the person read there; the list drops the file only when the
// picker opens again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/avfoundation/isolated_sound_decoder.h"
#include "tests/shell/music_folder_window_test.h"
#include "tests/support/song_file.h"

namespace {

using namespace std::chrono_literals;
using quorvel::testing::ScreenListing;

constexpr const char* kMark = "Cannot be played";
constexpr double kRowHeight = 44;

class SongPickerRowsWindow : public quorvel::testing::MusicFolderWindowTest {
protected:
    // Two files that do not decode sort first, sixteen songs that play after them.
    void fillMusicFolder() {
        for (const char* name : {"A Broken 1.mp3", "A Broken 2.mp3"}) std::ofstream(music / name) << "not a song";
        for (int number = 1; number <= 16; ++number) {
            char name[16];
            std::snprintf(name, sizeof name, "Song %02d.wav", number);
            quorvel::testing::writeSong(music / name);
        }
    }
    // The decoding of each "A Broken" file starts three seconds late; every other file's at once.
    void holdBackBrokenProbes() {
        const auto script = root.path() / "slow-decoder";
        std::ofstream(script) << "#!/bin/sh\ncase \"$2\" in *Broken*) sleep 3;; esac\nexec '"
                              << platform::IsolatedSoundDecoder::program().string() << "' \"$@\"\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        ::setenv("QUORVEL_SOUND_DECODER", script.c_str(), 1);
    }

    static std::size_t marks(const ScreenListing& listing) {
        return static_cast<std::size_t>(
            std::ranges::count_if(listing.views, [](const auto& view) { return view.text == kMark; }));
    }
    // Each song shows where it showed in `before`, and each refused file in the same row (its title
    // moves up within the row to make room for the mark below it).
    static void expectRowsInPlace(const ScreenListing& before, const ScreenListing& after) {
        for (const char* title : {"A Broken 1", "A Broken 2", "Song 01", "Song 02", "Song 08"}) {
            const auto was = before.find(title);
            const auto is = after.find(title);
            ASSERT_TRUE(was && is) << title;
            if (std::string(title).starts_with("Song"))
                EXPECT_EQ(is->visible.minY(), was->visible.minY()) << title;
            else
                EXPECT_NEAR(is->visible.midY(), was->visible.midY(), kRowHeight / 4) << title;
        }
    }
};

}  // namespace

TEST_F(SongPickerRowsWindow, ARefusedFileKeepsItsRowAndATapPicksTheSongReadThere) {
    fillMusicFolder();
    holdBackBrokenProbes();
    const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
    ASSERT_NE(window, 0u);
    app->settle(1s);
    openSongPicker(window);
    app->settle(1s);
    const ScreenListing opened = look(window, "song_rows_opened.png");
    const auto firstSong = opened.find("Song 01");
    const auto firstFile = opened.find("A Broken 1");
    ASSERT_TRUE(firstSong && firstFile) << app->transcript();
    EXPECT_EQ(marks(opened), 0u) << "not yet known either way";

    // Both files are refused, in whichever order their probes ran.
    ASSERT_TRUE(app->waitForLine("MPMediaLibrary: left out ")) << app->transcript();
    if (app->count("MPMediaLibrary: left out ") < 2) {
        ASSERT_TRUE(app->waitForLine("MPMediaLibrary: left out ")) << app->transcript();
    }
    app->settle(1s);
    const ScreenListing refused = look(window, "song_rows_refused.png");
    expectRowsInPlace(opened, refused);
    EXPECT_EQ(marks(refused), 2u);
    const auto mark = refused.find(kMark);
    ASSERT_TRUE(mark);
    EXPECT_GT(mark->visible.minY(), firstFile->visible.minY()) << "the mark is the refused row's second line";
    EXPECT_LT(mark->visible.maxY(), refused.find("A Broken 2")->visible.minY());

    // A refused row picks nothing; the picker stays open.
    tapAt(window, {firstFile->visible.midX(), firstFile->visible.midY()});
    EXPECT_EQ(app->count("Selected Music Item"), 0u) << app->transcript();
    ASSERT_TRUE(look(window, "song_rows_refused_tapped.png").find("Cancel"));

    // Down to the last song and back: the refused rows come back marked, in their places.
    scrollBy(window, refused, 500);
    EXPECT_TRUE(look(window, "song_rows_scrolled.png").find("Song 16"));
    for (int step = 0; step < 3; ++step) scrollBy(window, refused, -300);
    const ScreenListing back = look(window, "song_rows_back.png");
    expectRowsInPlace(opened, back);
    EXPECT_EQ(marks(back), 2u);

    // Where "Song 01" was read before the files were refused, a tap picks "Song 01".
    tapAt(window, {firstSong->visible.midX(), firstSong->visible.midY()});
    EXPECT_TRUE(app->hasSaid("Selected Music Item == ")) << app->transcript();
    EXPECT_EQ(app->count("Selected Music Item == Song 01"), 1u) << app->transcript();
    app->settle(2s);

    // Opened again, the list leaves the refused files out and starts with the first song.
    ASSERT_TRUE(tapText(window, look(window, "song_rows_chosen.png"), "Music - Song 01")) << app->transcript();
    app->settle(1s);
    const ScreenListing reopened = look(window, "song_rows_reopened.png");
    EXPECT_FALSE(reopened.find("A Broken 1"));
    EXPECT_EQ(marks(reopened), 0u);
    ASSERT_TRUE(reopened.find("Song 01"));
    EXPECT_EQ(reopened.find("Song 01")->visible.minY(), firstFile->visible.minY());
}
