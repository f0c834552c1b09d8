#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace platform {

class NSRunLoop;

// A timer of the main run loop, without tolerance. A repeating timer keeps its schedule: it fires at
// start + n × interval, and when it could not fire for a while it fires once and skips what it missed.
class NSTimer : public std::enable_shared_from_this<NSTimer> {
public:
    using Block = std::function<void(NSTimer&)>;

    // A timer not yet on a run loop; add it with NSRunLoop::addTimer.
    static std::shared_ptr<NSTimer> timerWithTimeInterval(double interval, bool repeats, Block block);
    // A timer added to the main run loop in the default mode.
    static std::shared_ptr<NSTimer> scheduledTimerWithTimeInterval(double interval, bool repeats,
                                                                   Block block);

    void invalidate();
    bool isValid() const { return valid_; }
    // Fires now without changing the schedule; a non-repeating timer is then invalidated.
    void fire();

    double timeInterval() const { return interval_; }
    bool repeats() const { return repeats_; }
    // Seconds since the reference date at which the timer fires next.
    double fireDate() const;

private:
    NSTimer(double interval, bool repeats, Block block);
    friend class NSRunLoop;
    // Called by the run loop once now ≥ fireDate().
    void fireDue(double now);

    double interval_;
    bool repeats_;
    Block block_;
    bool valid_ = true;
    double start_ = 0;
    std::uint64_t slot_ = 1;  // the next fire is at start_ + slot_ × interval_
    std::set<std::string> modes_;
    bool scheduled_ = false;
};

}  // namespace platform
