#pragma once

#include <memory>
#include <string>

#include "platform/quartzcore/ca_basic_animation.h"

namespace platform {

// A basic animation whose progress follows a damped spring released at `from` with `initialVelocity`
// (in whole from→to distances per second) towards `to`; the timing function is not used. The progress
// may overshoot 1. The animation still ends at its duration, where the model value takes over.
class CASpringAnimation : public CABasicAnimation {
public:
    static std::shared_ptr<CASpringAnimation> animationWithKeyPath(const std::string& keyPath);
    // The spring of a view's spring animation: a damping ratio (1 settles without overshoot, smaller
    // values bounce; limited to 0.01 or more), a duration it settles within, and an initial velocity.
    static std::shared_ptr<CASpringAnimation> animationWithDampingRatio(const std::string& keyPath,
                                                                        double ratio, double duration,
                                                                        double initialVelocity);

    double mass() const { return mass_; }
    void setMass(double v) { mass_ = v; }
    double stiffness() const { return stiffness_; }
    void setStiffness(double v) { stiffness_ = v; }
    double damping() const { return damping_; }
    void setDamping(double v) { damping_ = v; }
    double initialVelocity() const { return initialVelocity_; }
    void setInitialVelocity(double v) { initialVelocity_ = v; }

    // The spring's progress (0 at rest at `from`, 1 at `to`) `seconds` after release. A spring with no
    // positive mass or stiffness is at 1 at once.
    double springProgress(double seconds) const;
    // How long the spring takes until it stays within 0.001 of its target (at most 100 s).
    double settlingDuration() const;

    std::shared_ptr<CAAnimation> copy() const override { return std::make_shared<CASpringAnimation>(*this); }
    CAValue valueAt(double unit, const CAValue& underlying) const override;

    CASpringAnimation() = default;
    explicit CASpringAnimation(std::string keyPath) : CABasicAnimation(std::move(keyPath)) {}

private:
    // Distance left to the target (1 at release) and its upper bound after `seconds`.
    double remaining(double seconds) const;
    double envelope(double seconds) const;

    double mass_ = 1;
    double stiffness_ = 100;
    double damping_ = 10;
    double initialVelocity_ = 0;
};

}  // namespace platform
