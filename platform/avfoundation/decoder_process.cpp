#include "platform/avfoundation/decoder_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace platform {

std::unique_ptr<DecoderProcess> DecoderProcess::start(const std::filesystem::path& program,
                                                      const std::vector<std::string>& arguments,
                                                      std::string* error) {
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        if (error) *error = std::strerror(errno);
        return nullptr;
    }
    // The child gets its end of the socket and nothing else of the app's.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sockets[1], kChildSocket);
    posix_spawn_file_actions_addclosefrom_np(&actions, kChildSocket + 1);
    // A group of its own, so that ending the child ends whatever it started too.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<std::string> words = {program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(sockets[1]);
    if (failed != 0) {
        if (error) *error = program.string() + ": " + std::strerror(failed);
        ::close(sockets[0]);
        return nullptr;
    }
    return std::unique_ptr<DecoderProcess>(new DecoderProcess(pid, sockets[0]));
}

DecoderProcess::~DecoderProcess() {
    kill("");
    ::close(socket_);
}

void DecoderProcess::kill(std::string reason) {
    if (pid_ <= 0) return;
    // Its whole group, before the child is reaped: until then its number names no other group. The
    // child itself too, should it have left the group.
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (problem_.empty()) problem_ = std::move(reason);
}

bool DecoderProcess::send(const void* bytes, std::size_t size) {
    if (pid_ <= 0) return false;
    if (write(socket_, bytes, size)) return true;
    kill("the decoder has stopped");
    return false;
}

// The deadline is the wall clock's, not the app's clock: it guards a real process, which goes on
// running whatever time the app's clock shows.
bool DecoderProcess::receive(void* bytes, std::size_t size, const Deadline& deadline) {
    if (pid_ <= 0) return false;
    const auto due = deadline.due;
    auto* at = static_cast<char*>(bytes);
    while (size > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
        pollfd answer{socket_, POLLIN, 0};
        const int ready = left.count() > 0 ? ::poll(&answer, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            kill("the decoder did not answer within " + std::to_string(deadline.allowed.count()) + " ms");
            return false;
        }
        const ssize_t got = ready > 0 ? ::recv(socket_, at, size, 0) : -1;
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            kill("the decoder has stopped");
            return false;
        }
        at += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool DecoderProcess::dieWithTheApp(pid_t app) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    return ::getppid() == app;
}

bool DecoderProcess::write(int socket, const void* bytes, std::size_t size) {
    const auto* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t sent = ::send(socket, at, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        at += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool DecoderProcess::read(int socket, void* bytes, std::size_t size) {
    auto* at = static_cast<char*>(bytes);
    while (size > 0) {
        const ssize_t got = ::recv(socket, at, size, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        at += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace platform
