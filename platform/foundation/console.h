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
        mutable Mutex mutex_;
        std::vector<std::string> lines_ GUARDED_BY(mutex_);
    };
};

}  // namespace platform
