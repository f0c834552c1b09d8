#include <gtest/gtest.h>

#include "platform/avfoundation/audio_output.h"

using platform::AudioOutput;

TEST(AudioRestSetting, AnyNumberOfSecondsFromZeroUpIsTaken) {
    EXPECT_DOUBLE_EQ(AudioOutput::restSecondsFrom("0.5"), 0.5);
    EXPECT_DOUBLE_EQ(AudioOutput::restSecondsFrom("0"), 0);
    EXPECT_DOUBLE_EQ(AudioOutput::restSecondsFrom("30"), 30);
}

// A setting nobody made, or one that is not wholly a number of seconds, leaves the rest as it is.
TEST(AudioRestSetting, AnythingElseKeepsTheUsualRest) {
    for (const char* setting : {static_cast<const char*>(nullptr), "", "abc", "-1", "1s", " 1", "inf", "nan"}) {
        EXPECT_DOUBLE_EQ(AudioOutput::restSecondsFrom(setting), AudioOutput::kRestSeconds)
            << (setting ? setting : "(unset)");
    }
}
