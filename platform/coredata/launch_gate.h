#pragma once

#include <atomic>
#include <functional>

namespace platform {

// Holds back work whose cost grows with the stored data (checking every page of a large file, reading
// every stored record, a merge) while the app draws its first frame: on two cores that work would take
// one from the launch. The gate is open unless held, so a process that never holds it (a test, a tool)
// runs everything at once; the desktop shell holds it until its first frame shows.
class LaunchGate {
public:
    // Before the app launches.
    static void hold();
    // Once the first frame shows, or when a caller cannot go on without the held work.
    static void open();
    static bool isOpen();
    // Runs `work` on the thread that opens the gate, or at once when it is open.
    static void whenOpen(std::function<void()> work);
    // Blocks until the gate opens or, after a wake(), `givenUp` is set; whether it opened.
    static bool wait(const std::atomic<bool>& givenUp);
    // Has the waiters look at what they would give up for.
    static void wake();
};

}  // namespace platform
