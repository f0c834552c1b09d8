#pragma once

#include <memory>
#include <vector>

#include "platform/quartzcore/ca_animation.h"

namespace platform {

// Runs its animations together in its own time: a child's begin time is counted from the group's start,
// a child without a duration lasts as long as the group, and a child is cut off at the group's end.
// The group's timing function shapes the time its children see.
class CAAnimationGroup : public CAAnimation {
public:
    static std::shared_ptr<CAAnimationGroup> animation() { return std::make_shared<CAAnimationGroup>(); }

    const std::vector<std::shared_ptr<CAAnimation>>& animations() const { return animations_; }
    void setAnimations(std::vector<std::shared_ptr<CAAnimation>> a) { animations_ = std::move(a); }

    std::shared_ptr<CAAnimation> copy() const override;
    void apply(const std::string& property, CAValue& value, double parentTime,
               bool inclusiveEnd) const override;
    void collectProperties(std::vector<std::string>& out) const override;
    void prepareForLayer(double layerTime, double defaultDuration) override;

    CAAnimationGroup() = default;

private:
    std::vector<std::shared_ptr<CAAnimation>> animations_;
};

}  // namespace platform
