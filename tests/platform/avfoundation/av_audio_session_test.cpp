#include "platform/avfoundation/av_audio_session.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/foundation/value.h"
#include "tests/support/scoped_observer.h"

using namespace platform;

TEST(AudioSession, KeepsThePlaybackCategoryAndRefusesOthers) {
    auto session = AVAudioSession::sharedInstance();
    std::shared_ptr<NSError> error;
    EXPECT_TRUE(session->setCategory(AVAudioSessionCategoryPlayback, AVAudioSessionModeDefault,
                                     AVAudioSessionCategoryOptionInterruptSpokenAudioAndMixWithOthers,
                                     &error));
    EXPECT_FALSE(error);
    EXPECT_EQ(session->category(), "AVAudioSessionCategoryPlayback");
    EXPECT_EQ(session->categoryOptions(), 17u);

    EXPECT_FALSE(session->setCategory("AVAudioSessionCategoryRecord", AVAudioSessionModeDefault,
                                      AVAudioSessionCategoryOptionMixWithOthers, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), -50);
    EXPECT_EQ(session->category(), "AVAudioSessionCategoryPlayback");
}

TEST(AudioSession, FailuresATestAsksForComeOnceEachThenTheCallsSucceed) {
    auto session = AVAudioSession::sharedInstance();
    session->failNextActivationsForTesting(2);
    session->failNextCategoryChangesForTesting(1);
    std::shared_ptr<NSError> error;
    EXPECT_FALSE(session->setActive(true, &error));
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->localizedDescription().empty());
    EXPECT_FALSE(session->setActive(true, nullptr));
    EXPECT_FALSE(session->isActive());
    EXPECT_TRUE(session->setActive(true, nullptr));
    EXPECT_TRUE(session->isActive());

    EXPECT_FALSE(session->setCategory(AVAudioSessionCategoryPlayback, AVAudioSessionModeDefault,
                                      AVAudioSessionCategoryOptionMixWithOthers, nullptr));
    EXPECT_TRUE(session->setCategory(AVAudioSessionCategoryPlayback, AVAudioSessionModeDefault,
                                     AVAudioSessionCategoryOptionMixWithOthers, nullptr));
}

TEST(AudioSession, InterruptionsAndRouteChangesArePostedWithTheirReasonAsAnUnsignedInteger) {
    std::optional<Value> interruption;
    std::optional<Value> route;
    quorvel::testing::ScopedObserver interruptions(
        AVAudioSessionInterruptionNotification,
        [&](const NSNotification& note) { interruption = *note.objectAs<Value>(); });
    quorvel::testing::ScopedObserver routeChanges(
        AVAudioSessionRouteChangeNotification, [&](const NSNotification& note) { route = *note.objectAs<Value>(); });
    AVAudioSession::sharedInstance()->reportInterruption(AVAudioSessionInterruptionType::Began);
    AVAudioSession::sharedInstance()->reportRouteChange(
        AVAudioSessionRouteChangeReason::OldDeviceUnavailable);

    ASSERT_TRUE(interruption && route);
    EXPECT_EQ(interruption->dictionaryValue()->at("AVAudioSessionInterruptionTypeKey").kind(),
              Value::Kind::UInt);
    EXPECT_EQ(interruption->dictionaryValue()->at("AVAudioSessionInterruptionTypeKey").uintValue(), 1u);
    EXPECT_EQ(route->dictionaryValue()->at("AVAudioSessionRouteChangeReasonKey").uintValue(), 2u);
}
