// The song picker in the real window, over a music folder that holds a file which once hung the WAV
// decoder beside real songs: the picker opens at once, the window keeps drawing while the file is
// probed and refused, and the songs listed are the ones that play.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "tests/shell/desktop_test.h"
#include "tests/support/song_file.h"

namespace {

using namespace std::chrono_literals;
using Window = quorvel::testing::DesktopUser::Window;

class SongPickerWindow : public quorvel::testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        music = root.path() / "Music";
        std::filesystem::create_directories(music);
        ::setenv("XDG_MUSIC_DIR", music.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("XDG_MUSIC_DIR"); }

    void tap(Window window, int x, int y) {
        user->click(window, x, y);
        EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
    }
    std::size_t frames() const { return app->count("quorvel: frame "); }

    std::filesystem::path music;
};

}  // namespace

TEST_F(SongPickerWindow, OpensAtOnceListsThePlayableSongsAndRefusesTheHangingFile) {
    quorvel::testing::writeSong(music / "Autumn.mp3");
    quorvel::testing::writeRunawayListWAV(music / "Broken.wav");
    quorvel::testing::writeSong(music / "Summer Song.wav");
    markGuidanceSeen();
    const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
    ASSERT_NE(window, 0u);
    app->listen(1s);

    tap(window, 50, 42);  // the menu
    app->listen(1s);
    tap(window, 187, 214);  // Options
    app->listen(1s);
    tap(window, 187, 502);  // Focus Ticking
    app->listen(1s);
    // Opening the list of songs waits on no decoder: the picker slides in at once.
    const std::size_t before = frames();
    tap(window, 187, 86);  // Music
    app->listen(1s);
    EXPECT_GT(frames(), before) << app->transcript();
    EXPECT_TRUE(app->waitForLine("MPMediaLibrary: left out " + (music / "Broken.wav").string(), 10s))
        << app->transcript();
    app->listen(1s);
    ASSERT_TRUE(screenshot(window, "song_picker_open.png"));
    // The second row is the second song that plays, not the refused file between them.
    tap(window, 187, 122);
    app->listen(1s);
    EXPECT_EQ(app->count("Selected Music Item == Summer Song"), 1u) << app->transcript();
}
