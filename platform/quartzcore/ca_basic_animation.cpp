#include "platform/quartzcore/ca_basic_animation.h"

namespace platform {

std::shared_ptr<CABasicAnimation> CABasicAnimation::animationWithKeyPath(const std::string& keyPath) {
    return std::make_shared<CABasicAnimation>(keyPath);
}

std::pair<CAValue, CAValue> CABasicAnimation::endpoints(const CAValue& underlying) const {
    const bool hasFrom = !fromValue_.isNull(), hasTo = !toValue_.isNull(), hasBy = !byValue_.isNull();
    if (hasFrom && hasTo) return {fromValue_, toValue_};
    if (hasFrom && hasBy) return {fromValue_, CAValue::add(fromValue_, byValue_)};
    if (hasBy && hasTo) return {CAValue::add(toValue_, byValue_, -1), toValue_};
    if (hasFrom) return {fromValue_, underlying};
    if (hasTo) return {underlying, toValue_};
    if (hasBy) return {underlying, CAValue::add(underlying, byValue_)};
    return {underlying, underlying};
}

CAValue CABasicAnimation::valueAt(double unit, const CAValue& underlying) const {
    const auto [from, to] = endpoints(underlying);
    return CAValue::interpolate(from, to, progress(unit));
}

}  // namespace platform
