#include "platform/avfoundation/silent_loop_check.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>

#include "platform/avfoundation/isolated_sound_decoder.h"
#include "tests/platform/avfoundation/audio_test_support.h"
#include "tests/support/stand_in_decoder.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::bytesOf;
using quorvel::testing::kTakeRequest;
using quorvel::testing::sayOnSocket;
using quorvel::testing::TempDataRoot;
using quorvel::testing::writeToneWAV;

namespace {

// The check, with the decoding child played by a script of the test's own.
class UntrustedLoop : public ::testing::Test {
protected:
    void TearDown() override { ::unsetenv("QUORVEL_SOUND_DECODER"); }

    // The child opens the file, then runs `serving` for the reads.
    void childServes(const std::string& serving) {
        IsolatedSoundDecoder::Opening opened{};
        opened.ok = 1;
        opened.duration = 1;
        const auto script = folder.path() / ("decoder-" + std::to_string(++scripts));
        std::ofstream(script) << "#!/bin/sh\n" << sayOnSocket(bytesOf(opened)) << serving;
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        ::setenv("QUORVEL_SOUND_DECODER", script.c_str(), 1);
    }
    // The requests the child took, one line each.
    int requestsTaken() const {
        std::ifstream log(requests);
        int lines = 0;
        for (std::string line; std::getline(log, line);) ++lines;
        return lines;
    }
    static std::string silentFrames(std::int32_t count) {
        return bytesOf(count) + std::string(static_cast<std::size_t>(count) * 4, '\0');
    }

    TempDataRoot folder;
    const std::filesystem::path song = folder.path() / "song.mp3";
    const std::filesystem::path requests = folder.path() / "requests";
    int scripts = 0;
};

}  // namespace

TEST_F(UntrustedLoop, TheAppsOwnDecoderTellsSilenceFromSound) {
    writeToneWAV(folder.path() / "silence.wav", 0.5, 0);
    writeToneWAV(folder.path() / "tone.wav", 0.5);
    EXPECT_TRUE(SilentLoopCheck::isSilent(folder.path() / "silence.wav"));
    EXPECT_FALSE(SilentLoopCheck::isSilent(folder.path() / "tone.wav"));
}

// A child answering every read with one silent frame once kept the audio queue reading a million times;
// its first short answer is the end of its pass.
TEST_F(UntrustedLoop, AChildAnsweringFrameByFrameIsHeardOutAtItsFirstShortAnswer) {
    childServes(std::string("while ") + kTakeRequest + "; do echo r >>'" + requests.string() + "'\n" +
                sayOnSocket(silentFrames(1)) + "done\n");
    EXPECT_TRUE(SilentLoopCheck::isSilent(song));
    EXPECT_EQ(requestsTaken(), 1);
}

// A child that answers each read in full but slowly is given one deadline for the whole check, not one per
// read: it is ended, and a loop not heard out counts as sound.
TEST_F(UntrustedLoop, ASlowChildHasOneDeadlineForTheWholeCheckAndCountsAsSound) {
    childServes(std::string("while ") + kTakeRequest + "; do echo r >>'" + requests.string() +
                "'; sleep 0.5\n" + sayOnSocket(silentFrames(4096)) + "done\n");
    EXPECT_FALSE(SilentLoopCheck::isSilent(song));
    EXPECT_LT(requestsTaken(), 20) << "a read for each half second of the one deadline";
}

// One read's answer has one deadline, however many messages it comes in: a count and its frames that
// each arrive within the deadline but together do not are no answer.
TEST_F(UntrustedLoop, OneReadHasOneDeadlineForItsCountAndItsFrames) {
    const std::string frames = silentFrames(1);
    childServes(std::string(kTakeRequest) + "\nsleep 3\n" + sayOnSocket(frames.substr(0, 4)) + "sleep 3\n" +
                sayOnSocket(frames.substr(4)) + "exec sleep 3600\n");
    std::string error;
    const auto decoder = IsolatedSoundDecoder::open(song, &error);
    ASSERT_TRUE(decoder) << error;
    std::int16_t samples[2];
    EXPECT_EQ(decoder->read(samples, 1), 0);
    EXPECT_FALSE(decoder->answering());
}
