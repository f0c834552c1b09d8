#include "platform/quartzcore/ca_animation_scheduler.h"

#include <limits>

#include "platform/foundation/ns_run_loop.h"
#include "platform/quartzcore/ca_animation.h"
#include "platform/quartzcore/ca_layer.h"
#include "platform/quartzcore/ca_media_time.h"

namespace platform {

namespace {
constexpr double kNever = std::numeric_limits<double>::infinity();
}  // namespace

CAAnimationScheduler& CAAnimationScheduler::shared() {
    static CAAnimationScheduler* scheduler = new CAAnimationScheduler();  // outlives every layer
    return *scheduler;
}

void CAAnimationScheduler::attach(const std::shared_ptr<CALayer>& layer,
                                  const std::shared_ptr<CAAnimation>& animation) {
    auto entry = std::make_shared<Entry>();
    entry->layer = layer;
    entry->animation = animation;
    entry->order = nextOrder_++;
    entry->waiters = CATransaction::animationAdded();
    entries_.push_back(std::move(entry));
    reschedule();
}

void CAAnimationScheduler::detach(const CAAnimation* animation) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if ((*it)->animation.get() != animation) continue;
        auto entry = *it;
        entries_.erase(it);
        NSRunLoop::main().perform([entry] { deliverStop(entry->animation, entry->waiters, false); });
        reschedule();
        return;
    }
}

void CAAnimationScheduler::timingChanged() {
    if (!entries_.empty()) reschedule();
}

double CAAnimationScheduler::eventTime(const Entry& entry) const {
    const auto layer = entry.layer.lock();
    if (!layer) return -kNever;  // a layer gone without saying: stop its animation at once
    const double local = entry.started ? entry.animation->endTime() : entry.animation->beginTime();
    if (local == kNever) return kNever;
    return layer->mediaTimeFromLocal(local);
}

void CAAnimationScheduler::reschedule() {
    Clock& clock = Clock::shared();
    if (clock_ != &clock) {  // a new clock comes with a fresh run loop: nothing of ours is pending
        clock_ = &clock;
        token_ = 0;
        fireQueued_ = false;
    }
    double earliest = kNever;
    for (const auto& entry : entries_) earliest = std::min(earliest, eventTime(*entry));

    if (earliest <= clock.now()) {
        if (token_) clock.cancel(token_);
        token_ = 0;
        if (!fireQueued_) {
            fireQueued_ = true;
            NSRunLoop::main().perform([] { shared().fire(); });
        }
        return;
    }
    if (token_ && deadline_ == earliest) return;
    if (token_) clock.cancel(token_);
    token_ = 0;
    if (earliest == kNever) return;
    deadline_ = earliest;
    token_ = clock.schedule(earliest, [] { NSRunLoop::main().perform([] { shared().fire(); }); });
}

void CAAnimationScheduler::fire() {
    fireQueued_ = false;
    token_ = 0;
    for (;;) {
        const double now = CACurrentMediaTime();
        std::shared_ptr<Entry> next;
        double nextTime = kNever;
        for (const auto& entry : entries_) {
            const double t = eventTime(*entry);
            if (t > now) continue;
            if (!next || t < nextTime || (t == nextTime && entry->order < next->order)) {
                next = entry;
                nextTime = t;
            }
        }
        if (!next) break;

        const auto animation = next->animation;
        if (!next->started) {
            next->started = true;
            if (animation->delegate()) animation->delegate()->animationDidStart(animation);
            continue;
        }
        std::erase(entries_, next);
        if (const auto layer = next->layer.lock(); layer && animation->isRemovedOnCompletion()) {
            layer->dropAnimation(animation.get());
        }
        deliverStop(animation, next->waiters, true);
    }
    reschedule();
}

void CAAnimationScheduler::deliverStop(const std::shared_ptr<CAAnimation>& animation,
                                       const std::shared_ptr<CATransaction::Waiters>& waiters,
                                       bool finished) {
    if (animation->delegate()) animation->delegate()->animationDidStop(animation, finished);
    if (animation->completion()) animation->completion()(finished);
    CATransaction::animationStopped(waiters);
}

}  // namespace platform
