#include "platform/ensembles/arrival_debouncer.h"

#include <algorithm>

#include "platform/foundation/clock.h"

namespace platform {

std::shared_ptr<ArrivalDebouncer> ArrivalDebouncer::create(double quietSeconds, double longestSeconds,
                                                           Callback started, Callback ended) {
    std::shared_ptr<ArrivalDebouncer> debouncer(
        new ArrivalDebouncer(quietSeconds, longestSeconds, std::move(started), std::move(ended)));
    debouncer->timer_->setEventHandler([weak = debouncer->weak_from_this()] {
        if (auto self = weak.lock()) self->burstEnded();
    });
    debouncer->timer_->resume();
    return debouncer;
}

ArrivalDebouncer::ArrivalDebouncer(double quietSeconds, double longestSeconds, Callback started,
                                   Callback ended)
    : quiet_(quietSeconds),
      longest_(longestSeconds),
      started_(std::move(started)),
      ended_(std::move(ended)),
      timer_(DispatchSourceTimer::create(DispatchQueue::main())) {}

ArrivalDebouncer::~ArrivalDebouncer() {
    timer_->cancel();
}

void ArrivalDebouncer::noteArrival() {
    const double now = Clock::shared().now();
    const bool starting = !burstStart_;
    if (starting) burstStart_ = now;
    // Each arrival pushes the end back, but never past the longest wait.
    timer_->schedule(std::min(quiet_, *burstStart_ + longest_ - now));
    if (starting && started_) started_();
}

void ArrivalDebouncer::burstEnded() {
    burstStart_.reset();
    if (ended_) ended_();
}

}  // namespace platform
