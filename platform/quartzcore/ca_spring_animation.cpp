#include "platform/quartzcore/ca_spring_animation.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr double kSettled = 0.001;
constexpr double kLongestSettling = 100;

struct Spring {
    double omega;  // undamped angular frequency
    double zeta;   // damping ratio
    bool valid;
};

Spring springOf(double mass, double stiffness, double damping) {
    if (!(mass > 0) || !(stiffness > 0) || !std::isfinite(mass) || !std::isfinite(stiffness)) {
        return {0, 0, false};
    }
    const double omega = std::sqrt(stiffness / mass);
    return {omega, std::max(0.0, damping) / (2 * std::sqrt(stiffness * mass)), true};
}

// An overdamped spring (ζ > 1) of frequency ω starting at e(0) = 1, e'(0) = −v0 is
// (1 − c2)·e^(r1 t) + c2·e^(r2 t).
struct Overdamped {
    double r1, r2, c2;
};

Overdamped overdampedOf(double omega, double zeta, double v0) {
    const double root = std::sqrt(zeta * zeta - 1);
    const double r1 = -omega * (zeta - root), r2 = -omega * (zeta + root);
    return {r1, r2, (-v0 - r1) / (r2 - r1)};
}

}  // namespace

std::shared_ptr<CASpringAnimation> CASpringAnimation::animationWithKeyPath(const std::string& keyPath) {
    return std::make_shared<CASpringAnimation>(keyPath);
}

std::shared_ptr<CASpringAnimation> CASpringAnimation::animationWithDampingRatio(const std::string& keyPath,
                                                                                double ratio, double duration,
                                                                                double initialVelocity) {
    auto spring = animationWithKeyPath(keyPath);
    const double zeta = std::max(0.01, std::isfinite(ratio) ? ratio : 1.0);
    const double d = duration > 0 ? duration : 0.25;
    // Pick the frequency whose envelope falls to the settling threshold at the duration:
    // e^(−ζω t) for a bouncing spring, (1 + r t)·e^(−r t) = 0.001 (r t ≈ 9.233) for a non-bouncing one.
    const double omega =
        zeta < 1 ? std::log(1 / kSettled) / (zeta * d) : 9.233 / (d * (zeta - std::sqrt(zeta * zeta - 1)));
    spring->setMass(1);
    spring->setStiffness(omega * omega);
    spring->setDamping(2 * zeta * omega);
    spring->setInitialVelocity(std::isfinite(initialVelocity) ? initialVelocity : 0);
    spring->setDuration(d);
    return spring;
}

double CASpringAnimation::remaining(double t) const {
    const Spring s = springOf(mass_, stiffness_, damping_);
    if (!s.valid) return 0;
    const double w = s.omega, z = s.zeta, v0 = initialVelocity_;
    // e(t) with e(0) = 1 and e'(0) = −v0.
    if (z < 1) {
        const double wd = w * std::sqrt(1 - z * z);
        return std::exp(-z * w * t) * (std::cos(wd * t) + (z * w - v0) / wd * std::sin(wd * t));
    }
    if (z == 1) return std::exp(-w * t) * (1 + (w - v0) * t);
    const auto [r1, r2, c2] = overdampedOf(w, z, v0);
    return (1 - c2) * std::exp(r1 * t) + c2 * std::exp(r2 * t);
}

double CASpringAnimation::envelope(double t) const {
    const Spring s = springOf(mass_, stiffness_, damping_);
    if (!s.valid) return 0;
    const double w = s.omega, z = s.zeta, v0 = initialVelocity_;
    if (z < 1) {
        const double wd = w * std::sqrt(1 - z * z);
        const double b = (z * w - v0) / wd;
        return std::exp(-z * w * t) * std::sqrt(1 + b * b);
    }
    if (z == 1) return std::exp(-w * t) * (1 + std::abs(w - v0) * t);
    const auto [r1, r2, c2] = overdampedOf(w, z, v0);
    return std::abs(1 - c2) * std::exp(r1 * t) + std::abs(c2) * std::exp(r2 * t);
}

double CASpringAnimation::springProgress(double seconds) const {
    return 1 - remaining(std::max(0.0, seconds));
}

double CASpringAnimation::settlingDuration() const {
    if (!springOf(mass_, stiffness_, damping_).valid) return 0;
    constexpr double step = 1.0 / 240;
    double lastOutside = 0;
    for (double t = 0; t <= kLongestSettling; t += step) {
        if (std::abs(remaining(t)) >= kSettled) lastOutside = t;
        if (envelope(t) < kSettled) break;
    }
    return std::min(kLongestSettling, lastOutside + step);
}

CAValue CASpringAnimation::valueAt(double unit, const CAValue& underlying) const {
    const auto [from, to] = endpoints(underlying);
    return CAValue::interpolate(from, to, springProgress(unit * duration()));
}

}  // namespace platform
