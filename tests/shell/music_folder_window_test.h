#pragma once

#include <stdlib.h>

#include <chrono>
#include <filesystem>

#include "tests/shell/walking_desktop_test.h"

namespace quorvel::testing {

// The real program with a music folder of its own, on an upright iPhone 8 past its first-run guidance.
class MusicFolderWindowTest : public WalkingDesktopTest {
protected:
    void SetUp() override {
        WalkingDesktopTest::SetUp();
        music = root.path() / "Music";
        std::filesystem::create_directories(music);
        ::setenv("XDG_MUSIC_DIR", music.c_str(), 1);
        markGuidanceSeen();
    }
    void TearDown() override {
        ::unsetenv("XDG_MUSIC_DIR");
        ::unsetenv("QUORVEL_SOUND_DECODER");
    }

    void tap(Window window, int x, int y) {
        user->click(window, x, y);
        EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
    }
    // From the timer through the menu and the settings to the focus sessions' ticking sounds.
    void openFocusTickingSounds(Window window) {
        tap(window, 50, 42);  // the menu
        app->settle(std::chrono::seconds(1));
        tap(window, 187, 214);  // Options
        app->settle(std::chrono::seconds(1));
        tap(window, 187, 502);  // Focus Ticking
        app->settle(std::chrono::seconds(1));
    }
    // On to the songs of the music folder.
    void openSongPicker(Window window) {
        openFocusTickingSounds(window);
        tap(window, 187, 86);  // Music
    }

    // A first life on an upright iPhone 8 that picks the music folder's first song as the focus sessions'
    // ticking, then quits.
    void chooseFirstSongForTicking() {
        const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
        ASSERT_NE(window, 0u);
        app->settle(std::chrono::seconds(1));
        openSongPicker(window);
        app->settle(std::chrono::seconds(2));
        tap(window, 187, 78);  // the first row
        ASSERT_TRUE(app->hasSaid("Selected Music Item == ")) << app->transcript();
        app->settle(std::chrono::seconds(1));
        ASSERT_EQ(app->count("Selected Music Item == "), 1u) << app->transcript();
        user->requestClose(window);
        ASSERT_EQ(app->waitForExit(), 0) << app->transcript();
    }

    std::filesystem::path music;
};

}  // namespace quorvel::testing
