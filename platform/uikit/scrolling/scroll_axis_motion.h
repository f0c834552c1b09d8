#pragma once

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

// How one axis of a scroll view moves once the finger has let go: a closed form of the time since the
// motion began, so that where the content is at a frame does not depend on how many frames came before
// it. Three shapes:
//  - deceleration: the velocity decays exponentially by the deceleration rate each millisecond, so the
//    content glides to target = from + velocity / −ln(rate) (velocity in points per millisecond). Past
//    the edges of [minimum, maximum] it stops at the edge or, when bouncing, springs back to it;
//  - spring: critically damped towards a point, for bouncing back and snapping to a page;
//  - timed: eased in and out over a duration, for animated scrolls.
// A motion is at rest once it is within a tenth of a point of where it ends and, for springs, nearly
// still; from then on it reports exactly that end.
class ScrollAxisMotion {
public:
    // Stiffness (the spring's angular frequency, per second) of a bounce back to an edge and of a snap
    // to a page: a bounce settles in about half a second, a snap in about 0.4 s.
    static constexpr double kBounceStiffness = 13;
    static constexpr double kPagingStiffness = 18;
    // An animated scroll's duration in seconds.
    static constexpr double kAnimationDuration = 0.3;

    struct Sample {
        CGFloat offset = 0;
        bool atRest = true;
    };

    ScrollAxisMotion() = default;
    static ScrollAxisMotion still(CGFloat offset);
    static ScrollAxisMotion decelerate(CGFloat from, CGFloat target, CGFloat rate, CGFloat minimum,
                                       CGFloat maximum, bool bounces);
    // `velocity` in points per second. A snap follows the content when it is moved under it; a bounce
    // goes back to the edge, which stays where it is.
    static ScrollAxisMotion snap(CGFloat from, CGFloat to, CGFloat velocity);
    static ScrollAxisMotion bounce(CGFloat from, CGFloat edge, CGFloat velocity);
    static ScrollAxisMotion timed(CGFloat from, CGFloat to, double duration);

    // How far a fling at `velocity` points per second glides at `rate`; nothing for a rate that is not
    // between 0 and 1.
    static CGFloat projectedDistance(CGFloat velocity, CGFloat rate);
    // Where content pulled `overshoot` points past an edge shows, for a view `dimension` points long: it
    // follows the finger less and less and never gets a whole dimension away.
    static CGFloat rubberBand(CGFloat overshoot, CGFloat dimension);
    // The pull that shows `shown` points past the edge: the inverse of rubberBand.
    static CGFloat rubberBandInverse(CGFloat shown, CGFloat dimension);

    Sample at(double elapsed) const;
    // Where it comes to rest.
    CGFloat end() const;
    // The same motion carried on from `elapsed` seconds in, with the content moved by `delta` (what
    // is shown moved under it, as when a view recentres its content while it glides).
    ScrollAxisMotion movedBy(double elapsed, CGFloat delta) const;

private:
    enum class Kind { still, decay, spring, timed };

    struct SpringState {
        CGFloat offset;
        CGFloat velocity;
    };
    static ScrollAxisMotion spring(CGFloat from, CGFloat to, CGFloat velocity, double stiffness, bool pinned);
    // Points per second, `elapsed` seconds in.
    CGFloat velocityAt(double elapsed) const;
    // Displacement x0 from `to`, initial velocity v0, stiffness ω: x(t) = (x0 + (v0 + ω x0) t) e^(−ωt).
    static SpringState springAt(CGFloat to, CGFloat x0, CGFloat v0, double stiffness, double t);
    // Seconds after the start at which the decay crosses `edge`.
    double decayTimeTo(CGFloat edge) const;

    Kind kind_ = Kind::still;
    CGFloat from_ = 0;
    CGFloat to_ = 0;
    CGFloat velocity_ = 0;  // spring: the initial velocity
    double stiffness_ = 0;
    bool pinned_ = false;  // a spring whose end is an edge of the content
    double rate_ = 0;      // decay: the rate per millisecond
    double duration_ = 0;  // timed
    // A decay's range; when and where it leaves it, and whether it then springs back.
    CGFloat minimum_ = 0;
    CGFloat maximum_ = 0;
    double edgeTime_ = -1;
    CGFloat edge_ = 0;
    bool bounces_ = false;
};

}  // namespace platform
