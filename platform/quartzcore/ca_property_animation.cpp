#include "platform/quartzcore/ca_property_animation.h"

#include <algorithm>

namespace platform {

void CAPropertyAnimation::apply(const std::string& property, CAValue& value, double parentTime,
                                bool inclusiveEnd) const {
    const auto [head, rest] = splitKeyPath(keyPath_);
    if (head != property) return;
    const auto unit = unitFraction(parentTime, inclusiveEnd);
    if (!unit) return;
    value = value.withComponent(rest, valueAt(*unit, value.component(rest)));
}

void CAPropertyAnimation::collectProperties(std::vector<std::string>& out) const {
    const std::string head = splitKeyPath(keyPath_).first;
    if (std::find(out.begin(), out.end(), head) == out.end()) out.push_back(head);
}

}  // namespace platform
