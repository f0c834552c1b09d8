#include "platform/quartzcore/ca_animation_group.h"

namespace platform {

std::shared_ptr<CAAnimation> CAAnimationGroup::copy() const {
    auto group = std::make_shared<CAAnimationGroup>(*this);
    for (auto& child : group->animations_) {
        if (child) child = child->copy();
    }
    return group;
}

void CAAnimationGroup::apply(const std::string& property, CAValue& value, double parentTime,
                             bool inclusiveEnd) const {
    const auto unit = unitFraction(parentTime, inclusiveEnd);
    if (!unit) return;
    const double groupTime = progress(*unit) * duration();
    for (const auto& child : animations_) {
        if (child) child->apply(property, value, groupTime, true);
    }
}

void CAAnimationGroup::collectProperties(std::vector<std::string>& out) const {
    for (const auto& child : animations_) {
        if (child) child->collectProperties(out);
    }
}

void CAAnimationGroup::prepareForLayer(double layerTime, double defaultDuration) {
    CAAnimation::prepareForLayer(layerTime, defaultDuration);
    for (const auto& child : animations_) {
        // Children keep their begin times, which count from the group's start.
        if (child && !(child->duration() > 0)) child->setDuration(duration());
    }
}

}  // namespace platform
