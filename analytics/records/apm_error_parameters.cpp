#include "analytics/records/apm_error_parameters.h"

#include "analytics/foundation/apm_data_type_validator.h"
#include "analytics/foundation/apm_string_additions.h"
#include "analytics/records/apm_event_error_code.h"
#include "platform/foundation/utf8.h"

namespace analytics {

namespace {

// The first `maximum` code points of UTF-8 text.
std::string firstCodePoints(const std::string& text, std::size_t maximum) {
    std::size_t offset = 0;
    for (std::size_t count = 0; count < maximum && offset < text.size(); ++count)
        platform::nextCodePoint(text, offset);
    return text.substr(0, offset);
}

std::string errorValueText(const std::optional<std::string>& name, std::size_t maximum) {
    if (!name) return "(nil)";
    // Bytes that are not UTF-8 are no string; they are reported by their class, as the validator does.
    if (!platform::isValidUtf8(*name)) return "NSData";
    if (apm_UTF32Length(*name) <= maximum) return *name;
    return firstCodePoints(*name, maximum) + "...";
}

std::int64_t valueLength(const APMValue& value) {
    if (const std::string* text = value.stringValue()) return static_cast<std::int64_t>(apm_UTF32Length(*text));
    if (const APMValue::Array* array = value.arrayValue()) return static_cast<std::int64_t>(array->size());
    return 0;
}

}  // namespace

void APMAddErrorCodeParameter(APMValue::Parameters& parameters, std::int64_t code) {
    parameters.try_emplace("_err", APMValue::initWithInt64(code));
}

void APMAddErrorParameters(APMValue::Parameters& parameters, std::int64_t code,
                           const std::optional<std::string>& name, std::size_t maximum,
                           const std::optional<APMValue>& value) {
    if (parameters.contains("_ev") || parameters.contains("_el") || parameters.contains("_err")) return;
    parameters.emplace("_err", APMValue::initWithInt64(code));
    APMAddErrorValueParameters(parameters, name, maximum, value);
}

void APMAddErrorValueParameters(APMValue::Parameters& parameters, const std::optional<std::string>& name,
                                std::size_t maximum, const std::optional<APMValue>& value) {
    if (parameters.contains("_ev") || parameters.contains("_el")) return;
    if (auto text = APMValue::initWithString(errorValueText(name, maximum))) parameters.emplace("_ev", *text);
    if (value) parameters.emplace("_el", APMValue::initWithInt64(valueLength(*value)));
}

void APMAddArrayParameterError(APMValue::Parameters& parameters, int failureCode,
                               const std::string& parameterName, const std::optional<std::string>& eventName) {
    using V = APMDataTypeValidator;
    using E = APMEventErrorCode;
    const auto record = [&](std::int64_t code, const std::optional<std::string>& name) {
        APMAddErrorParameters(parameters, code, name, kAPMMaxErrorNameLength, std::nullopt);
    };
    switch (failureCode) {
        case V::kArrayOnEventWithoutItems:
            return record(E::InvalidArrayParamEventName, eventName);
        case V::kArrayNotNamedItems:
            return record(E::InvalidArrayParamName, parameterName);
        case V::kTooManyArrayItems:
            return record(E::TooManyArrayItems, parameterName);
        case V::kNestedArray:
            return record(E::InvalidArrayParamNesting, parameterName);
        default:
            return;
    }
}

}  // namespace analytics
