#include "platform/quartzcore/ca_display_link.h"

#include "platform/foundation/ns_timer.h"
#include "platform/quartzcore/ca_media_time.h"

namespace platform {

std::shared_ptr<CADisplayLink> CADisplayLink::displayLinkWithTarget(Callback callback) {
    return std::shared_ptr<CADisplayLink>(new CADisplayLink(std::move(callback)));
}

CADisplayLink::~CADisplayLink() {
    if (timer_) timer_->invalidate();
}

void CADisplayLink::addToRunLoop(NSRunLoop& runLoop, const NSRunLoopMode& mode) {
    if (!valid_) return;
    if (!timer_) {
        timer_ = NSTimer::timerWithTimeInterval(kFrameDuration, true, [weak = weak_from_this()](NSTimer&) {
            if (auto self = weak.lock()) self->frame();
        });
        timestamp_ = CACurrentMediaTime();
    }
    runLoop.addTimer(timer_, mode);
}

void CADisplayLink::invalidate() {
    if (!valid_) return;
    valid_ = false;
    if (auto timer = std::move(timer_)) timer->invalidate();
}

void CADisplayLink::frame() {
    if (!valid_ || paused_) return;
    auto keepAlive = shared_from_this();
    timestamp_ = CACurrentMediaTime();
    if (callback_) callback_(*this);
}

}  // namespace platform
