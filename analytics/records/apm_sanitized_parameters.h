#pragma once

#include <optional>
#include <string>

#include "analytics/foundation/apm_value.h"
#include "analytics/records/apm_logged_parameters.h"
#include "analytics/records/apm_object_parameters.h"
#include "analytics/records/apm_parameter_limits.h"
#include "platform/foundation/value.h"

namespace analytics {

// The rules every parameter dictionary of an event passes: names and values are checked (the public
// rules for what an app logs, the internal ones for the library's own), plain objects become typed
// values, ecommerce "items" arrays are checked and cut to 200 elements, and the number of public
// parameters is limited. Problems are recorded on the dictionary (APMAddErrorParameters), never failed.

// Nothing for empty parameters. `isNested` marks the parameters of an array element, which may carry no
// public ones; an event keeps at most `maxPublicParameters` (the active configuration's limit).
std::optional<APMValue::Parameters> APMSanitizedParameters(
    const APMObjectParameters& parameters, const std::optional<std::string>& eventName, bool isPublic,
    bool isNested, std::int32_t maxPublicParameters = kAPMDefaultMaxPublicEventParams);
std::optional<APMValue::Parameters> APMSanitizedParameters(
    const APMLoggedParameters& parameters, const std::optional<std::string>& eventName, bool isPublic,
    bool isNested, std::int32_t maxPublicParameters = kAPMDefaultMaxPublicEventParams);
// The array as a typed value of its sanitised dictionary elements; nothing when the array itself is
// refused. Elements that are no dictionary are recorded in `errors`; the validator's failure code is
// written to `failureCode`.
std::optional<APMValue> APMSanitizedArrayParameter(const platform::Value::Array& array, const std::string& name,
                                                   const std::optional<std::string>& eventName,
                                                   APMValue::Parameters& errors, bool isNested, bool isPublic,
                                                   int* failureCode);
// A refused name is recorded in `errors` (a reserved one as such) unless an error is there.
bool APMIsValidEventParameterName(const std::string& name, bool isPublic, APMValue::Parameters& errors);
// A "value" must be numeric and come with a currency code; otherwise it is dropped with an error.
bool APMValidateValueAndCurrency(APMValue::Parameters& parameters);

}  // namespace analytics
