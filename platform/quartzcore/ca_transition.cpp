#include "platform/quartzcore/ca_transition.h"

namespace platform {

std::optional<double> CATransition::transitionProgress(double parentTime) const {
    const auto unit = unitFraction(parentTime);
    if (!unit) return std::nullopt;
    return progress(*unit);
}

}  // namespace platform
