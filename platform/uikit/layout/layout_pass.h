#pragma once

#include <memory>

namespace platform {

class UIView;

// The deferred layout pass: views marked with setNeedsLayout are laid out together by one block on the
// main run loop, however many times they were marked before it runs.
class LayoutPass {
public:
    // Remembers the root of a tree that has something to lay out, and queues a pass if none is queued.
    static void request(UIView& root);
    // Queues a pass if none is queued.
    static void schedule();
    // Lays out every requested tree now.
    static void run();
    static bool isScheduled();
};

}  // namespace platform
