#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/quartzcore/ca_property_animation.h"

namespace platform {

// Runs through a list of values. keyTimes (0…1, one per value, not decreasing) place the values in the
// duration; without valid key times the values are spread evenly. timingFunctions[i] shapes the segment
// from value i to i + 1 (missing ones are linear); the animation's own timing function, if any, is
// applied to the whole first.
class CAKeyframeAnimation : public CAPropertyAnimation {
public:
    static std::shared_ptr<CAKeyframeAnimation> animationWithKeyPath(const std::string& keyPath);

    const std::vector<CAValue>& values() const { return values_; }
    void setValues(std::vector<CAValue> v) { values_ = std::move(v); }
    const std::vector<double>& keyTimes() const { return keyTimes_; }
    void setKeyTimes(std::vector<double> t) { keyTimes_ = std::move(t); }
    const std::vector<std::shared_ptr<CAMediaTimingFunction>>& timingFunctions() const {
        return timingFunctions_;
    }
    void setTimingFunctions(std::vector<std::shared_ptr<CAMediaTimingFunction>> f) {
        timingFunctions_ = std::move(f);
    }

    std::shared_ptr<CAAnimation> copy() const override {
        return std::make_shared<CAKeyframeAnimation>(*this);
    }
    CAValue valueAt(double unit, const CAValue& underlying) const override;

    CAKeyframeAnimation() = default;
    explicit CAKeyframeAnimation(std::string keyPath) : CAPropertyAnimation(std::move(keyPath)) {}

private:
    std::vector<double> effectiveKeyTimes() const;

    std::vector<CAValue> values_;
    std::vector<double> keyTimes_;
    std::vector<std::shared_ptr<CAMediaTimingFunction>> timingFunctions_;
};

}  // namespace platform
