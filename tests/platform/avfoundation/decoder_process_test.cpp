#include "platform/avfoundation/decoder_process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

using namespace platform;

namespace {

constexpr std::chrono::milliseconds kShortDeadline{300};

// The child is gone from the process table: killed and reaped, not left as a zombie.
bool gone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

// A child that answers is heard; one that keeps decoding forever, or waits forever, or dies, is
// ended at its deadline or at once, and nothing of it stays behind.
TEST(DecoderProcess, AnAnswerComesBackAndAStuckOrDeadChildIsEndedAndReaped) {
    auto answering = DecoderProcess::start(
        [](int socket) {
            int question = 0;
            if (DecoderProcess::read(socket, &question, sizeof question)) {
                const int answer = question * 2;
                DecoderProcess::write(socket, &answer, sizeof answer);
            }
        },
        nullptr);
    ASSERT_TRUE(answering);
    const int question = 21;
    int answer = 0;
    ASSERT_TRUE(answering->send(&question, sizeof question));
    ASSERT_TRUE(answering->receive(&answer, sizeof answer, kShortDeadline)) << answering->problem();
    EXPECT_EQ(answer, 42);

    auto spinning = DecoderProcess::start(
        [](int) {
            volatile unsigned long turns = 0;
            for (;;) turns = turns + 1;
        },
        nullptr);
    auto waiting = DecoderProcess::start([](int) { std::this_thread::sleep_for(std::chrono::hours(1)); }, nullptr);
    auto dying = DecoderProcess::start([](int) { std::abort(); }, nullptr);
    for (auto* process : {&spinning, &waiting, &dying}) {
        ASSERT_TRUE(*process);
        const pid_t pid = (*process)->pid();
        EXPECT_FALSE((*process)->receive(&answer, sizeof answer, kShortDeadline));
        EXPECT_FALSE((*process)->alive());
        EXPECT_TRUE(gone(pid));
        EXPECT_FALSE((*process)->send(&question, sizeof question));
    }
    EXPECT_NE(spinning->problem().find("did not answer within 300 ms"), std::string::npos) << spinning->problem();
    EXPECT_EQ(dying->problem(), "the decoder has stopped");

    // Letting go of a child ends it too, whatever it is doing.
    const pid_t pid = answering->pid();
    answering.reset();
    EXPECT_TRUE(gone(pid));
}

// A half answer is no answer: the rest must come within the same deadline.
TEST(DecoderProcess, AnAnswerCutShortIsNoAnswer) {
    auto halting = DecoderProcess::start(
        [](int socket) {
            const char half[2] = {1, 2};
            DecoderProcess::write(socket, half, sizeof half);
            std::this_thread::sleep_for(std::chrono::hours(1));
        },
        nullptr);
    ASSERT_TRUE(halting);
    char whole[4];
    EXPECT_FALSE(halting->receive(whole, sizeof whole, kShortDeadline));
    EXPECT_FALSE(halting->alive());
}
