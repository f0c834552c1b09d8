#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/quartzcore/ca_media_timing_function.h"

namespace platform {

// Groups changes to layers. There are no implicit animations, so disableActions only records the wish;
// what a transaction does is carry a default animation duration and a completion block. The block runs
// on the main run loop once every animation added after it was set (in this transaction or one nested
// in it) has stopped, or right after the commit when there were none. Setting a value outside begin/commit
// opens an implicit transaction that commits at the end of the current run-loop turn. Main thread only.
class CATransaction {
public:
    static void begin();
    static void commit();
    // Nothing is buffered, so there is nothing to flush.
    static void flush() {}

    // Values read through the open transactions, innermost first, else the defaults (false, 0.25 s).
    static bool disableActions();
    static void setDisableActions(bool disable);
    static double animationDuration();
    static void setAnimationDuration(double seconds);
    static void setCompletionBlock(std::function<void()> block);

    // How many begin() calls have not been committed (the implicit transaction not counted).
    static int depth();

    // For layers: an animation was added. The returned token keeps the waiting completion blocks; the
    // animation hands it back through animationStopped when it stops, however it stops.
    struct Waiters;
    static std::shared_ptr<Waiters> animationAdded();
    static void animationStopped(const std::shared_ptr<Waiters>& waiters);
};

}  // namespace platform
