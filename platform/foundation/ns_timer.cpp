#include "platform/foundation/ns_timer.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/ns_run_loop.h"

namespace platform {

namespace {
// The platform's floor for a timer interval; it also keeps a zero interval from spinning.
constexpr double kMinimumInterval = 0.0001;
}  // namespace

NSTimer::NSTimer(double interval, bool repeats, Block block)
    : interval_(std::max(interval, kMinimumInterval)), repeats_(repeats), block_(std::move(block)) {}

std::shared_ptr<NSTimer> NSTimer::timerWithTimeInterval(double interval, bool repeats, Block block) {
    return std::shared_ptr<NSTimer>(new NSTimer(interval, repeats, std::move(block)));
}

std::shared_ptr<NSTimer> NSTimer::scheduledTimerWithTimeInterval(double interval, bool repeats, Block block) {
    auto timer = timerWithTimeInterval(interval, repeats, std::move(block));
    NSRunLoop::main().addTimer(timer, NSDefaultRunLoopMode);
    return timer;
}

double NSTimer::fireDate() const {
    return start_ + static_cast<double>(slot_) * interval_;
}

void NSTimer::invalidate() {
    if (!valid_) return;
    valid_ = false;
    if (scheduled_) NSRunLoop::main().removeTimer(this);
}

void NSTimer::fire() {
    if (!valid_) return;
    auto keepAlive = shared_from_this();
    if (block_) block_(*this);
    if (!repeats_) invalidate();
}

void NSTimer::fireDue(double now) {
    auto keepAlive = shared_from_this();
    if (repeats_) {
        // The next slot after now: a timer that missed several fires fires once and keeps its schedule.
        const double passed = std::floor((now - start_) / interval_);
        slot_ = std::max<std::uint64_t>(slot_ + 1, static_cast<std::uint64_t>(std::max(0.0, passed)) + 1);
    }
    if (block_) block_(*this);
    if (!repeats_) invalidate();
}

}  // namespace platform
