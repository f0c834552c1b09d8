#include "tests/support/killed_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <random>
#include <vector>

namespace quorvel::testing {

std::vector<KillPoint> randomKillPoints(unsigned seed, int runs, long maxReports, long maxDelayMicroseconds) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> reports(1, maxReports);
    std::uniform_int_distribution<long> delay(0, maxDelayMicroseconds);
    std::vector<KillPoint> points;
    for (int run = 0; run < runs; ++run) {
        const long after = reports(random);
        points.push_back({after, delay(random)});
    }
    return points;
}

namespace {

// Runs the writer and collects its reports; with a kill point, kills it there. The writer's wait status.
int runWriter(const std::string& program, const std::vector<std::string>& arguments,
              const std::optional<KillPoint>& point, std::set<long>& reported) {
    // Made before the fork: the child of a process with other threads may only call what is safe in a
    // signal handler until it execs, and an allocation there can wait forever on a lock another thread
    // held when the process forked (so the writer never started, and the read below never ended).
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::string pending;
    bool killed = false;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            reported.insert(std::stol(pending.substr(0, end)));
            pending.erase(0, end + 1);
        }
        if (point && !killed && static_cast<long>(reported.size()) >= point->afterReports) {
            if (point->delayMicroseconds > 0) ::usleep(static_cast<useconds_t>(point->delayMicroseconds));
            ::kill(child, SIGKILL);
            killed = true;
        }
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

}  // namespace

std::set<long> runWriterAndKill(const std::string& program, const std::vector<std::string>& arguments,
                                KillPoint point) {
    std::set<long> reported;
    const int status = runWriter(program, arguments, point, reported);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer ended on its own";
    return reported;
}

std::set<long> runWriterToEnd(const std::string& program, const std::vector<std::string>& arguments) {
    std::set<long> reported;
    const int status = runWriter(program, arguments, std::nullopt, reported);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the writer failed: status " << status;
    return reported;
}

}  // namespace quorvel::testing
