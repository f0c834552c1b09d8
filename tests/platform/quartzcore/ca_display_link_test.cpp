#include <gtest/gtest.h>

#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/quartzcore/ca_display_link.h"

using namespace platform;

namespace {

class DisplayLink : public ::testing::Test {
protected:
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::vector<double> frames;
    std::shared_ptr<CADisplayLink> link =
        CADisplayLink::displayLinkWithTarget([this](CADisplayLink& l) { frames.push_back(l.timestamp()); });
};

}  // namespace

TEST_F(DisplayLink, FramesComeSixtyTimesASecondAtTheirOwnTimes) {
    const double start = clock->now();
    link->addToRunLoop(NSRunLoop::main(), NSDefaultRunLoopMode);
    clock->advance(0.5);
    ASSERT_EQ(frames.size(), 30u);
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_NEAR(frames[i], start + double(i + 1) / 60, 1e-6);
    }
}

TEST_F(DisplayLink, CommonModesKeepFramingWhileTheRunLoopTracks) {
    link->addToRunLoop(NSRunLoop::main(), NSRunLoopCommonModes);
    auto defaultOnly =
        CADisplayLink::displayLinkWithTarget([](CADisplayLink&) { FAIL() << "framed while tracking"; });
    defaultOnly->addToRunLoop(NSRunLoop::main(), NSDefaultRunLoopMode);
    NSRunLoop::main().setCurrentMode(UITrackingRunLoopMode);
    clock->advance(0.1);
    EXPECT_EQ(frames.size(), 6u);
    NSRunLoop::main().setCurrentMode(NSDefaultRunLoopMode);
}

TEST_F(DisplayLink, PausedSkipsFramesAndInvalidatedOrDroppedStops) {
    link->addToRunLoop(NSRunLoop::main(), NSDefaultRunLoopMode);
    link->setPaused(true);
    clock->advance(0.1);
    EXPECT_TRUE(frames.empty());
    link->setPaused(false);
    clock->advance(0.1);
    EXPECT_EQ(frames.size(), 6u);

    link->invalidate();
    clock->advance(0.1);
    EXPECT_EQ(frames.size(), 6u);

    // The run loop does not keep a link its owner let go of.
    int dropped = 0;
    auto other = CADisplayLink::displayLinkWithTarget([&](CADisplayLink&) { ++dropped; });
    other->addToRunLoop(NSRunLoop::main(), NSDefaultRunLoopMode);
    other.reset();
    clock->advance(0.1);
    EXPECT_EQ(dropped, 0);
}
