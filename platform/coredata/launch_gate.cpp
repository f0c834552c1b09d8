#include "platform/coredata/launch_gate.h"

#include <condition_variable>
#include <utility>
#include <vector>

#include "platform/foundation/mutex.h"

namespace platform {

namespace {

Mutex gateMutex;
std::condition_variable changed;
bool held GUARDED_BY(gateMutex) = false;
std::vector<std::function<void()>> waiting GUARDED_BY(gateMutex);

}  // namespace

void LaunchGate::hold() {
    MutexLock lock(gateMutex);
    held = true;
}

void LaunchGate::open() {
    std::vector<std::function<void()>> work;
    {
        MutexLock lock(gateMutex);
        if (!held) return;
        held = false;
        work.swap(waiting);
    }
    changed.notify_all();
    for (auto& each : work) each();
}

bool LaunchGate::isOpen() {
    MutexLock lock(gateMutex);
    return !held;
}

void LaunchGate::whenOpen(std::function<void()> work) {
    {
        MutexLock lock(gateMutex);
        if (held) {
            waiting.push_back(std::move(work));
            return;
        }
    }
    work();
}

bool LaunchGate::wait(const std::atomic<bool>& givenUp) {
    MutexLock lock(gateMutex);
    while (held && !givenUp) lock.wait(changed);
    return !held;
}

void LaunchGate::wake() {
    // Taken and let go, so a waiter between its look at `givenUp` and its wait is waiting by now.
    { MutexLock lock(gateMutex); }
    changed.notify_all();
}

}  // namespace platform
