#pragma once

#include <string>

#include "analytics/foundation/apm_event_names.h"
#include "analytics/foundation/apm_value.h"

namespace analytics {

// Public parameter names to internal ones; 13 internal names have both a "dazaraze_" and a "va_" form.
const APMNameTable& APMParameterNameAliases();
// Public user-property names to internal ones.
const APMNameTable& APMUserPropertyNameMap();

// Internal names are spelled out only while the public interface class is in the process; it says so
// when it is loaded.
void APMSetPublicInterfaceClassPresent(bool present);
bool APMIsPublicInterfaceClassPresent();

// In debug mode an internal name that the table maps reads "public (internal)", preferring a public
// name that does not start with "dazaraze_"; otherwise the name itself.
std::string APMLoggableName(const std::string& name, const APMNameTable& table);
std::string APMLoggableEventName(const std::string& name);
std::string APMLoggableParameterName(const std::string& name);
// An experiment property ("_exp_…") reads "experiment_id (…)" in every mode.
std::string APMLoggableUserPropertyName(const std::string& name);
// In debug mode one sorted line per parameter with loggable names and "_err" codes by name.
std::string APMLoggableParameters(const APMValue::Parameters& parameters);

}  // namespace analytics
