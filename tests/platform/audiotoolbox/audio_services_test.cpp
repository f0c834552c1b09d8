#include "platform/audiotoolbox/audio_services.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/avfoundation/audio_output.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "tests/support/own_process.h"

using namespace platform;

TEST(SystemSounds, TheVibrationIsRecordedAndSilentTheClickPlaysOurOwnSound) {
    auto clock = VirtualClock::install();
    AudioServicesPlaySystemSound(kSystemSoundID_Vibrate);
    clock->runUntilIdle();
    EXPECT_EQ(AudioOutput::shared().soundsStarted(), 0u);

    AudioServicesPlaySystemSound(kSystemSoundID_Click);
    AudioServicesPlaySystemSound(kSystemSoundID_Click);
    clock->runUntilIdle();
    EXPECT_EQ(AudioOutput::shared().soundsStarted(), 2u);
    EXPECT_EQ(AudioServices::playedSystemSounds(), (std::vector<SystemSoundID>{4095, 1104, 1104}));

    AudioServices::forgetPlayedSystemSounds();
    EXPECT_TRUE(AudioServices::playedSystemSounds().empty());
}

// The device opens once a process: a process of its own finds none.
TEST(SystemSounds, WithoutAnAudioDeviceTheClickIsOnlyRecorded) {
    quorvel::testing::inOwnProcess([] {
        ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        auto clock = VirtualClock::install();
        Console::Capture console;
        AudioServicesPlaySystemSound(kSystemSoundID_Click);
        clock->runUntilIdle();
        EXPECT_EQ(AudioOutput::shared().soundsStarted(), 0u);
        EXPECT_EQ(AudioServices::playedSystemSounds(), (std::vector<SystemSoundID>{1104}));
        EXPECT_TRUE(console.contains("sound is off"));
        EXPECT_FALSE(console.contains("no click"));
    });
}
