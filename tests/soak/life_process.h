#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::soak {

// A child process of this program that runs one life of the app: it reads one step a line on its
// descriptor 3 and answers one line a step on its descriptor 4; what it prints goes to a log file.
class LifeProcess {
public:
    // Starts this program again with `arguments`; null when it cannot.
    static std::unique_ptr<LifeProcess> start(const std::vector<std::string>& arguments,
                                              const std::filesystem::path& log);
    ~LifeProcess();
    LifeProcess(const LifeProcess&) = delete;
    LifeProcess& operator=(const LifeProcess&) = delete;

    bool send(const std::string& line);
    enum class Wait { answered, ended, timedOut };
    // The next line it answers, waiting at most `seconds` of the wall clock.
    Wait await(std::string& line, double seconds);
    // Killed at once, as SIGKILL does: nothing of its teardown runs.
    void kill();
    // How it ended ("exited with 0", "killed by signal 6"), waiting at most `seconds`; empty while it
    // still runs after that.
    std::optional<std::string> ended(double seconds);
    bool exitedCleanly() const { return exitedCleanly_; }

private:
    LifeProcess() = default;

    pid_t pid_ = -1;
    int commands_ = -1;
    int answers_ = -1;
    std::string buffered_;
    std::optional<std::string> end_;
    bool exitedCleanly_ = false;
};

}  // namespace quorvel::soak
