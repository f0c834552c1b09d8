#include "platform/uikit/scrolling/scroll_axis_motion.h"

#include <cmath>

#include "platform/quartzcore/ca_media_timing_function.h"

namespace platform {

namespace {

// At rest within a tenth of a point of the end, and for a spring also slower than this (points per
// second), so that a spring starting at its end with some speed is not taken for one at rest.
constexpr CGFloat kRestDistance = 0.1;
constexpr CGFloat kRestSpeed = 10;
// How firmly the content resists being pulled past an edge.
constexpr CGFloat kRubberBandResistance = 0.55;
// Frame times read from a clock that counts seconds since 2001 carry about 1e-7 s of rounding: a frame
// this close to a timed motion's end is its end.
constexpr double kTimeSlack = 1e-6;

bool usableRate(double rate) {
    return rate > 0 && rate < 1;
}

}  // namespace

ScrollAxisMotion ScrollAxisMotion::still(CGFloat offset) {
    ScrollAxisMotion m;
    m.from_ = m.to_ = offset;
    return m;
}

ScrollAxisMotion ScrollAxisMotion::decelerate(CGFloat from, CGFloat target, CGFloat rate, CGFloat minimum,
                                              CGFloat maximum, bool bounces) {
    if (!usableRate(rate) || target == from || !std::isfinite(target)) return still(from);
    ScrollAxisMotion m;
    m.kind_ = Kind::decay;
    m.from_ = from;
    m.to_ = target;
    m.rate_ = rate;
    m.bounces_ = bounces;
    m.minimum_ = minimum;
    m.maximum_ = maximum;
    const bool inside = from >= minimum && from <= maximum;
    if (inside && (target < minimum || target > maximum)) {
        m.edge_ = target < minimum ? minimum : maximum;
        m.edgeTime_ = m.decayTimeTo(m.edge_);
    }
    return m;
}

ScrollAxisMotion ScrollAxisMotion::spring(CGFloat from, CGFloat to, CGFloat velocity, double stiffness,
                                          bool pinned) {
    if (from == to && velocity == 0) return still(to);
    ScrollAxisMotion m;
    m.kind_ = Kind::spring;
    m.from_ = from;
    m.to_ = to;
    m.velocity_ = std::isfinite(velocity) ? velocity : 0;
    m.stiffness_ = stiffness;
    m.pinned_ = pinned;
    return m;
}

ScrollAxisMotion ScrollAxisMotion::snap(CGFloat from, CGFloat to, CGFloat velocity) {
    return spring(from, to, velocity, kPagingStiffness, false);
}

ScrollAxisMotion ScrollAxisMotion::bounce(CGFloat from, CGFloat edge, CGFloat velocity) {
    return spring(from, edge, velocity, kBounceStiffness, true);
}

ScrollAxisMotion ScrollAxisMotion::timed(CGFloat from, CGFloat to, double duration) {
    if (from == to || !(duration > 0)) return still(to);
    ScrollAxisMotion m;
    m.kind_ = Kind::timed;
    m.from_ = from;
    m.to_ = to;
    m.duration_ = duration;
    return m;
}

CGFloat ScrollAxisMotion::projectedDistance(CGFloat velocity, CGFloat rate) {
    if (!usableRate(rate) || !std::isfinite(velocity)) return 0;
    return velocity / 1000 / -std::log(rate);
}

CGFloat ScrollAxisMotion::rubberBand(CGFloat overshoot, CGFloat dimension) {
    if (!(dimension > 0) || !(overshoot > 0)) return 0;
    return (1 - 1 / (overshoot * kRubberBandResistance / dimension + 1)) * dimension;
}

CGFloat ScrollAxisMotion::rubberBandInverse(CGFloat shown, CGFloat dimension) {
    if (!(dimension > 0) || !(shown > 0)) return 0;
    // Content shown a whole dimension away would need an endless pull; keep it finite.
    const CGFloat y = std::min(shown, dimension * 0.999);
    return dimension / kRubberBandResistance * (y / (dimension - y));
}

ScrollAxisMotion::SpringState ScrollAxisMotion::springAt(CGFloat to, CGFloat x0, CGFloat v0, double stiffness,
                                                         double t) {
    const double w = stiffness;
    const double b = v0 + w * x0;
    const double decay = std::exp(-w * t);
    return {to + (x0 + b * t) * decay, (v0 - w * b * t) * decay};
}

double ScrollAxisMotion::decayTimeTo(CGFloat edge) const {
    return std::log((to_ - edge) / (to_ - from_)) / std::log(rate_) / 1000;
}

CGFloat ScrollAxisMotion::end() const {
    return kind_ == Kind::decay && edgeTime_ >= 0 ? edge_ : to_;
}

ScrollAxisMotion::Sample ScrollAxisMotion::at(double elapsed) const {
    const double t = std::max(0.0, elapsed);
    switch (kind_) {
        case Kind::still:
            return {to_, true};
        case Kind::timed: {
            if (t + kTimeSlack >= duration_) return {to_, true};
            static const auto curve =
                CAMediaTimingFunction::functionWithName(CAMediaTimingFunctionName::easeInEaseOut);
            return {from_ + (to_ - from_) * curve->solve(t / duration_), false};
        }
        case Kind::spring: {
            const auto s = springAt(to_, from_ - to_, velocity_, stiffness_, t);
            if (std::abs(s.offset - to_) < kRestDistance && std::abs(s.velocity) < kRestSpeed)
                return {to_, true};
            return {s.offset, false};
        }
        case Kind::decay:
            break;
    }
    if (edgeTime_ >= 0 && t >= edgeTime_) {
        if (!bounces_) return {edge_, true};
        return spring(edge_, edge_, velocityAt(edgeTime_), kBounceStiffness, true).at(t - edgeTime_);
    }
    const CGFloat offset = to_ - (to_ - from_) * std::pow(rate_, t * 1000);
    if (edgeTime_ < 0 && std::abs(to_ - offset) < kRestDistance) return {to_, true};
    return {offset, false};
}

CGFloat ScrollAxisMotion::velocityAt(double elapsed) const {
    const double t = std::max(0.0, elapsed);
    switch (kind_) {
        case Kind::still:
            return 0;
        case Kind::timed: {
            constexpr double h = 1e-4;
            return (at(t + h).offset - at(t).offset) / h;
        }
        case Kind::spring:
            return springAt(to_, from_ - to_, velocity_, stiffness_, t).velocity;
        case Kind::decay:
            break;
    }
    if (edgeTime_ >= 0 && t > edgeTime_) {
        if (!bounces_) return 0;
        return spring(edge_, edge_, velocityAt(edgeTime_), kBounceStiffness, true).velocityAt(t - edgeTime_);
    }
    return (to_ - from_) * std::pow(rate_, t * 1000) * -std::log(rate_) * 1000;
}

ScrollAxisMotion ScrollAxisMotion::movedBy(double elapsed, CGFloat delta) const {
    const Sample now = at(elapsed);
    if (now.atRest) return still(now.offset + delta);
    const CGFloat offset = now.offset + delta;
    switch (kind_) {
        case Kind::still:
            return still(offset);
        case Kind::timed:
            return timed(offset, to_ + delta, duration_ - elapsed);
        case Kind::spring:
            return spring(offset, pinned_ ? to_ : to_ + delta, velocityAt(elapsed), stiffness_, pinned_);
        case Kind::decay:
            break;
    }
    if (edgeTime_ >= 0 && elapsed >= edgeTime_) return bounce(offset, edge_, velocityAt(elapsed));
    // The edges belong to the content's size, which did not change; only where it glides to moves.
    return decelerate(offset, to_ + delta, rate_, minimum_, maximum_, bounces_);
}

}  // namespace platform
