#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A program of its own that decodes untrusted bytes for the app. A decoding library can be led by a file
// into a loop it never leaves, and a thread stuck in a library cannot be stopped from inside the process;
// a child process can. The child is a fresh program (spawned, not a copy of the app, whose other threads
// may hold locks the copy would wait on for ever) that talks over a socket on its descriptor 3. Every
// answer the app waits for has a deadline, and a child that misses it, or says something that makes no
// sense, is killed at once: it costs neither a core nor a thread for longer than that.
class DecoderProcess {
public:
    // The child's end of the socket.
    static constexpr int kChildSocket = 3;

    // When an answer, however many messages it takes, must have come: one wait for the whole of a call.
    struct Deadline {
        std::chrono::steady_clock::time_point due;
        std::chrono::milliseconds allowed;
        static Deadline in(std::chrono::milliseconds allowed) {
            return {std::chrono::steady_clock::now() + allowed, allowed};
        }
    };

    // Starts `program` with `arguments`; null, with the reason, when it cannot be started.
    static std::unique_ptr<DecoderProcess> start(const std::filesystem::path& program,
                                                 const std::vector<std::string>& arguments,
                                                 std::string* error);
    // Kills the child and whatever it started (its process group), and reaps the child.
    ~DecoderProcess();
    DecoderProcess(const DecoderProcess&) = delete;
    DecoderProcess& operator=(const DecoderProcess&) = delete;

    // Sends the whole of `bytes`; false once the child is gone.
    bool send(const void* bytes, std::size_t size);
    // Reads exactly `size` bytes by the deadline; false, with the child killed and the reason kept in
    // problem(), when they do not come in time or the child ends.
    bool receive(void* bytes, std::size_t size, const Deadline& deadline);
    bool receive(void* bytes, std::size_t size, std::chrono::milliseconds deadline) {
        return receive(bytes, size, Deadline::in(deadline));
    }
    // Ends the child and its group as if it had missed a deadline: for an answer that makes no sense.
    void kill(std::string reason);

    bool alive() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    const std::string& problem() const { return problem_; }

    // In the child: ends it when the app's thread that started it ends, however it ends. False when
    // that has already happened.
    static bool dieWithTheApp(pid_t app);
    // In the child: the socket's whole messages, without deadlines (the app keeps those). False once the
    // app has gone.
    static bool write(int socket, const void* bytes, std::size_t size);
    static bool read(int socket, void* bytes, std::size_t size);

private:
    DecoderProcess(pid_t pid, int socket) : pid_(pid), socket_(socket) {}

    pid_t pid_;
    int socket_;
    std::string problem_;
};

}  // namespace platform
