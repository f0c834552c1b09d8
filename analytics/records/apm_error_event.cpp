#include "analytics/records/apm_error_event.h"

#include "analytics/foundation/apm_string_additions.h"
#include "analytics/records/apm_error_parameters.h"
#include "analytics/records/apm_event_error_code.h"

namespace analytics {

namespace {

void logErrorEvent(const APMInternalEventLogger& logger, const APMValue::Parameters& parameters) {
    if (logger) logger("auto", "_err", APMObjectParametersFrom(parameters));
}

bool isStringLongerThan(const APMValue& value, std::size_t maximum) {
    const std::string* text = value.stringValue();
    return text && apm_UTF32Length(*text) > maximum;
}

}  // namespace

void APMLogErrorCode(const APMInternalEventLogger& logger, std::int64_t code) {
    if (code == 0) return;
    logErrorEvent(logger, {{"_err", APMValue::initWithInt64(code)}});
}

void APMLogErrorEvent(const APMInternalEventLogger& logger, std::int64_t code,
                      const std::optional<std::string>& name, std::size_t maximum,
                      const std::optional<APMValue>& value) {
    if (code == 0) return;
    APMValue::Parameters parameters{{"_err", APMValue::initWithInt64(code)}};
    const bool reportsLength = value && (code == APMEventErrorCode::UserPropertyValueTooLong ||
                                         code == APMEventErrorCode::InvalidParameterValue ||
                                         isStringLongerThan(*value, maximum));
    APMAddErrorValueParameters(parameters, name, maximum, reportsLength ? value : std::nullopt);
    logErrorEvent(logger, parameters);
}

}  // namespace analytics
