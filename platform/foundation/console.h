#pragma once

#include <string>
#include <vector>

#include "platform/foundation/mutex.h"

namespace platform {

// The app's console output (the platform's print and NSLog). Lines go to standard error unless a
// Capture is alive, which keeps them for a test to read.
class Console {
public:
    static void print(const std::string& line);

    // While alive, printed lines are collected here instead of being written out.
    class Capture {
    public:
        Capture();
        ~Capture();
        Capture(const Capture&) = delete;
        Capture& operator=(const Capture&) = delete;

        std::vector<std::string> lines() const;
        bool contains(const std::string& text) const;

    private:
        friend class Console;
        // Guarded by the console's one mutex: a line is kept under the same lock that finds the capture,
        // so no two locks are ever taken in turn.
        std::vector<std::string> lines_ GUARDED_BY(Console::mutex_);
    };

private:
    static Mutex mutex_;
    static Capture* active_ GUARDED_BY(mutex_);
};

}  // namespace platform
