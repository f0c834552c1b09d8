#include "platform/avfoundation/av_queue_player.h"

#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/av_player_looper.h"
#include "tests/platform/avfoundation/audio_test_support.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::happensWithin;
using quorvel::testing::runUntil;
using quorvel::testing::TempDataRoot;
using quorvel::testing::writeToneWAV;

namespace {

class QueuePlayerTest : public ::testing::Test {
protected:
    // An item whose asset has loaded.
    std::shared_ptr<AVPlayerItem> loadedItem(const std::string& name, double seconds) {
        writeToneWAV(folder_.path() / name, seconds);
        auto asset = AVURLAsset::URLAssetWithURL(folder_.path() / name);
        asset->loadValuesAsynchronouslyForKeys({"playable"}, {});
        clock_->runUntilIdle();
        EXPECT_TRUE(asset->isPlayable()) << name;
        return AVPlayerItem::playerItemWithAsset(asset);
    }

    int channelsPlaying() { return Mix_Playing(-1); }

    std::shared_ptr<VirtualClock> clock_ = VirtualClock::install();
    TempDataRoot folder_;
};

}  // namespace

TEST_F(QueuePlayerTest, PlaysPausesAndResumesTheCurrentItem) {
    auto item = loadedItem("long.wav", 5);
    auto player = AVQueuePlayer::queuePlayerWithItems({item});
    EXPECT_EQ(player->currentItem(), item);
    EXPECT_FALSE(player->isSounding());  // queued, not yet played

    player->setVolume(0.25f);
    player->play();
    EXPECT_EQ(player->rate(), 1.0f);
    EXPECT_TRUE(player->isSounding());
    EXPECT_EQ(channelsPlaying(), 1);

    player->pause();
    EXPECT_EQ(player->rate(), 0.0f);
    EXPECT_FALSE(player->isSounding());
    player->play();
    EXPECT_TRUE(player->isSounding());
    EXPECT_EQ(channelsPlaying(), 1);  // resumed, not started a second time

    player->removeAllItems();
    EXPECT_TRUE(player->items().empty());
    EXPECT_FALSE(player->isSounding());
    EXPECT_EQ(channelsPlaying(), 0);
}

// The next item plays long enough to be seen playing, however late the main queue hears of the first
// one's end; the last item's end empties the queue for good.
TEST_F(QueuePlayerTest, AnItemThatEndsLeavesTheQueueOnTheMainThreadAndTheNextOneStarts) {
    auto first = loadedItem("first.wav", 0.1);
    auto second = loadedItem("second.wav", 30);
    auto player = AVQueuePlayer::queuePlayerWithItems({first});
    player->insertItem(second, first);
    player->play();
    ASSERT_TRUE(runUntil(*clock_, [&] { return player->currentItem() == second; }));
    EXPECT_EQ(player->items(), (std::vector{second}));
    EXPECT_TRUE(player->isSounding());

    auto last = AVQueuePlayer::queuePlayerWithItems({loadedItem("last.wav", 0.1)});
    last->play();
    ASSERT_TRUE(runUntil(*clock_, [&] { return last->items().empty(); }));
    EXPECT_FALSE(last->isSounding());
}

TEST_F(QueuePlayerTest, InsertionKeepsTheQueueConsistent) {
    auto a = loadedItem("a.wav", 1);
    auto b = loadedItem("b.wav", 1);
    auto c = loadedItem("c.wav", 1);
    auto player = AVQueuePlayer::queuePlayerWithItems({a, c});
    player->insertItem(b, a);
    EXPECT_EQ(player->items(), (std::vector{a, b, c}));
    player->insertItem(b, nullptr);                                      // already queued
    player->insertItem(loadedItem("d.wav", 1), loadedItem("e.wav", 1));  // after an item not queued
    EXPECT_EQ(player->items(), (std::vector{a, b, c}));
}

TEST_F(QueuePlayerTest, ALooperRepeatsUntilLoopingIsDisabledThenTheItemEnds) {
    auto item = loadedItem("loop.wav", 0.1);
    auto player = AVQueuePlayer::queuePlayerWithItems();
    auto looper = AVPlayerLooper::playerLooperWithPlayer(player, item);
    player->play();
    // Several passes later it is still the one item, sounding.
    ASSERT_FALSE(happensWithin(
        *clock_, [&] { return !player->isSounding(); }, 0.4));
    EXPECT_EQ(player->items(), (std::vector{item}));

    looper->disableLooping();
    EXPECT_FALSE(looper->isLooping());
    ASSERT_TRUE(runUntil(*clock_, [&] { return player->items().empty(); }));
    EXPECT_EQ(channelsPlaying(), 0);
}

TEST_F(QueuePlayerTest, ReleasingAPlayerSilencesIt) {
    auto player = AVQueuePlayer::queuePlayerWithItems({loadedItem("long.wav", 5)});
    player->play();
    EXPECT_EQ(channelsPlaying(), 1);
    player = nullptr;
    EXPECT_EQ(channelsPlaying(), 0);
    clock_->runUntilIdle();  // no finished report reaches the released player
}
