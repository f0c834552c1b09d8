#include "platform/avfoundation/sound_file_decoder.h"
#include "platform/avfoundation/isolated_sound_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <vector>

#include "tests/support/song_file.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::TempDataRoot;
using quorvel::testing::writeSong;

namespace {

// Every frame up to the end of a pass.
template <typename Decoder>
std::vector<std::int16_t> pass(Decoder& decoder, bool last) {
    std::vector<std::int16_t> samples;
    std::int16_t frames[2 * 1000];
    while (const int got = decoder.read(frames, 1000, last)) samples.insert(samples.end(), frames, frames + 2 * got);
    return samples;
}

const char* const kKinds[] = {".wav", ".aiff", ".flac", ".ogg", ".opus", ".mp3"};

}  // namespace

// A loop's next pass follows the last frame of the one before: the same frames, no more, no fewer.
TEST(SoundFileDecoder, EachKindPlaysWholeAndLoopsWithoutASeam) {
    TempDataRoot folder;
    for (const char* kind : kKinds) {
        const auto file = folder.path() / (std::string("song") + kind);
        writeSong(file, 0.25);
        std::string error;
        const auto decoder = SoundFileDecoder::open(file, &error);
        ASSERT_TRUE(decoder) << kind << ": " << error;
        EXPECT_NEAR(decoder->duration(), 0.25, 0.001) << kind;
        const auto first = pass(*decoder, false);
        ASSERT_TRUE(decoder->rewind()) << kind;
        const auto second = pass(*decoder, true);
        const auto once = pass(*SoundFileDecoder::open(file, &error), true);
        if (std::string_view(kind) == ".opus") {
            // 48 kHz converted to the mixer's 44.1 kHz, give or take the encoder's delay and the
            // converter's filter.
            EXPECT_NEAR(static_cast<double>(once.size()) / 2, 11025, 600) << kind;
        } else {
            EXPECT_EQ(once.size(), 2u * 11025) << kind;
            EXPECT_EQ(first, once) << kind;
            EXPECT_EQ(second, once) << kind;
        }
    }
}

// A song decoded in a child process is the same song: its passes, its loop and its duration.
TEST(IsolatedSoundDecoder, EachKindGivesTheFramesOfDecodingInProcess) {
    TempDataRoot folder;
    for (const char* kind : kKinds) {
        const auto file = folder.path() / (std::string("song") + kind);
        writeSong(file, 0.25);
        std::string error;
        const auto isolated = IsolatedSoundDecoder::open(file, &error);
        ASSERT_TRUE(isolated) << kind << ": " << error;
        const auto local = SoundFileDecoder::open(file, &error);
        EXPECT_EQ(isolated->duration(), local->duration()) << kind;
        EXPECT_EQ(isolated->convertsFrameByFrame(), local->convertsFrameByFrame()) << kind;
        EXPECT_EQ(pass(*isolated, false), pass(*local, false)) << kind;
        ASSERT_TRUE(isolated->rewind() && local->rewind()) << kind;
        EXPECT_EQ(pass(*isolated, true), pass(*local, true)) << kind;
        EXPECT_EQ(IsolatedSoundDecoder::playableDuration(file, &error), local->duration()) << kind;
    }
    std::ofstream(folder.path() / "noise.wav") << std::string("RIFF\x04\0\0\0WAVEjunk", 16);
    std::string error;
    EXPECT_FALSE(IsolatedSoundDecoder::open(folder.path() / "noise.wav", &error));
    EXPECT_EQ(error, "no sound format chunk");
}

// Whatever the name promises, the content must keep: a decoder never sees another kind of file than
// the one it was picked for, nor a file that is no sound file at all.
TEST(SoundFileDecoder, AFileIsDecodedOnlyUnderTheNameOfItsOwnKind) {
    TempDataRoot folder;
    for (const char* kind : kKinds) {
        const auto song = folder.path() / (std::string("song") + kind);
        writeSong(song, 0.1);
        for (const char* name : kKinds) {
            const auto renamed = folder.path() / (std::string("renamed") + name);
            std::filesystem::copy_file(song, renamed, std::filesystem::copy_options::overwrite_existing);
            std::string error;
            const bool sameKind = std::string_view(kind) == name;
            EXPECT_EQ(SoundFileDecoder::playableDuration(renamed, &error).has_value(), sameKind)
                << kind << " named " << name << ": " << error;
            if (!sameKind) {
                EXPECT_EQ(error, "its content is not what its extension says") << kind << " as " << name;
            }
        }
    }
    std::filesystem::copy_file(folder.path() / "song.wav", folder.path() / "song.m4a");
    std::string error;
    EXPECT_FALSE(SoundFileDecoder::playableDuration(folder.path() / "song.m4a", &error));
    EXPECT_EQ(error, "not a kind of sound file the app plays");
}
