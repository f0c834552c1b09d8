#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "app/core/core_data_manager.h"
#include "tests/app/core/store_test_support.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel;

namespace {

// Starts the writer on the data root, reads the numbers it reports and kills it with SIGKILL once
// it has reported `killAfter` of them. Returns every number it reported before dying.
std::set<long> runWriterAndKill(const std::filesystem::path& root, long killAfter) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execl(SESSION_WRITER, SESSION_WRITER, root.c_str(), "1000000", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::set<long> reported;
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
        if (!killed && static_cast<long>(reported.size()) >= killAfter) {
            ::kill(child, SIGKILL);  // mid-stream: the writer is busy with the next insert
            killed = true;
        }
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer ended on its own";
    return reported;
}

}  // namespace

TEST(SessionStoreKill, EverySessionWhoseInsertReturnedSurvivesAKill) {
    quorvel::testing::TempDataRoot root;
    std::set<long> reported;
    for (long killAfter : {1L, 37L, 400L}) {
        const auto round = runWriterAndKill(root.path(), killAfter);
        ASSERT_GE(static_cast<long>(round.size()), killAfter);
        reported.insert(round.begin(), round.end());

        quorvel::testing::launchStore();
        std::set<long> stored;
        for (const auto& session : CoreDataManager::shared()->fetchAllSessions())
            stored.insert(static_cast<long>(session->timestamp()->timeIntervalSinceReferenceDate() - 1000.0));
        for (long i : reported)
            ASSERT_TRUE(stored.count(i)) << "session " << i << " was reported stored but is gone";
    }
    EXPECT_FALSE(std::filesystem::exists(quorvel::testing::storeFile().string() + ".damaged-1"));
}
