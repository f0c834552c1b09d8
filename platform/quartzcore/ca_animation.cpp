#include "platform/quartzcore/ca_animation.h"

#include <algorithm>
#include <cmath>

namespace platform {

std::any CAAnimation::valueForKey(const std::string& key) const {
    const auto it = values_.find(key);
    return it == values_.end() ? std::any() : it->second;
}

double CAAnimation::activeDuration() const {
    const double cycle = cycleDuration();
    if (repeatCount_ > 0)
        return std::isinf(repeatCount_) ? std::numeric_limits<double>::infinity() : repeatCount_ * cycle;
    return cycle;
}

double CAAnimation::endTime() const {
    const double active = activeDuration();
    if (std::isinf(active) || !(speed_ > 0)) return std::numeric_limits<double>::infinity();
    return beginTime_ + (active - timeOffset_) / speed_;
}

std::optional<double> CAAnimation::unitFraction(double parentTime, bool inclusiveEnd) const {
    const double d = duration_;
    const double active = activeDuration();
    const double t = (parentTime - beginTime_) * speed_ + timeOffset_;
    const bool fillsBackwards = fillMode_ == CAFillMode::backwards || fillMode_ == CAFillMode::both;
    const bool fillsForwards = fillMode_ == CAFillMode::forwards || fillMode_ == CAFillMode::both;
    if (!(d > 0)) {  // an instant: its end value from the start
        if (t < 0 && !fillsBackwards) return std::nullopt;
        if (t > 0 && !fillsForwards && !(inclusiveEnd && t == 0)) return std::nullopt;
        return 1.0;
    }
    double local;
    if (t < 0) {
        if (!fillsBackwards) return std::nullopt;
        local = 0;
    } else if (t < active) {
        local = std::fmod(t, cycleDuration());
    } else {  // at or after the end: the end of the last (possibly partial) cycle
        if (!fillsForwards && !(inclusiveEnd && t == active)) return std::nullopt;
        local = std::fmod(active, cycleDuration());
        if (local == 0) local = cycleDuration();
    }
    if (autoreverses_ && local > d) local = 2 * d - local;
    return std::clamp(local / d, 0.0, 1.0);
}

void CAAnimation::apply(const std::string& property, CAValue& value, double parentTime,
                        bool inclusiveEnd) const {
    (void)property;
    (void)value;
    (void)parentTime;
    (void)inclusiveEnd;
}

void CAAnimation::prepareForLayer(double layerTime, double defaultDuration) {
    if (beginTime_ == 0) beginTime_ = layerTime;
    if (!(duration_ > 0)) duration_ = defaultDuration;
}

}  // namespace platform
