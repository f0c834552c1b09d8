// The real window while the decoding child of the chosen ticking song answers every read with one silent
// frame, as a child a song led astray might. The check whether the loop is ever heard ends at that first
// short answer instead of reading a million times on the queue that loads every other sound; the session
// runs, and the app closes at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <string>

#include "platform/avfoundation/isolated_sound_decoder.h"
#include "tests/shell/music_folder_window_test.h"
#include "tests/support/eventually.h"
#include "tests/support/song_file.h"
#include "tests/support/stand_in_decoder.h"

namespace {

using namespace std::chrono_literals;
using Window = quorvel::testing::DesktopUser::Window;
using quorvel::testing::bytesOf;
using quorvel::testing::kTakeRequest;
using quorvel::testing::sayOnSocket;

class FrameByFrameDecoderWindow : public quorvel::testing::MusicFolderWindowTest {
protected:
    // From now on the children that serve the song's reads answer each with one silent frame, and note
    // each request they take under their own process ID; the probes are the real program's.
    void decoderAnswersFrameByFrame() {
        platform::IsolatedSoundDecoder::Opening opened{};
        opened.ok = 1;
        opened.duration = 5;
        const std::string oneFrame = bytesOf(std::int32_t{1}) + std::string(4, '\0');
        const auto script = root.path() / "decoder";
        std::ofstream(script) << "#!/bin/sh\n"
                              << "case \"$*\" in serve*Summer*) ;; *) exec '"
                              << platform::IsolatedSoundDecoder::program().string() << "' \"$@\";; esac\n"
                              << sayOnSocket(bytesOf(opened)) << "while " << kTakeRequest << "; do echo $$ >>'"
                              << requests.string() << "'\n"
                              << sayOnSocket(oneFrame) << "done\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        ::setenv("QUORVEL_SOUND_DECODER", script.c_str(), 1);
    }
    // The requests each serving child took, by its process ID.
    std::map<std::string, int> requestsByChild() const {
        std::map<std::string, int> byChild;
        std::ifstream log(requests);
        for (std::string pid; std::getline(log, pid);) ++byChild[pid];
        return byChild;
    }
    // The fewest requests any one serving child took.
    int fewestRequestsOfAChild() const {
        const auto byChild = requestsByChild();
        int fewest = byChild.empty() ? 0 : byChild.begin()->second;
        for (const auto& [pid, count] : byChild) fewest = std::min(fewest, count);
        return fewest;
    }
    // Both children have served, one of them many reads: the check's child, had it been kept reading,
    // would have taken as many by now.
    bool bothServedAndTheTickingPlaysOn() const {
        const auto byChild = requestsByChild();
        return byChild.size() >= 2 &&
               std::ranges::any_of(byChild, [](const auto& child) { return child.second >= 10; });
    }

    std::filesystem::path requests = root.path() / "requests";
};

}  // namespace

TEST_F(FrameByFrameDecoderWindow, TheTickingSongsLoopCheckEndsAtTheFirstShortAnswerAndTheSessionRuns) {
    quorvel::testing::writeSong(music / "Summer Song.wav", 5);
    chooseFirstSongForTicking();
    ASSERT_FALSE(HasFatalFailure());

    decoderAnswersFrameByFrame();
    const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
    ASSERT_NE(window, 0u);
    app->settle(1s);
    tap(window, 187, 405);  // play
    EXPECT_TRUE(quorvel::testing::eventually([&] { return bothServedAndTheTickingPlaysOn(); },
                                             [&] { app->listen(250ms); }))
        << app->transcript();
    // One child streams the ticking, taking read after read; the loop check's took one and was let go.
    EXPECT_EQ(fewestRequestsOfAChild(), 1) << app->transcript();
    ASSERT_TRUE(screenshot(window, "ticking_frame_by_frame_decoder.png"));
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
}
