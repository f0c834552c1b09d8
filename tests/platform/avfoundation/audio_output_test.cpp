#include "platform/avfoundation/audio_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/avfoundation/audio_channel.h"
#include "tests/platform/avfoundation/audio_test_support.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::happensWithin;
using quorvel::testing::runUntil;
using quorvel::testing::TempDataRoot;
using quorvel::testing::writeToneWAV;

namespace {

// The device mixes only while something can be heard; every sound still plays and ends as before.
class AudibleDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(output.open());
        writeToneWAV(folder.path() / "tone.wav", 5);
        writeToneWAV(folder.path() / "silence.wav", 0.2, 0);
        writeToneWAV(folder.path() / "click.wav", 0.05);
    }
    bool settlesTo(bool mixing) {
        return runUntil(*clock, [&] { return output.isMixing() == mixing; });
    }
    // The device closes, its thread gone, with only the given silent loops playing.
    bool restsWith(const std::shared_ptr<AudioChannel>& silence) {
        if (!silence || !settlesTo(false)) return false;
        clock->advance(AudioOutput::kRestSeconds);
        return runUntil(*clock, [&] { return output.isResting() && audioThreads() == 0; });
    }
    static int audioThreads() {
        int threads = 0;
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
            std::ifstream comm(task.path() / "comm");
            std::string name;
            threads += std::getline(comm, name) && name.starts_with("SDLAudio");
        }
        return threads;
    }

    AudioOutput& output = AudioOutput::shared();
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    TempDataRoot folder;
};

}  // namespace

TEST_F(AudibleDevice, PausesWithNothingToHearAndResumesForASound) {
    EXPECT_TRUE(settlesTo(false)) << "nothing plays";

    const auto tone = output.playFile(folder.path() / "tone.wav", false, 1, {});
    ASSERT_TRUE(tone);
    EXPECT_TRUE(output.isMixing()) << "at once";
    tone->pause();
    EXPECT_FALSE(output.isMixing()) << "a paused sound is not heard";
    tone->resume();
    EXPECT_TRUE(output.isMixing() && tone->isSounding());
    tone->stop();
    EXPECT_TRUE(settlesTo(false));

    // A sound at zero volume still runs to its end, which its owner hears of.
    bool ended = false;
    output.playFile(folder.path() / "click.wav", false, 0, [&] { ended = true; });
    EXPECT_TRUE(runUntil(*clock, [&] { return ended; }));
    EXPECT_TRUE(settlesTo(false));
}

TEST_F(AudibleDevice, ALoopOfSilenceLetsItPauseUntilTheLoopIsToldToEnd) {
    bool ended = false;
    const auto silence = output.playFile(folder.path() / "silence.wav", true, 1, [&] { ended = true; });
    ASSERT_TRUE(silence);
    EXPECT_TRUE(settlesTo(false)) << "once the loop is known to be silent";
    EXPECT_TRUE(silence->isSounding()) << "it still plays, for its owner";

    const auto tone = output.playFile(folder.path() / "tone.wav", true, 1, {});
    EXPECT_FALSE(happensWithin(
        *clock, [&] { return !output.isMixing(); }, 0.5))
        << "a loop of sound is heard";
    tone->stop();
    EXPECT_TRUE(settlesTo(false));

    silence->stopLoopingAfterThisPass();
    EXPECT_TRUE(output.isMixing()) << "the pass must play to its end";
    EXPECT_TRUE(runUntil(*clock, [&] { return ended; }));
    EXPECT_TRUE(settlesTo(false));
}

// With nothing but a silent loop for a while the device closes and its thread ends; the loop plays on
// for its owner, a sound opens the device again, and the loop told to end ends.
TEST_F(AudibleDevice, ALongerSilenceClosesItUntilTheNextSound) {
    bool ended = false;
    const auto silence = output.playFile(folder.path() / "silence.wav", true, 1, [&] { ended = true; });
    ASSERT_TRUE(restsWith(silence));
    EXPECT_TRUE(silence->isSounding()) << "it plays on without the device";

    const auto tone = output.playFile(folder.path() / "tone.wav", false, 1, {});
    ASSERT_TRUE(tone);
    EXPECT_FALSE(output.isResting());
    EXPECT_TRUE(output.isMixing() && tone->isSounding()) << "a sound opens it again";
    tone->stop();

    silence->stopLoopingAfterThisPass();
    EXPECT_TRUE(runUntil(*clock, [&] { return ended; }));
    EXPECT_FALSE(silence->isSounding());
}

// What an owner does to its loop while the device rests closed changes only what is known of the loop:
// nothing reaches the closed mixer, and the device stays closed until something can be heard.
TEST_F(AudibleDevice, EveryOperationOnALoopWhileItRestsLeavesTheClosedDeviceAlone) {
    int ends = 0;
    const auto silence = output.playFile(folder.path() / "silence.wav", true, 1, [&] { ++ends; });
    ASSERT_TRUE(restsWith(silence));

    silence->setVolume(0.3f);
    silence->pause();
    EXPECT_FALSE(silence->isSounding()) << "paused";
    silence->pause();
    silence->setVolume(1);
    silence->resume();
    EXPECT_TRUE(silence->isSounding());
    EXPECT_TRUE(output.isResting()) << "a silent loop gives nothing to hear";
    silence->stop();
    EXPECT_FALSE(silence->isSounding());
    silence->resume();
    silence->stop();
    silence->stopLoopingAfterThisPass();
    clock->runUntilIdle();
    EXPECT_EQ(ends, 0) << "a stopped sound tells its owner nothing";

    // A loop told to end after its pass while parked ends at once, for its owner only.
    const auto second = output.playFile(folder.path() / "silence.wav", true, 1, [&] { ++ends; });
    ASSERT_TRUE(restsWith(second));
    second->pause();
    second->stopLoopingAfterThisPass();
    EXPECT_TRUE(runUntil(*clock, [&] { return ends == 1; }));
    second->resume();
    second->stop();
    EXPECT_TRUE(output.isResting());

    // A clip let go of while the device rests is freed without the mixer; the next sound opens it.
    std::string wav;
    {
        std::ifstream in(folder.path() / "click.wav", std::ios::binary);
        wav.assign(std::istreambuf_iterator<char>(in), {});
    }
    auto kept = output.decodeWAV(wav, nullptr);
    ASSERT_TRUE(kept);
    const auto third = output.playFile(folder.path() / "silence.wav", true, 1, {});
    ASSERT_TRUE(restsWith(third));
    kept.reset();
    bool clicked = false;
    ASSERT_TRUE(output.play(output.decodeWAV(wav, nullptr), false, 1, [&] { clicked = true; }));
    EXPECT_FALSE(output.isResting());
    EXPECT_TRUE(runUntil(*clock, [&] { return clicked; }));
    third->stop();
}
