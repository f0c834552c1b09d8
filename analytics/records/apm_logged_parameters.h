#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "analytics/foundation/apm_flat_string_map.h"
#include "analytics/records/apm_object_parameters.h"
#include "platform/foundation/value.h"

namespace analytics {

// An event's parameters on their way from the thread that logs it to the engine's queue: in name order,
// each name once, as a dictionary holds them, but in one block. Every event logged copies its parameters
// on the caller's thread and another thread frees them, so they cost one allocation rather than one for
// each parameter. Made only explicitly from a dictionary, so a braced list never picks this over one.
class APMLoggedParameters {
public:
    using Entries = APMFlatStringMap<APMParameterObject>;

    explicit APMLoggedParameters(const platform::Value::Dictionary& plain);
    explicit APMLoggedParameters(const APMObjectParameters& parameters);
    explicit APMLoggedParameters(APMObjectParameters&& parameters);

    Entries::const_iterator begin() const { return entries_.begin(); }
    Entries::const_iterator end() const { return entries_.end(); }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // Adds the parameter in its place unless one of that name is present, as a dictionary's emplace.
    void emplace(const std::string& name, APMParameterObject object);
    // Whether any of the screen parameters "_si", "_sc", "_sn" is present.
    bool hasScreenParameters() const;
    // The screen parameters present, moved out of these.
    APMObjectParameters takeScreenParameters();

private:
    // Exactly as many as given: a burst of events holds thousands of these at once, and the screen
    // parameters the facade may add are seldom set, so room kept for them would mostly be memory
    // faulted in for nothing.
    Entries entries_;
};

}  // namespace analytics
