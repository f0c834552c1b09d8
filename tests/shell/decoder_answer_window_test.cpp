// The real window while the decoding child of one song answers what no decoder would (its memory
// overwritten by that song): a reason four gigabytes long. Whether the song is probed for the picker or
// decoded for the ticking, it is refused with one console line, nothing is allocated for the answer, and
// the app goes on.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/avfoundation/isolated_sound_decoder.h"
#include "tests/shell/music_folder_window_test.h"
#include "tests/support/song_file.h"
#include "tests/support/stand_in_decoder.h"

namespace {

using namespace std::chrono_literals;
using Window = quorvel::testing::DesktopUser::Window;

// A line of /proc/PID/status, in kB.
long statusOfProcessKB(pid_t pid, const std::string& key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key + ":")) return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

class OverwrittenDecoderWindow : public quorvel::testing::MusicFolderWindowTest {
protected:
    // From now on, a decoding child started with arguments that match `pattern` ("MODE FILE APP-PID")
    // answers a reason four gigabytes long; every other is the real one.
    void decoderGoesWild(const std::string& pattern) {
        platform::IsolatedSoundDecoder::Opening answer{};
        answer.errorLength = 0xffffffff;
        quorvel::testing::StandInDecoder child;
        child.answers = {quorvel::testing::bytesOf(answer)};
        child.hostile = pattern;
        child.otherwise = platform::IsolatedSoundDecoder::program();
        const auto script = root.path() / "decoder";
        child.writeTo(script);
        ::setenv("QUORVEL_SOUND_DECODER", script.c_str(), 1);
    }

    // The peak of the app's memory: a reason of that length would have been four gigabytes of it.
    long peakMemoryKB() const { return statusOfProcessKB(app->pid(), "VmHWM"); }
};

}  // namespace

TEST_F(OverwrittenDecoderWindow, ThePickerLeavesTheSongOutWithNothingAllocatedAndPicksAnother) {
    quorvel::testing::writeSong(music / "Autumn.mp3");
    quorvel::testing::writeSong(music / "Overwritten.mp3");
    quorvel::testing::writeSong(music / "Summer Song.wav");
    decoderGoesWild("*Overwritten*");
    const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
    ASSERT_NE(window, 0u);
    app->settle(1s);
    openSongPicker(window);
    EXPECT_TRUE(app->waitForLine("MPMediaLibrary: left out " + (music / "Overwritten.mp3").string() +
                                     " (the decoder's answer makes no sense)"))
        << app->transcript();
    EXPECT_LT(peakMemoryKB(), 1024 * 1024);
    app->settle(1s);
    ASSERT_TRUE(screenshot(window, "song_picker_overwritten_decoder.png"));
    // The third row is the second song that plays: the song left out keeps its row between them.
    tap(window, 187, 186);
    EXPECT_TRUE(app->hasSaid("Selected Music Item == ")) << app->transcript();
    EXPECT_EQ(app->count("Selected Music Item == Summer Song"), 1u) << app->transcript();
}

// The song was picked while it decoded well; its start still probes well, but decoding it for the ticking
// goes wild: the session runs on without it.
TEST_F(OverwrittenDecoderWindow, TheTickingOfAChosenSongIsRefusedWithNothingAllocatedAndTheSessionRuns) {
    quorvel::testing::writeSong(music / "Summer Song.wav", 5);
    chooseFirstSongForTicking();
    ASSERT_FALSE(HasFatalFailure());

    decoderGoesWild("serve*Summer*");
    const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
    ASSERT_NE(window, 0u);
    app->settle(1s);
    tap(window, 187, 405);  // play
    EXPECT_TRUE(app->waitForLine("SoundStream: cannot play " + (music / "Summer Song.wav").string() +
                                     " (the decoder's answer makes no sense)"))
        << app->transcript();
    EXPECT_LT(peakMemoryKB(), 1024 * 1024);
    app->settle(2s);
    ASSERT_TRUE(screenshot(window, "ticking_overwritten_decoder.png"));
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
}
