#include "tests/soak/life_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace quorvel::soak {

namespace {

using Steady = std::chrono::steady_clock;

double secondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// A pipe whose ends lie above the descriptors the child is given, so that handing them over never
// duplicates a descriptor onto itself.
bool highPipe(int ends[2]) {
    int low[2];
    if (::pipe(low) != 0) return false;
    ends[0] = ::fcntl(low[0], F_DUPFD_CLOEXEC, 10);
    ends[1] = ::fcntl(low[1], F_DUPFD_CLOEXEC, 10);
    ::close(low[0]);
    ::close(low[1]);
    if (ends[0] >= 0 && ends[1] >= 0) return true;
    if (ends[0] >= 0) ::close(ends[0]);
    if (ends[1] >= 0) ::close(ends[1]);
    return false;
}

// The child starts with SIGPIPE at its default, whatever this process does with it.
void defaultBrokenPipe(posix_spawnattr_t& attributes) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
}

}  // namespace

std::unique_ptr<LifeProcess> LifeProcess::start(const std::vector<std::string>& arguments,
                                                const std::filesystem::path& log) {
    // A child that died leaves its pipe without a reader: a send then fails instead of ending the walk.
    ::signal(SIGPIPE, SIG_IGN);
    int commands[2], answers[2];
    if (!highPipe(commands)) return nullptr;
    if (!highPipe(answers)) {
        ::close(commands[0]);
        ::close(commands[1]);
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, commands[0], 3);
    posix_spawn_file_actions_adddup2(&actions, answers[1], 4);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<std::string> argv{"/proc/self/exe"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (auto& argument : argv) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    defaultBrokenPipe(attributes);
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, "/proc/self/exe", &actions, &attributes, pointers.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(commands[0]);
    ::close(answers[1]);
    if (error != 0) {
        ::close(commands[1]);
        ::close(answers[0]);
        return nullptr;
    }
    std::unique_ptr<LifeProcess> process(new LifeProcess);
    process->pid_ = pid;
    process->commands_ = commands[1];
    process->answers_ = answers[0];
    return process;
}

LifeProcess::~LifeProcess() {
    if (!end_) {
        kill();
        ended(10);
    }
    if (commands_ >= 0) ::close(commands_);
    if (answers_ >= 0) ::close(answers_);
}

bool LifeProcess::send(const std::string& line) {
    const std::string text = line + "\n";
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(commands_, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

LifeProcess::Wait LifeProcess::await(std::string& line, double seconds) {
    const auto start = Steady::now();
    while (true) {
        if (const auto newline = buffered_.find('\n'); newline != std::string::npos) {
            line = buffered_.substr(0, newline);
            buffered_.erase(0, newline + 1);
            return Wait::answered;
        }
        const double left = seconds - secondsSince(start);
        if (left <= 0) return Wait::timedOut;
        pollfd watched{answers_, POLLIN, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(std::min(left, 1.0) * 1000) + 1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        char chunk[4096];
        const ssize_t n = ::read(answers_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Wait::ended;
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
}

void LifeProcess::kill() {
    if (pid_ > 0 && !end_) ::kill(pid_, SIGKILL);
}

std::optional<std::string> LifeProcess::ended(double seconds) {
    if (end_) return end_;
    const auto start = Steady::now();
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exitedCleanly_ = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            end_ = WIFEXITED(status) ? "exited with " + std::to_string(WEXITSTATUS(status))
                                     : "killed by signal " + std::to_string(WTERMSIG(status));
            return end_;
        }
        if (done < 0 && errno != EINTR) {
            end_ = "lost";
            return end_;
        }
        if (secondsSince(start) >= seconds) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace quorvel::soak
