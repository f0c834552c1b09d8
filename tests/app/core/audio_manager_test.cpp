#include "app/core/audio_manager.h"

#include <gtest/gtest.h>

#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/av_audio_session.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/value.h"
#include "tests/platform/avfoundation/audio_test_support.h"

using namespace quorvel;
using platform::AVAudioSession;
using platform::Console;
using Status = AudioPlayer::Status;

namespace {

// The shared manager, with the players a case registered, is forgotten before and after each case.
class AudioPlayers : public ::testing::Test {
protected:
    void SetUp() override { AudioManager::resetSharedForTesting(); }
    void TearDown() override {
        AudioManager::resetSharedForTesting();
        clock_->runUntilIdle();  // what the players let go of were still loading ends with the case
    }

    std::shared_ptr<AudioPlayer> player(const std::string& resource, bool looping) {
        const auto dot = resource.rfind('.');
        auto url = platform::NSBundle::mainBundle()->URLForResource(resource.substr(0, dot),
                                                                    resource.substr(dot + 1));
        EXPECT_TRUE(url) << resource;
        auto made = AudioPlayer::make(url.value_or(resource));
        made->setIsLooping(looping);
        return made;
    }

    static bool sounding(const std::shared_ptr<AudioPlayer>& p) {
        return p->queuePlayer() && p->queuePlayer()->isSounding();
    }

    static void post(const platform::NSNotificationName& name, const std::string& key,
                     platform::Value value) {
        platform::NSNotificationCenter::defaultCenter().postNotificationName(
            name, platform::Value(platform::Value::Dictionary{{key, std::move(value)}}));
    }

    std::shared_ptr<platform::VirtualClock> clock_ = platform::VirtualClock::install();
    Console::Capture console_;
};

}  // namespace

TEST_F(AudioPlayers, PlayedWhileLoadingASoundStartsOnceItHasLoaded) {
    auto ticking = player("Ticking.mp3", true);
    EXPECT_EQ(ticking->status(), Status::stop);
    auto manager = AudioManager::shared();
    manager->add(ticking);
    manager->play(ticking);
    EXPECT_EQ(ticking->status(), Status::playing);
    EXPECT_FALSE(ticking->queuePlayer());  // still loading off the main thread

    clock_->runUntilIdle();
    EXPECT_TRUE(console_.contains("Sucessfully loaded, continue processing"));
    ASSERT_TRUE(ticking->queuePlayer());
    EXPECT_TRUE(ticking->playerLooper());
    EXPECT_TRUE(sounding(ticking));
    EXPECT_FALSE(manager->setCategoryFailed());
    EXPECT_FALSE(manager->setActiveFailed());

    auto alarm = player("Ding.wav", false);
    alarm->setVolume(0.5f);
    clock_->runUntilIdle();
    EXPECT_FALSE(sounding(alarm));  // loaded, not played
    manager->play(alarm);
    EXPECT_TRUE(sounding(alarm));
    EXPECT_EQ(alarm->queuePlayer()->volume(), 0.5f);
    EXPECT_FALSE(alarm->playerLooper());
    EXPECT_EQ(alarm->queuePlayer()->items().size(), 1u);
}

// Ticking switched off plays the silent "None" loop, which nobody hears: the device rests meanwhile.
TEST_F(AudioPlayers, TheSilentTickingLetsTheDeviceRest) {
    auto manager = AudioManager::shared();
    auto none = player("None.mp3", true);
    manager->add(none);
    manager->play(none);
    clock_->runUntilIdle();
    ASSERT_TRUE(sounding(none));
    EXPECT_TRUE(
        quorvel::testing::runUntil(*clock_, [] { return !platform::AudioOutput::shared().isMixing(); }));
    EXPECT_TRUE(sounding(none)) << "still playing for its owner";
    manager->remove(none);
}

TEST_F(AudioPlayers, OnlyLoopingPlayersAreRegisteredAndEachOnce) {
    auto manager = AudioManager::shared();
    auto once = player("Ding.wav", false);
    auto loop = player("Rain.mp3", true);
    manager->add(once);
    manager->add(loop);
    manager->add(loop);
    EXPECT_EQ(manager->players(), (std::vector{loop}));
}

TEST_F(AudioPlayers, RemovingDetachesThePlayerAndCompletesItOnce) {
    auto manager = AudioManager::shared();
    auto loop = player("Rain.mp3", true);
    int completions = 0;
    loop->setCompletionHandler([&] { ++completions; });
    manager->add(loop);
    manager->play(loop);
    clock_->runUntilIdle();
    const auto queuePlayer = loop->queuePlayer();
    ASSERT_TRUE(queuePlayer && queuePlayer->isSounding());

    manager->remove(loop);
    manager->remove(loop);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(loop->status(), Status::detached);
    EXPECT_TRUE(manager->players().empty());
    EXPECT_FALSE(loop->queuePlayer() || loop->playerLooper() || loop->playSoundFile());
    EXPECT_FALSE(queuePlayer->isSounding());
    EXPECT_TRUE(queuePlayer->items().empty());
    manager->play(loop);  // a detached player stays silent
    EXPECT_FALSE(sounding(loop));
}

