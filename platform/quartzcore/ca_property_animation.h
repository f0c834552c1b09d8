#pragma once

#include <string>
#include <utility>

#include "platform/quartzcore/ca_animation.h"

namespace platform {

// An animation of one layer property, named by a key path such as "opacity", "position.y" or
// "transform.rotation.z" (see CAValue::component for the parts).
class CAPropertyAnimation : public CAAnimation {
public:
    const std::string& keyPath() const { return keyPath_; }

    void apply(const std::string& property, CAValue& value, double parentTime,
               bool inclusiveEnd) const override;
    void collectProperties(std::vector<std::string>& out) const override;

    // The animated value at a unit fraction over the value underneath (the model's, or what earlier
    // animations made of it), which stands in for a missing from or to value.
    virtual CAValue valueAt(double unit, const CAValue& underlying) const = 0;

protected:
    CAPropertyAnimation() = default;
    explicit CAPropertyAnimation(std::string keyPath) : keyPath_(std::move(keyPath)) {}

private:
    std::string keyPath_;
};

}  // namespace platform
