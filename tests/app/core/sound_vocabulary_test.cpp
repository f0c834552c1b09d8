#include "app/core/sound_vocabulary.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/core/theme_colors.h"

using namespace quorvel;

TEST(SoundVocabulary, AlertSoundsListTheirRawValuesInOrderAndConvertBack) {
    const char* expected[] = {"None",  "Desk",  "Ding",    "Chimes",  "Bicycle", "Cymbals",
                              "Bells", "Slash", "News",    "Whistle", "Steam",   "Jingle",
                              "Sweet", "Beep",  "Wind Up", "Kitten"};
    ASSERT_EQ(kAllAlertSounds.size(), std::size(expected));
    EXPECT_EQ(kAllAlertSounds.front(), AlertSound::none);
    for (std::size_t i = 0; i < kAllAlertSounds.size(); ++i) {
        EXPECT_EQ(rawValue(kAllAlertSounds[i]), expected[i]);
        EXPECT_EQ(alertSoundFromRawValue(expected[i]), kAllAlertSounds[i]);
    }
    EXPECT_EQ(alertSoundFromRawValue("Wind Up"), AlertSound::windUp);
}

TEST(SoundVocabulary, TickingSoundsListTheirRawValuesInOrderAndConvertBack) {
    const char* expected[] = {
        "Music",    "None",  "Ticking",    "Wall Clock Ticking", "Tick Tock 1", "Tick Tock 2", "Fast Ticking",
        "Dripping", "Steam", "Cafe Noise", "Cafe Noise 2",       "Rain",        "Rain Light",  "Fiji Beach"};
    ASSERT_EQ(kAllTickingSounds.size(), std::size(expected));
    EXPECT_EQ(kAllTickingSounds.front(), TickingSound::music);
    for (std::size_t i = 0; i < kAllTickingSounds.size(); ++i) {
        EXPECT_EQ(rawValue(kAllTickingSounds[i]), expected[i]);
        EXPECT_EQ(tickingSoundFromRawValue(expected[i]), kAllTickingSounds[i]);
    }
    EXPECT_EQ(tickingSoundFromRawValue("Cafe Noise 2"), TickingSound::cafeNoise2);
}

TEST(SoundVocabulary, OtherTextsAreNoSound) {
    for (const char* text : {"wind up", "WIND UP", "Wind Up.wav", "", " Desk", "Music"}) {
        EXPECT_FALSE(alertSoundFromRawValue(text)) << text;
    }
    for (const char* text : {"cafe noise 2", "Cafe Noise 2.mp3", "Desk", "Ticking "}) {
        EXPECT_FALSE(tickingSoundFromRawValue(text)) << text;
    }
}

TEST(SoundVocabulary, OptionFunctionsCarryTheirSessionTypeAndResourceExtension) {
    using F = SoundOptionFunction;
    const auto alarm = F::alarm(F::AlarmSoundType::shortBreak);
    const auto ticking = F::ticking(F::TickingSoundType::shortBreak);
    EXPECT_STREQ(alarm.resourceExtension(), "wav");
    EXPECT_STREQ(ticking.resourceExtension(), "mp3");
    EXPECT_NE(alarm, ticking);
    EXPECT_EQ(alarm, F::alarm(F::AlarmSoundType::shortBreak));
    EXPECT_NE(alarm, F::alarm(F::AlarmSoundType::longBreak));
    EXPECT_EQ(std::get<F::TickingSoundType>(ticking.payload()), F::TickingSoundType::shortBreak);
}

TEST(ThemeColors, ComponentsAreTheirEightBitValuesInSinglePrecision) {
    struct Row {
        const std::shared_ptr<platform::UIColor>& color;
        int red, green, blue;
    };
    const Row table[] = {
        {defaultFocusThemeColor(), 255, 64, 64},    {defaultShortBreakThemeColor(), 106, 130, 238},
        {defaultLongBreakThemeColor(), 54, 62, 71}, {swipeButtonDarkGrey(), 116, 111, 106},
        {swipeButtonLightGrey(), 164, 158, 152},    {navigationGrey(), 210, 210, 210},
    };
    for (const auto& row : table) {
        const float* c = row.color->components();
        ASSERT_EQ(row.color->colorSpace(), platform::UIColor::ColorSpace::rgb);
        EXPECT_EQ(c[0], static_cast<float>(row.red / 255.0));
        EXPECT_EQ(c[1], static_cast<float>(row.green / 255.0));
        EXPECT_EQ(c[2], static_cast<float>(row.blue / 255.0));
        EXPECT_EQ(c[3], 1.0f);
    }
    EXPECT_EQ(defaultFocusThemeColor(), defaultFocusThemeColor());  // made once
    EXPECT_EQ(defaultThemeColor(SessionType::longBreak), defaultLongBreakThemeColor());
    EXPECT_EQ(defaultThemeColor(SessionType::shortBreak), defaultShortBreakThemeColor());
    EXPECT_EQ(defaultThemeColor(SessionType::focus), defaultFocusThemeColor());
}
