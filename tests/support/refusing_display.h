#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

namespace quorvel::testing {

// An X display number of the test's own whose connections it decides: each one is refused with the X
// protocol's own answer and `reason`, as a server that takes no one in answers. Given `thenLeadTo`,
// another ":N" of a real server on this machine, only the first is refused: the number leads to that
// server before the refusal is sent, so the client's next try, however soon, finds it.
class RefusingDisplay {
public:
    explicit RefusingDisplay(std::string reason, std::string thenLeadTo = {});
    ~RefusingDisplay();
    RefusingDisplay(const RefusingDisplay&) = delete;
    RefusingDisplay& operator=(const RefusingDisplay&) = delete;

    // A display name that no server answers on now.
    static std::string unserved();

    bool started() const { return !name_.empty(); }
    // ":N", for DISPLAY; empty when no number could be taken.
    const std::string& name() const { return name_; }
    // Whether a connection was refused by now, waiting up to `timeout` for the first.
    bool waitForRefusal(std::chrono::duration<double> timeout);

private:
    void refuseConnections();
    void stopRefusing();
    // From now on the number leads to the server of `display`.
    bool leadTo(const std::string& display);

    std::string reason_;
    std::string thenLeadTo_;
    std::string name_;
    std::filesystem::path socket_;
    int listener_ = -1;
    std::mutex mutex_;
    std::condition_variable refused_;
    int refusals_ = 0;
    bool stopping_ = false;
    std::thread refuser_;
};

}  // namespace quorvel::testing
