#include "analytics/records/apm_logged_parameters.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace analytics {

namespace {

bool isScreenName(std::string_view name) {
    return name == "_sc" || name == "_si" || name == "_sn";
}

}  // namespace

APMLoggedParameters::APMLoggedParameters(const platform::Value::Dictionary& plain)
    : entries_(APMSortedUniqueNames{}, plain) {}

APMLoggedParameters::APMLoggedParameters(const APMObjectParameters& parameters)
    : entries_(APMSortedUniqueNames{}, parameters) {}

APMLoggedParameters::APMLoggedParameters(APMObjectParameters&& parameters)
    : entries_(APMSortedUniqueNames{}, std::move(parameters)) {}

void APMLoggedParameters::emplace(const std::string& name, APMParameterObject object) {
    entries_.try_emplace(name, std::move(object));
}

bool APMLoggedParameters::hasScreenParameters() const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [](const Entries::value_type& entry) { return isScreenName(entry.first); });
}

APMObjectParameters APMLoggedParameters::takeScreenParameters() {
    APMObjectParameters screen;
    erase_if(entries_, [&screen](Entries::value_type& entry) {
        if (!isScreenName(entry.first)) return false;
        screen.emplace(std::move(entry.first), std::move(entry.second));
        return true;
    });
    return screen;
}

}  // namespace analytics
