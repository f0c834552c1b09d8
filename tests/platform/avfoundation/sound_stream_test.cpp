#include "platform/avfoundation/sound_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/avfoundation/sound_file_decoder.h"
#include "tests/platform/avfoundation/audio_test_support.h"
#include "tests/support/eventually.h"
#include "tests/support/song_file.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::openDescriptors;

namespace {

// What the mixer would hear over `frames` frames, asked for 500 at a time as the audio thread does.
std::vector<std::int16_t> heardFrom(SoundStream& stream, std::size_t frames) {
    std::vector<std::int16_t> heard(2 * frames);
    for (std::size_t at = 0; at < frames; at += 500) {
        const std::size_t count = std::min<std::size_t>(500, frames - at);
        stream.fill(reinterpret_cast<std::uint8_t*>(&heard[2 * at]), static_cast<int>(count * 4));
    }
    return heard;
}

// One pass as the decoder gives it.
std::vector<std::int16_t> onePass(const std::filesystem::path& file) {
    std::vector<std::int16_t> samples;
    const auto decoder = SoundFileDecoder::open(file, nullptr);
    if (!decoder) return samples;
    std::int16_t frames[2 * 1000];
    while (const int got = decoder->read(frames, 1000)) samples.insert(samples.end(), frames, frames + 2 * got);
    return samples;
}

}  // namespace

// A short loop is decoded once: its first pass is kept, its file is closed, and it goes on looping
// from memory, each pass the very frames of the first, with no seam between them.
TEST(SoundStream, AShortLoopIsDecodedOnceAndRepeatsItsFramesExactly) {
    quorvel::testing::TempDataRoot folder;
    for (const char* kind : {".wav", ".mp3"}) {
        const auto song = folder.path() / (std::string("loop") + kind);
        quorvel::testing::writeSong(song, 0.1);
        const auto once = onePass(song);
        ASSERT_EQ(once.size(), 2u * 4410) << kind;

        const std::size_t descriptors = openDescriptors();
        auto stream = std::make_shared<SoundStream>(song, true);
        ASSERT_TRUE(stream->start({}));
        ASSERT_TRUE(quorvel::testing::eventually([&] { return stream->hasClosedItsFile(); })) << kind;
        EXPECT_EQ(openDescriptors(), descriptors) << kind;

        const auto heard = heardFrom(*stream, 5 * 4410 + 123);
        for (std::size_t n = 0; n < 5; ++n) {
            EXPECT_TRUE(std::equal(once.begin(), once.end(), heard.begin() + static_cast<long>(n * once.size())))
                << kind << ": pass " << n + 1;
        }
        EXPECT_TRUE(std::equal(heard.end() - 2 * 123, heard.end(), once.begin())) << kind;
        stream->cancel();
    }
}

// Told to stop, a loop ends where the pass playing ends, not where decoding had got to: whether that
// pass comes from the file or from memory.
TEST(SoundStream, ALoopToldToStopEndsWithThePassItIsIn) {
    quorvel::testing::TempDataRoot folder;
    const auto song = folder.path() / "loop.wav";
    quorvel::testing::writeSong(song, 0.05);  // 2205 frames
    for (const std::size_t before : {std::size_t{500}, std::size_t{3 * 2205 + 700}}) {
        auto stream = std::make_shared<SoundStream>(song, true);
        std::atomic<bool> ended = false;
        ASSERT_TRUE(stream->start([&] { ended = true; }));
        // The whole first pass is in the ring, so nothing heard is silence for want of decoding.
        ASSERT_TRUE(quorvel::testing::eventually([&] { return stream->hasClosedItsFile(); })) << before;

        auto heard = heardFrom(*stream, before);
        EXPECT_FALSE(ended);
        stream->stopLooping();
        ASSERT_TRUE(quorvel::testing::eventually([&] { return ended.load(); }, [&] {
            const auto more = heardFrom(*stream, 500);
            heard.insert(heard.end(), more.begin(), more.end());
        })) << before;
        const auto lastSound =
            std::find_if(heard.rbegin(), heard.rend(), [](std::int16_t sample) { return sample != 0; });
        const auto passes = (before + 2204) / 2205;
        EXPECT_EQ((heard.rend() - lastSound + 1) / 2, static_cast<long>(passes * 2205)) << before;
    }
}
