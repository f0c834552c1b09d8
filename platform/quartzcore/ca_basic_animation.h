#pragma once

#include <memory>
#include <string>

#include "platform/quartzcore/ca_property_animation.h"

namespace platform {

// From one value to another. Missing values follow the platform's rules: from + to; from + by;
// by + to (from = to − by); from alone runs to the value underneath; to alone runs from it; by alone
// adds to it.
class CABasicAnimation : public CAPropertyAnimation {
public:
    static std::shared_ptr<CABasicAnimation> animationWithKeyPath(const std::string& keyPath);

    const CAValue& fromValue() const { return fromValue_; }
    void setFromValue(CAValue v) { fromValue_ = std::move(v); }
    const CAValue& toValue() const { return toValue_; }
    void setToValue(CAValue v) { toValue_ = std::move(v); }
    void setByValue(CAValue v) { byValue_ = std::move(v); }

    std::shared_ptr<CAAnimation> copy() const override { return std::make_shared<CABasicAnimation>(*this); }
    CAValue valueAt(double unit, const CAValue& underlying) const override;

    // The two ends over the value underneath.
    std::pair<CAValue, CAValue> endpoints(const CAValue& underlying) const;

    CABasicAnimation() = default;
    explicit CABasicAnimation(std::string keyPath) : CAPropertyAnimation(std::move(keyPath)) {}

private:
    CAValue fromValue_, toValue_, byValue_;
};

}  // namespace platform
