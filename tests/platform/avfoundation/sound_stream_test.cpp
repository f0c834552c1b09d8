#include "platform/avfoundation/sound_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "tests/support/song_file.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

// A short loop is decoded several passes ahead; told to stop, it still ends where the pass playing
// ends, not where decoding had got to.
TEST(SoundStream, ALoopToldToStopEndsWithThePassItIsIn) {
    quorvel::testing::TempDataRoot folder;
    const auto song = folder.path() / "loop.wav";
    quorvel::testing::writeSong(song, 0.05);  // 2205 frames: the buffer holds several passes
    auto stream = std::make_shared<SoundStream>(song, true);
    std::atomic<bool> ended = false;
    ASSERT_TRUE(stream->start([&] { ended = true; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // decoding fills the buffer meanwhile

    std::vector<std::int16_t> heard;
    std::int16_t frames[2 * 500];
    stream->fill(reinterpret_cast<std::uint8_t*>(frames), sizeof frames);
    heard.insert(heard.end(), std::begin(frames), std::end(frames));
    stream->stopLooping();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!ended && std::chrono::steady_clock::now() < deadline) {
        stream->fill(reinterpret_cast<std::uint8_t*>(frames), sizeof frames);
        heard.insert(heard.end(), std::begin(frames), std::end(frames));
    }
    ASSERT_TRUE(ended);
    const auto lastSound = std::find_if(heard.rbegin(), heard.rend(), [](std::int16_t sample) { return sample != 0; });
    EXPECT_EQ((heard.rend() - lastSound + 1) / 2, 2205);
}
