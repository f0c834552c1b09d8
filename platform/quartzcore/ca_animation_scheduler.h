#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/quartzcore/ca_transaction.h"

namespace platform {

class CAAnimation;
class CALayer;

// Delivers the start and stop of every running layer animation from the process clock: one clock
// callback for the earliest event, which hands over to the main run loop, so that VirtualClock::advance
// delivers them in time order (equal times in the order the animations were added). Layers call it;
// nothing else needs to. Main thread only.
class CAAnimationScheduler {
public:
    static CAAnimationScheduler& shared();

    // The layer now runs `animation`.
    void attach(const std::shared_ptr<CALayer>& layer, const std::shared_ptr<CAAnimation>& animation);
    // The animation left its layer before it stopped (removed, replaced, or the layer is going away): it
    // stops unfinished, delivered on the main run loop so the caller is not re-entered.
    void detach(const CAAnimation* animation);
    // A layer's timing or place in the tree changed: event times are worked out again.
    void timingChanged();
    bool isIdle() const { return entries_.empty(); }

private:
    struct Entry {
        std::weak_ptr<CALayer> layer;
        std::shared_ptr<CAAnimation> animation;
        std::uint64_t order = 0;
        bool started = false;
        std::shared_ptr<CATransaction::Waiters> waiters;
    };

    double eventTime(const Entry& entry) const;
    void reschedule();
    void fire();
    static void deliverStop(const std::shared_ptr<CAAnimation>& animation,
                            const std::shared_ptr<CATransaction::Waiters>& waiters, bool finished);

    std::vector<std::shared_ptr<Entry>> entries_;
    std::uint64_t nextOrder_ = 1;
    const Clock* clock_ = nullptr;
    Clock::Token token_ = 0;
    double deadline_ = 0;
    bool fireQueued_ = false;
};

}  // namespace platform
