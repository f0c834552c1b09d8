#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "analytics/foundation/apm_value.h"

namespace analytics {

using APMNameTable = std::unordered_map<std::string, std::string>;

// Public event names to the short internal names of the library's own events; apps may not log these.
const APMNameTable& APMPublicToInternalEventNames();
// The inverse; "_cmp" reads as "va_campaign".
const APMNameTable& APMInternalToPublicEventNames();
// The public names an app may log although the event table holds them.
const APMNameTable& APMAdImpressionEventNames();
// The names of the codes the "_err" parameter carries.
const std::unordered_map<std::int64_t, std::string>& APMErrorCodeNames();

// Non-empty and not starting with "_"; an empty name is logged.
bool APMIsPublicName(const std::string& name);
// An event named "_err"; an empty name is logged.
bool APMIsErrorEvent(const std::string& eventName);
bool APMIsNotErrorEventName(const std::string& name);
// "_assc", "_assr", or "_iap" whose "subscription" parameter is the integer 1.
bool APMIsSubscriptionEvent(const std::string& eventName, const APMValue::Parameters& parameters);
bool APMEventAcceptsItems(const std::string& eventName);
bool APMIsStandardItemParameterName(const std::string& name);
bool APMIsRevenueEventName(const std::string& eventName);

// The summed element counts of the array parameters; 0 without parameters.
std::int32_t APMEventItemCount(const APMValue::Parameters* parameters);

// Whether any of the screen parameters "_si", "_sc", "_sn" is present. The three sort together, so one
// search of the sorted names finds any of them (this runs for every event logged).
template <typename Map>
bool APMHasScreenParameters(const Map& parameters) {
    static const std::string& kFirst = *new std::string("_sc");
    for (auto entry = parameters.lower_bound(kFirst); entry != parameters.end() && entry->first <= "_sn";
         ++entry) {
        if (entry->first == "_sc" || entry->first == "_si" || entry->first == "_sn") return true;
    }
    return false;
}

// The screen parameters that are present.
template <typename Map>
Map APMScreenParameters(const Map& parameters) {
    Map screen;
    for (const char* name : {"_sn", "_sc", "_si"}) {
        if (auto found = parameters.find(name); found != parameters.end()) screen.insert(*found);
    }
    return screen;
}

}  // namespace analytics
