#include "app/core/sound_vocabulary.h"

#include <gtest/gtest.h>

#include "app/core/theme_colors.h"

using namespace quorvel;

TEST(SoundVocabulary, SoundsListTheirRawValuesInOrderAndConvertBackExactly) {
    const char* alerts[] = {"None", "Desk",    "Ding",  "Chimes", "Bicycle", "Cymbals", "Bells",   "Slash",
                            "News", "Whistle", "Steam", "Jingle", "Sweet",   "Beep",    "Wind Up", "Kitten"};
    const char* tickings[] = {
        "Music",    "None",  "Ticking",    "Wall Clock Ticking", "Tick Tock 1", "Tick Tock 2", "Fast Ticking",
        "Dripping", "Steam", "Cafe Noise", "Cafe Noise 2",       "Rain",        "Rain Light",  "Fiji Beach"};
    ASSERT_EQ(kAllAlertSounds.size(), std::size(alerts));
    ASSERT_EQ(kAllTickingSounds.size(), std::size(tickings));
    for (std::size_t i = 0; i < kAllAlertSounds.size(); ++i) {
        EXPECT_EQ(rawValue(kAllAlertSounds[i]), alerts[i]);
        EXPECT_EQ(alertSoundFromRawValue(alerts[i]), kAllAlertSounds[i]);
    }
    for (std::size_t i = 0; i < kAllTickingSounds.size(); ++i) {
        EXPECT_EQ(rawValue(kAllTickingSounds[i]), tickings[i]);
        EXPECT_EQ(tickingSoundFromRawValue(tickings[i]), kAllTickingSounds[i]);
    }
    EXPECT_EQ(alertSoundFromRawValue("Wind Up"), AlertSound::windUp);
    EXPECT_EQ(tickingSoundFromRawValue("Cafe Noise 2"), TickingSound::cafeNoise2);
    for (const char* text : {"wind up", "Wind Up.wav", "", "Music"})
        EXPECT_FALSE(alertSoundFromRawValue(text));
    for (const char* text : {"cafe noise 2", "Cafe Noise 2.mp3", "Desk"})
        EXPECT_FALSE(tickingSoundFromRawValue(text));
}

TEST(ThemeColors, ComponentsAreTheirEightBitValuesInSinglePrecision) {
    const std::pair<std::shared_ptr<platform::UIColor>, std::array<int, 3>> table[] = {
        {defaultFocusThemeColor(), {255, 64, 64}},    {defaultShortBreakThemeColor(), {106, 130, 238}},
        {defaultLongBreakThemeColor(), {54, 62, 71}}, {swipeButtonDarkGrey(), {116, 111, 106}},
        {swipeButtonLightGrey(), {164, 158, 152}},    {navigationGrey(), {210, 210, 210}},
    };
    for (const auto& [color, rgb] : table) {
        const auto expected =
            platform::UIColor::colorWithRed(rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0, 1);
        EXPECT_TRUE(color->isEqual(expected));
    }
    EXPECT_FLOAT_EQ(defaultFocusThemeColor()->components()[1], 0.2509804f);
    EXPECT_EQ(defaultThemeColor(SessionType::longBreak), defaultLongBreakThemeColor());
    EXPECT_EQ(defaultThemeColor(SessionType::shortBreak), defaultShortBreakThemeColor());
}
