#include "platform/avfoundation/av_url_asset.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

#include "platform/avfoundation/audio_output.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_thread.h"
#include "tests/platform/avfoundation/audio_test_support.h"
#include "tests/support/own_process.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::TempDataRoot;
using quorvel::testing::writeToneWAV;

namespace {

// Loads the asset and waits for the loading queue; true when the handler ran off the main thread.
bool load(VirtualClock& clock, const std::shared_ptr<AVURLAsset>& asset) {
    std::atomic<int> calls = 0;
    std::atomic<bool> offMain = false;
    asset->loadValuesAsynchronouslyForKeys({"playable"}, [&] {
        offMain = !NSThread::isMainThread();
        ++calls;
    });
    clock.runUntilIdle();
    return calls == 1 && offMain;
}

}  // namespace

TEST(AssetLoading, DecodesOffTheMainThreadAndKnowsTheDuration) {
    auto clock = VirtualClock::install();
    TempDataRoot folder;
    writeToneWAV(folder.path() / "tone.wav", 0.5);
    auto asset = AVURLAsset::URLAssetWithURL(folder.path() / "tone.wav");
    EXPECT_EQ(asset->statusOfValueForKey("playable"), AVKeyValueStatus::Unknown);

    ASSERT_TRUE(load(*clock, asset));
    EXPECT_EQ(asset->statusOfValueForKey("playable"), AVKeyValueStatus::Loaded);
    EXPECT_EQ(asset->statusOfValueForKey("duration"), AVKeyValueStatus::Loaded);
    EXPECT_TRUE(asset->isPlayable());
    EXPECT_NEAR(asset->duration(), 0.5, 0.002);
    std::shared_ptr<NSError> error;
    EXPECT_EQ(asset->statusOfValueForKey("tracks", &error), AVKeyValueStatus::Failed);
    ASSERT_TRUE(error);
}

TEST(AssetLoading, MissingDamagedAndEmptyFilesFailWithAConsoleLine) {
    auto clock = VirtualClock::install();
    TempDataRoot folder;
    std::ofstream(folder.path() / "damaged.wav") << "RIFF\x24\x01WAVEfmt nonsense that ends early";
    writeToneWAV(folder.path() / "empty.wav", 0);
    std::ofstream(folder.path() / "noise.mp3") << std::string(4000, '\x5a');
    for (const char* name : {"missing.wav", "damaged.wav", "empty.wav", "noise.mp3"}) {
        Console::Capture console;
        auto asset = AVURLAsset::URLAssetWithURL(folder.path() / name);
        ASSERT_TRUE(load(*clock, asset)) << name;
        std::shared_ptr<NSError> error;
        EXPECT_EQ(asset->statusOfValueForKey("playable", &error), AVKeyValueStatus::Failed) << name;
        ASSERT_TRUE(error) << name;
        EXPECT_FALSE(asset->isPlayable()) << name;
        EXPECT_TRUE(console.contains("AVURLAsset: cannot play")) << name;
    }
}

TEST(AssetLoading, TakesFileURLsWithEscapesAndAQuery) {
    auto clock = VirtualClock::install();
    TempDataRoot folder;
    writeToneWAV(folder.path() / "My Song #1.wav", 0.2);
    const std::string url = "file://" + (folder.path() / "My%20Song%20%231.wav").string() + "?id=4242";
    EXPECT_EQ(localPathOfURL(url), folder.path() / "My Song #1.wav");
    EXPECT_EQ(localPathOfURL("/plain/path.mp3"), std::filesystem::path("/plain/path.mp3"));

    auto asset = AVURLAsset::URLAssetWithURL(url);
    ASSERT_TRUE(load(*clock, asset));
    EXPECT_EQ(asset->statusOfValueForKey("playable"), AVKeyValueStatus::Loaded);
}

// The device opens once a process: a process of its own finds none.
TEST(AssetLoading, WithoutAnAudioDeviceSoundIsOffAndNothingFails) {
    quorvel::testing::inOwnProcess([] {
        ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        auto clock = VirtualClock::install();
        TempDataRoot folder;
        writeToneWAV(folder.path() / "tone.wav", 0.2);
        Console::Capture console;
        EXPECT_FALSE(AudioOutput::shared().open());
        EXPECT_TRUE(console.contains("sound is off"));

        auto present = AVURLAsset::URLAssetWithURL(folder.path() / "tone.wav");
        auto missing = AVURLAsset::URLAssetWithURL(folder.path() / "missing.wav");
        ASSERT_TRUE(load(*clock, present));
        ASSERT_TRUE(load(*clock, missing));
        EXPECT_EQ(present->statusOfValueForKey("playable"), AVKeyValueStatus::Loaded);
        EXPECT_EQ(missing->statusOfValueForKey("playable"), AVKeyValueStatus::Failed);
        EXPECT_EQ(AudioOutput::shared().playFile(folder.path() / "tone.wav", false, 1, {}), nullptr);
    });
}