TEST_F(AudioPlayers, APlayerRemovedOrReleasedWhileLoadingIsSkipped) {
    auto manager = AudioManager::shared();
    auto removed = player("Ding.wav", false);
    manager->remove(removed);
    auto released = player("Beep.wav", false);
    released = nullptr;
    EXPECT_TRUE(console_.contains("deinit AudioPlayer"));
    clock_->runUntilIdle();
    const auto lines = console_.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Loading cancelled"), 2);
    EXPECT_FALSE(removed->queuePlayer());
}

TEST_F(AudioPlayers, AMissingFileLeavesThePlayerSilentWithAConsoleLine) {
    auto missing = AudioPlayer::make("/nonexistent/Missing.wav");
    AudioManager::shared()->play(missing);
    clock_->runUntilIdle();
    EXPECT_TRUE(console_.contains("Examine NSError pointer to determine failure"));
    EXPECT_FALSE(missing->queuePlayer());
    EXPECT_EQ(missing->status(), Status::playing);
}

TEST_F(AudioPlayers, AfterAnInterruptionOnlyThePlayersThatWerePlayingResume) {
    auto manager = AudioManager::shared();
    auto playing = player("Rain.mp3", true);
    auto idle = player("Steam.mp3", true);
    manager->add(playing);
    manager->add(idle);
    manager->play(playing);
    clock_->runUntilIdle();

    AVAudioSession::sharedInstance()->reportInterruption(platform::AVAudioSessionInterruptionType::Began);
    EXPECT_TRUE(console_.contains("Audio Interrupted"));
    EXPECT_EQ(playing->status(), Status::playing);
    playing->queuePlayer()->pause();  // what the interruption did to the sound

    AVAudioSession::sharedInstance()->reportInterruption(platform::AVAudioSessionInterruptionType::Ended);
    EXPECT_TRUE(console_.contains("Audio Resumed"));
    EXPECT_TRUE(sounding(playing));
    EXPECT_FALSE(sounding(idle));
    EXPECT_EQ(idle->status(), Status::stop);

    const auto linesBefore = console_.lines().size();
    post(platform::AVAudioSessionInterruptionNotification, platform::AVAudioSessionInterruptionTypeKey, "0");
    post(platform::AVAudioSessionInterruptionNotification, "OtherKey", platform::Value(0u));
    EXPECT_EQ(console_.lines().size(), linesBefore);  // a type that is missing or not a number: nothing
}

TEST_F(AudioPlayers, WhenAnOutputDeviceComesOrGoesEveryRegisteredPlayerPlays) {
    auto manager = AudioManager::shared();
    auto first = player("Rain.mp3", true);
    auto second = player("Steam.mp3", true);
    manager->add(first);
    manager->add(second);
    clock_->runUntilIdle();

    AVAudioSession::sharedInstance()->reportRouteChange(
        platform::AVAudioSessionRouteChangeReason::CategoryChange);
    post(platform::AVAudioSessionRouteChangeNotification, "OtherKey", platform::Value(1u));
    EXPECT_FALSE(sounding(first) || sounding(second));

    AVAudioSession::sharedInstance()->reportRouteChange(
        platform::AVAudioSessionRouteChangeReason::NewDeviceAvailable);
    EXPECT_TRUE(sounding(first) && sounding(second));
    EXPECT_EQ(first->status(), Status::playing);
    EXPECT_EQ(second->status(), Status::playing);
}

TEST_F(AudioPlayers, AFailedActivationIsRetriedOnTheNextPlayAndNotAfterItSucceeded) {
    auto session = AVAudioSession::sharedInstance();
    session->failNextActivationsForTesting(1);
    session->failNextCategoryChangesForTesting(1);
    auto manager = AudioManager::shared();
    EXPECT_TRUE(manager->setActiveFailed());
    EXPECT_TRUE(manager->setCategoryFailed());
    EXPECT_TRUE(console_.contains("The audio session could not be activated."));

    manager->play(nullptr);
    EXPECT_FALSE(manager->setActiveFailed());
    EXPECT_FALSE(manager->setCategoryFailed());

    session->failNextActivationsForTesting(1);
    manager->play(nullptr);
    EXPECT_FALSE(session->setActive(true, nullptr));  // the failure was still waiting: play did not activate
}

TEST_F(AudioPlayers, ReleasingTheManagerStopsEveryRegisteredPlayer) {
    auto loop = player("Rain.mp3", true);
    int completions = 0;
    loop->setCompletionHandler([&] { ++completions; });
    AudioManager::shared()->add(loop);
    AudioManager::shared()->play(loop);
    clock_->runUntilIdle();
    const auto queuePlayer = loop->queuePlayer();

    AudioManager::resetSharedForTesting();
    EXPECT_EQ(loop->status(), Status::detached);
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(queuePlayer->isSounding());
    AVAudioSession::sharedInstance()->reportRouteChange(
        platform::AVAudioSessionRouteChangeReason::NewDeviceAvailable);
    EXPECT_TRUE(AudioManager::shared()->players().empty());
}
