#include "platform/avfoundation/decoder_process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>

using namespace platform;

namespace {

constexpr std::chrono::milliseconds kShortDeadline{300};

// A child played by the shell, its socket on descriptor 3.
std::unique_ptr<DecoderProcess> shell(const std::string& script) {
    std::string error;
    auto process = DecoderProcess::start("/bin/sh", {"-c", script}, &error);
    EXPECT_TRUE(process) << error;
    return process;
}

// The child is gone from the process table: killed and reaped, not left as a zombie.
bool gone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

// A child that answers is heard; one that keeps working for ever, or waits for ever, or dies, is ended
// at its deadline or at once, and nothing of it stays behind.
TEST(DecoderProcess, AnAnswerComesBackAndAStuckOrDeadChildIsEndedAndReaped) {
    auto answering = shell("head -c 4 <&3 >&3; exec sleep 3600");
    ASSERT_TRUE(answering);
    const char question[4] = {'t', 'e', 'l', 'l'};
    char answer[4] = {};
    ASSERT_TRUE(answering->send(question, sizeof question));
    ASSERT_TRUE(answering->receive(answer, sizeof answer, std::chrono::seconds(10))) << answering->problem();
    EXPECT_EQ(std::string(answer, 4), "tell");

    auto spinning = shell("while :; do :; done");
    auto waiting = shell("exec sleep 3600");
    auto dying = shell("kill -ABRT $$");
    for (auto* process : {&spinning, &waiting, &dying}) {
        ASSERT_TRUE(*process);
        const pid_t pid = (*process)->pid();
        EXPECT_FALSE((*process)->receive(answer, sizeof answer, kShortDeadline));
        EXPECT_FALSE((*process)->alive());
        EXPECT_TRUE(gone(pid));
        EXPECT_FALSE((*process)->send(question, sizeof question));
    }
    EXPECT_EQ(spinning->problem(), "the decoder did not answer within 300 ms");
    EXPECT_EQ(dying->problem(), "the decoder has stopped");

    // Letting go of a child ends it too, whatever it is doing.
    const pid_t pid = answering->pid();
    answering.reset();
    EXPECT_TRUE(gone(pid));
}

// A half answer is no answer: the rest must come within the same deadline. A program that is not there
// is no child at all.
TEST(DecoderProcess, AnAnswerCutShortIsNoAnswerAndAMissingProgramNoChild) {
    auto halting = shell("printf ab >&3; exec sleep 3600");
    ASSERT_TRUE(halting);
    char whole[4];
    EXPECT_FALSE(halting->receive(whole, sizeof whole, kShortDeadline));
    EXPECT_FALSE(halting->alive());

    std::string error;
    EXPECT_FALSE(DecoderProcess::start("/no/such/decoder", {}, &error));
    EXPECT_FALSE(error.empty());
}
