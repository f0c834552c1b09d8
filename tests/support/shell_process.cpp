#include "tests/support/shell_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <thread>
#include <utility>

extern char** environ;

namespace quorvel::testing {

namespace {

using SteadyClock = std::chrono::steady_clock;

SteadyClock::time_point after(ShellProcess::Seconds timeout) {
    return SteadyClock::now() + std::chrono::duration_cast<SteadyClock::duration>(timeout);
}

std::vector<std::string> environmentFor(const std::string& display, const std::filesystem::path& home,
                                        const ShellProcess::Environment& extra) {
    // No session bus either: the program must not reach the desktop's (to inhibit its screensaver,
    // say), and without an address libdbus would try to start one for the X display.
    std::vector<std::pair<std::string, std::string>> own = {
        {"DISPLAY", display},
        {"SDL_VIDEODRIVER", "x11"},
        {"WAYLAND_DISPLAY", ""},
        {"SDL_AUDIODRIVER", "dummy"},
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (home / "no-session-bus").string()},
        {"QUORVEL_HOME", home},
        {"QUORVEL_TRACE", "1"},
    };
    // No display: none of the desktop's variables at all.
    if (display.empty()) own[1].second = "";
    for (const auto& variable : extra) {
        const auto same = [&](const auto& mine) { return mine.first == variable.first; };
        if (const auto it = std::find_if(own.begin(), own.end(), same); it != own.end()) {
            it->second = variable.second;
        } else {
            own.push_back(variable);
        }
    }
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const auto& [name, value] : own) replaced |= entry.starts_with(name + "=");
        if (!replaced) env.push_back(entry);
    }
    for (const auto& [name, value] : own) {
        if (!value.empty()) env.push_back(name + "=" + value);
    }
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (auto& s : strings) result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

}  // namespace

ShellProcess::ShellProcess(const std::string& display, const std::filesystem::path& home,
                           const std::vector<std::string>& arguments, const Environment& environment)
    : ShellProcess(QUORVEL_EXECUTABLE, display, home, arguments, environment) {}

ShellProcess::ShellProcess(const std::filesystem::path& program, const std::string& display,
                           const std::filesystem::path& home, const std::vector<std::string>& arguments,
                           const Environment& environment) {
    std::vector<std::string> args = {program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env = environmentFor(display, home, environment);
    auto argv = pointers(args);
    auto envp = pointers(env);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(out[1], STDERR_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    output_ = out[0];
    fcntl(output_, F_SETFL, O_NONBLOCK);
}

ShellProcess::~ShellProcess() {
    if (pid_ > 0 && !exitStatus_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
}

bool ShellProcess::readLine(SteadyClock::time_point deadline) {
    while (output_ >= 0) {
        if (const auto end = partial_.find('\n'); end != std::string::npos) {
            lines_.push_back(partial_.substr(0, end));
            partial_.erase(0, end + 1);
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0) return true;
        pollfd wait{output_, POLLIN, 0};
        if (poll(&wait, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(output_, buffer, sizeof buffer);
        if (n > 0) {
            partial_.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            close(output_);
            output_ = -1;
            if (!partial_.empty()) lines_.push_back(std::exchange(partial_, {}));
        }
    }
    return false;
}

std::optional<std::string> ShellProcess::waitForLine(std::string_view text, Seconds timeout) {
    const auto deadline = after(timeout);
    for (;;) {
        for (; checked_ < lines_.size(); ++checked_) {
            if (lines_[checked_].find(text) != std::string::npos) return lines_[checked_++];
        }
        if (SteadyClock::now() >= deadline || !readLine(deadline)) return std::nullopt;
    }
}

bool ShellProcess::hasSaid(std::string_view text, Seconds timeout) {
    return count(text) > 0 || waitForLine(text, timeout);
}

std::size_t ShellProcess::count(std::string_view text) const {
    std::size_t n = 0;
    for (const auto& line : lines_) n += line.find(text) != std::string::npos;
    return n;
}

void ShellProcess::listen(Seconds duration) {
    const auto deadline = after(duration);
    while (SteadyClock::now() < deadline && readLine(deadline)) {
    }
}

bool ShellProcess::settle(Seconds duration, Seconds timeout) {
    listen(duration);
    const auto said = [this](std::size_t line, std::initializer_list<std::string_view> texts) {
        return std::any_of(texts.begin(), texts.end(),
                           [&](std::string_view text) { return lines_[line].starts_with(text); });
    };
    // Settled once a "settled" line follows every line of what the program was told or drew.
    std::size_t settledAt = 0, actedAt = 0;
    for (std::size_t line = 0; line < lines_.size(); ++line) {
        if (said(line, {"quorvel: settled"})) settledAt = line + 1;
        if (said(line, {"quorvel: frame ", "quorvel: touch ", "quorvel: device ", "quorvel: split ",
                        "quorvel: life-cycle "}))
            actedAt = line + 1;
    }
    if (settledAt > actedAt) return true;
    const auto deadline = after(timeout);
    for (std::size_t line = lines_.size();; ++line) {
        while (line == lines_.size()) {
            if (SteadyClock::now() >= deadline || !readLine(deadline)) return false;
        }
        if (said(line, {"quorvel: settled"})) return true;
    }
}

bool ShellProcess::drawsNothingFor(Seconds duration, Seconds timeout) {
    const auto deadline = after(timeout);
    for (;;) {
        const auto frames = count("quorvel: frame ");
        listen(duration);
        if (count("quorvel: frame ") == frames) return true;
        if (SteadyClock::now() >= deadline) return false;
    }
}

void ShellProcess::drain() {
    while (output_ >= 0) {
        char buffer[4096];
        const ssize_t n = read(output_, buffer, sizeof buffer);
        if (n < 0) break;  // nothing more yet
        if (n == 0) {
            close(output_);
            output_ = -1;
            break;
        }
        partial_.append(buffer, static_cast<std::size_t>(n));
    }
    for (auto end = partial_.find('\n'); end != std::string::npos; end = partial_.find('\n')) {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
    if (output_ < 0 && !partial_.empty()) lines_.push_back(std::exchange(partial_, {}));
}

std::optional<int> ShellProcess::waitForExit(Seconds timeout) {
    const auto deadline = after(timeout);
    while (!exitStatus_ && pid_ > 0) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (SteadyClock::now() >= deadline) break;
        // Keep the pipe drained, so a chatty program never blocks on a full one.
        if (!readLine(std::min(deadline, SteadyClock::now() + std::chrono::milliseconds(20))))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (exitStatus_) listen(Seconds(0.2));
    return exitStatus_;
}

std::string ShellProcess::transcript() const {
    std::string all;
    for (const auto& line : lines_) all += line + "\n";
    return all + partial_;
}

double ShellProcess::cpuSeconds() const {
    // The process's CPU-time clock: to the nanosecond, where /proc/<pid>/stat counts in clock ticks
    // (a tenth of a percent of a core over ten seconds).
    clockid_t clock;
    timespec time{};
    if (pid_ <= 0 || clock_getcpuclockid(pid_, &clock) != 0 || clock_gettime(clock, &time) != 0) return 0;
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}

}  // namespace quorvel::testing
