#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/eventually.h"

namespace quorvel::testing {

// The real quorvel program, started on a given X display with its trace on (QUORVEL_TRACE=1), its
// data in `home`, no sound device, no session bus, and SDL told to use X11 explicitly. Its standard output
// and error are read line by line as it runs. Killed at the end if still running. An empty `display`
// starts it with no desktop at all.
class ShellProcess {
public:
    using Seconds = std::chrono::duration<double>;
    // Variables set over those above; an empty value leaves one out (SDL_VIDEODRIVER, to start it as a
    // person does).
    using Environment = std::vector<std::pair<std::string, std::string>>;

    ShellProcess(const std::string& display, const std::filesystem::path& home,
                 const std::vector<std::string>& arguments, const Environment& environment = {});
    // Another program, such as a benchmark's baseline window, started and read the same way.
    ShellProcess(const std::filesystem::path& program, const std::string& display,
                 const std::filesystem::path& home, const std::vector<std::string>& arguments,
                 const Environment& environment = {});
    ~ShellProcess();
    ShellProcess(const ShellProcess&) = delete;
    ShellProcess& operator=(const ShellProcess&) = delete;

    pid_t pid() const { return pid_; }
    // The first line from here on that contains `text`; nothing when the program said nothing like it
    // within `timeout` (a guard against hanging) or ended.
    std::optional<std::string> waitForLine(std::string_view text, Seconds timeout = kPatience);
    // Whether the program has said a line that contains `text`, by now or within `timeout`.
    bool hasSaid(std::string_view text, Seconds timeout = kPatience);
    // Every line read so far, and how many of them contain `text`.
    const std::vector<std::string>& lines() const { return lines_; }
    std::size_t count(std::string_view text) const;
    // Reads what the program says for `duration`.
    void listen(Seconds duration);
    // Reads what the program says for at least `duration`, then until it has settled after everything
    // it was told and drew (its trace's "settled" line after its last touch, turn, split, life-cycle
    // step and frame): the time a person would wait, and then what a loaded machine still owed. False
    // when it did not settle within `timeout`.
    bool settle(Seconds duration, Seconds timeout = kPatience);
    // Reads until `duration` passes without a frame: true once it did, false when the program kept
    // drawing for `timeout`. What a change started may step on for a while; an idle program draws nothing.
    bool drawsNothingFor(Seconds duration, Seconds timeout = kPatience);
    // Reads what the program has said by now, without waiting for more.
    void drain();
    // The exit status, once the program ended within `timeout`.
    std::optional<int> waitForExit(Seconds timeout = kPatience);
    // Everything it said, for a failure message.
    std::string transcript() const;

    // The program's processor time so far (user and system), in seconds.
    double cpuSeconds() const;

private:
    // Reads until a line arrives or the deadline passes; false when nothing more can come.
    bool readLine(std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = -1;
    int output_ = -1;
    std::string partial_;
    std::vector<std::string> lines_;
    std::size_t checked_ = 0;
    std::optional<int> exitStatus_;
};

}  // namespace quorvel::testing
