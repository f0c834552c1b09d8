#include "app/core/sound_vocabulary.h"

#include <gtest/gtest.h>

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

