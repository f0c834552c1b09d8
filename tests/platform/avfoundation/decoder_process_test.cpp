#include "platform/avfoundation/decoder_process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/eventually.h"

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

// The process `pid`, started by a child, has ended: gone, or a zombie its new parent has yet to reap. The
// kill that ends it takes effect soon after; one that still runs past the guard is ended here, not left
// spinning.
bool endedSoon(pid_t pid) {
    const bool ended = quorvel::testing::eventually([pid] {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string number, name, state;
        return !(stat >> number >> name >> state) || state == "Z" || state == "X";
    });
    if (!ended) ::kill(pid, SIGKILL);
    return ended;
}

// A child that starts a spinning one of its own and says its number.
constexpr const char* kStartsASpinner = "sh -c 'while :; do :; done' & printf %010d $! >&3; ";

pid_t spinnerOf(DecoderProcess& process) {
    char number[11] = {};
    EXPECT_TRUE(process.receive(number, 10, quorvel::testing::kPatience)) << process.problem();
    return static_cast<pid_t>(std::atol(number));
}

}  // namespace

// Ending a child ends whatever it started, whether the child is still there or has already gone and left
// its own child behind.
TEST(DecoderProcess, EndingAChildEndsTheChildrenItStarted) {
    auto leaving = shell(std::string(kStartsASpinner) + "exit 0");
    ASSERT_TRUE(leaving);
    const pid_t left = spinnerOf(*leaving);
    ASSERT_GT(left, 0);
    // The spinner keeps the socket open, so the child's end is no answer: the deadline ends them.
    char answer[4];
    EXPECT_FALSE(leaving->receive(answer, sizeof answer, kShortDeadline));
    EXPECT_TRUE(endedSoon(left));

    auto staying = shell(std::string(kStartsASpinner) + "exec sleep 3600");
    ASSERT_TRUE(staying);
    const pid_t stayed = spinnerOf(*staying);
    ASSERT_GT(stayed, 0);
    staying.reset();
    EXPECT_TRUE(endedSoon(stayed));
}

// A child that answers is heard; one that keeps working for ever, or waits for ever, or dies, is ended
// at its deadline or at once, and nothing of it stays behind.
TEST(DecoderProcess, AnAnswerComesBackAndAStuckOrDeadChildIsEndedAndReaped) {
    auto answering = shell("head -c 4 <&3 >&3; exec sleep 3600");
    ASSERT_TRUE(answering);
    const char question[4] = {'t', 'e', 'l', 'l'};
    char answer[4] = {};
    ASSERT_TRUE(answering->send(question, sizeof question));
    ASSERT_TRUE(answering->receive(answer, sizeof answer, quorvel::testing::kPatience)) << answering->problem();
    EXPECT_EQ(std::string(answer, 4), "tell");

    // The ones that never answer meet the short deadline; the dying one's end ends the wait, however
    // long the loaded machine takes to start it.
    auto spinning = shell("while :; do :; done");
    auto waiting = shell("exec sleep 3600");
    auto dying = shell("kill -ABRT $$");
    const std::chrono::milliseconds patience = quorvel::testing::kPatience;
    for (auto [process, deadline] : {std::pair{&spinning, kShortDeadline}, std::pair{&waiting, kShortDeadline},
                                     std::pair{&dying, patience}}) {
        ASSERT_TRUE(*process);
        const pid_t pid = (*process)->pid();
        EXPECT_FALSE((*process)->receive(answer, sizeof answer, deadline));
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
