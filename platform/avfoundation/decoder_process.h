#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// A child process that decodes untrusted bytes for the app. A decoding library can be led by a file
// into a loop it never leaves, and a thread stuck in a library cannot be stopped from inside the
// process; a child can. The child talks over a socket; every answer the app waits for has a deadline,
// and a child that misses it, or says something that makes no sense, is killed at once — it costs
// neither a core nor a thread for longer than that. A child also dies with the thread that started it.
class DecoderProcess {
public:
    // Starts a child that runs `work` with its end of the socket, then exits. Null, with the reason,
    // when no process can be had.
    static std::unique_ptr<DecoderProcess> start(const std::function<void(int socket)>& work, std::string* error);
    // Kills and reaps the child, whatever it is doing.
    ~DecoderProcess();
    DecoderProcess(const DecoderProcess&) = delete;
    DecoderProcess& operator=(const DecoderProcess&) = delete;

    // Sends the whole of `bytes`; false once the child is gone.
    bool send(const void* bytes, std::size_t size);
    // Reads exactly `size` bytes, waiting at most `deadline` for all of them; false, with the child
    // killed and the reason kept in problem(), when they do not come in time or the child ends.
    bool receive(void* bytes, std::size_t size, std::chrono::milliseconds deadline);
    // Ends the child as if it had missed a deadline: for an answer that makes no sense.
    void kill(std::string reason);

    bool alive() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    const std::string& problem() const { return problem_; }

    // In the child: the same, without deadlines (the app keeps those). False once the app has gone.
    static bool write(int socket, const void* bytes, std::size_t size);
    static bool read(int socket, void* bytes, std::size_t size);

private:
    DecoderProcess(pid_t pid, int socket) : pid_(pid), socket_(socket) {}

    pid_t pid_;
    int socket_;
    std::string problem_;
};

}  // namespace platform
