#include "analytics/records/apm_logged_parameters.h"

#include <algorithm>
#include <string_view>

namespace analytics {

namespace {

bool isScreenName(std::string_view name) {
    return name == "_sc" || name == "_si" || name == "_sn";
}

}  // namespace

APMLoggedParameters::APMLoggedParameters(const platform::Value::Dictionary& plain) {
    entries_.reserve(plain.size());
    for (const auto& [name, value] : plain) entries_.emplace_back(name, value);
}

APMLoggedParameters::APMLoggedParameters(const APMObjectParameters& parameters) {
    entries_.reserve(parameters.size());
    for (const auto& [name, object] : parameters) entries_.emplace_back(name, object);
}

APMLoggedParameters::APMLoggedParameters(APMObjectParameters&& parameters) {
    entries_.reserve(parameters.size());
    for (auto& [name, object] : parameters) entries_.emplace_back(name, std::move(object));
}

void APMLoggedParameters::emplace(const std::string& name, APMParameterObject object) {
    const auto place = std::lower_bound(entries_.begin(), entries_.end(), name,
                                        [](const Entry& entry, const std::string& key) { return entry.first < key; });
    if (place != entries_.end() && place->first == name) return;
    entries_.emplace(place, name, std::move(object));
}

bool APMLoggedParameters::hasScreenParameters() const {
    return std::any_of(entries_.begin(), entries_.end(), [](const Entry& entry) { return isScreenName(entry.first); });
}

APMObjectParameters APMLoggedParameters::takeScreenParameters() {
    APMObjectParameters screen;
    std::erase_if(entries_, [&screen](Entry& entry) {
        if (!isScreenName(entry.first)) return false;
        screen.emplace(std::move(entry.first), std::move(entry.second));
        return true;
    });
    return screen;
}

}  // namespace analytics
