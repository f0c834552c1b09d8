#include <gtest/gtest.h>

#include <cmath>

#include "app/core/sound_vocabulary.h"
#include "platform/avfoundation/av_url_asset.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_bundle.h"

using namespace quorvel;

namespace {

// The decoded asset of a bundle resource; fails the test when it is missing or does not play.
std::shared_ptr<platform::AVURLAsset> loaded(const std::string& name, const std::string& extension) {
    const auto url = platform::NSBundle::mainBundle()->URLForResource(name, extension);
    EXPECT_TRUE(url) << name << "." << extension;
    if (!url) return nullptr;
    auto asset = platform::AVURLAsset::URLAssetWithURL(*url);
    asset->loadValuesAsynchronouslyForKeys({"playable"}, {});
    platform::VirtualClock::install()->runUntilIdle();
    EXPECT_TRUE(asset->isPlayable()) << name << "." << extension;
    return asset;
}

}  // namespace

TEST(SoundResources, EveryAlarmAndTheReminderChimeIsAShortWAV) {
    for (const auto sound : kAllAlertSounds) {
        const auto asset = loaded(std::string(rawValue(sound)), "wav");
        if (!asset) continue;
        EXPECT_GT(asset->duration(), 0.1) << rawValue(sound);
        EXPECT_LT(asset->duration(), 4.0) << rawValue(sound);
    }
    const auto chime = loaded("Three Ring Chime", "wav");
    ASSERT_TRUE(chime);
    EXPECT_GT(chime->duration(), 1.0);
}

TEST(SoundResources, EveryTickingSoundIsAnMP3LoopOfWholeSecondsWithoutEncoderGaps) {
    for (const auto sound : kAllTickingSounds) {
        const auto asset = loaded(std::string(rawValue(sound)), "mp3");
        if (!asset) continue;
        // The encoder's delay and padding would add some 50 ms: a loop would stumble at its seam.
        const double duration = asset->duration();
        EXPECT_GE(duration, 1.0) << rawValue(sound);
        EXPECT_NEAR(duration, std::round(duration), 0.003) << rawValue(sound);
    }
}
