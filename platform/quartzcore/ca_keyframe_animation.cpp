#include "platform/quartzcore/ca_keyframe_animation.h"

namespace platform {

std::shared_ptr<CAKeyframeAnimation> CAKeyframeAnimation::animationWithKeyPath(const std::string& keyPath) {
    return std::make_shared<CAKeyframeAnimation>(keyPath);
}

std::vector<double> CAKeyframeAnimation::effectiveKeyTimes() const {
    const std::size_t n = values_.size();
    bool valid = keyTimes_.size() == n;
    for (std::size_t i = 0; valid && i < n; ++i) {
        const double t = keyTimes_[i];
        valid = t >= 0 && t <= 1 && (i == 0 || t >= keyTimes_[i - 1]);
    }
    if (valid) return keyTimes_;
    std::vector<double> even(n);
    const double parts = static_cast<double>(n - 1);
    for (std::size_t i = 0; i < n; ++i) even[i] = parts > 0 ? static_cast<double>(i) / parts : 0;
    return even;
}

CAValue CAKeyframeAnimation::valueAt(double unit, const CAValue& underlying) const {
    if (values_.empty()) return underlying;
    const double f = progress(unit);
    const std::vector<double> times = effectiveKeyTimes();
    const std::size_t n = values_.size();

    if (n == 1 || f <= times.front()) return values_.front();
    if (f >= times.back()) return values_.back();
    std::size_t i = 0;
    while (i + 2 < n && f >= times[i + 1]) ++i;
    const double span = times[i + 1] - times[i];
    double local = span > 0 ? (f - times[i]) / span : 1;
    if (i < timingFunctions_.size() && timingFunctions_[i]) local = timingFunctions_[i]->solve(local);
    return CAValue::interpolate(values_[i], values_[i + 1], local);
}

}  // namespace platform
