#pragma once

namespace platform {

class NSThread {
public:
    // The main thread is the one that started the process; it runs the main run loop.
    static bool isMainThread();
};

}  // namespace platform
