#include "analytics/records/apm_sanitized_parameters.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "analytics/foundation/apm_data_type_validator.h"
#include "analytics/foundation/apm_string_additions.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/records/apm_error_parameters.h"
#include "analytics/records/apm_event_error_code.h"
#include "analytics/records/apm_parameter_limits.h"

namespace analytics {

namespace {

using V = APMDataTypeValidator;
using E = APMEventErrorCode;

std::shared_ptr<APMMonitor> monitor() {
    return APMMonitor::sharedInstance();
}

// An incoming "_ev" longer than its limit is trimmed, unless it is exactly a trimmed one already.
bool isUntrimmedErrorValue(const std::string& text) {
    const std::size_t length = apm_UTF32Length(text);
    const bool trimmedAlready = length == kAPMMaxErrorValueNameLength + 3 && text.ends_with("...");
    return length > kAPMMaxErrorValueNameLength && !trimmedAlready;
}

bool isArray(const APMParameterObject& object) {
    if (const auto* plain = std::get_if<platform::Value>(&object)) return plain->arrayValue() != nullptr;
    return std::get<APMValue>(object).isArray();
}

// Checks one parameter. A kept plain object goes into `added`, converted; a kept typed value stays
// where it is. Answers whether the name is kept.
bool sanitizeParameter(const std::string& name, const APMParameterObject& object,
                       const std::optional<std::string>& eventName, bool isPublic, bool isNested,
                       APMValue::Parameters& added) {
    if (!APMIsValidEventParameterName(name, isPublic, added)) return false;
    const auto* plain = std::get_if<platform::Value>(&object);
    std::optional<APMValue> value =
        plain ? APMValue::valueFromObject(*plain, true) : std::get<APMValue>(object);
    if (!value) {
        monitor()->logWithLevel(APMLogLevel::Warning, 18015,
                                "Event parameter value must be of type NSString, NSNumber or NSArray. Type",
                                APMClassNameOfObject(*plain));
        return false;
    }

    // The value is moved into place once kept; a plain array is replaced by its sanitized items.
    const bool isErrorValue = name == std::string_view("_ev");
    int failure = V::kNoFailure;
    bool keep = true;
    std::optional<APMValue> sanitizedArray;
    if (isPublic && !V::isValidPublicEventParameterValue(value, &failure)) {
        keep = false;
    } else if (isErrorValue) {
        const std::string* text = value->stringValue();
        if (text && isUntrimmedErrorValue(*text))
            APMAddErrorValueParameters(added, *text, kAPMMaxErrorValueNameLength, value);
    } else if (!isPublic && !V::isValidInternalEventParameterValue(value, &failure)) {
        // A public value met the stricter public limit above.
        keep = false;
    } else if (plain && plain->arrayValue()) {
        sanitizedArray =
            APMSanitizedArrayParameter(*plain->arrayValue(), name, eventName, added, isNested, isPublic, &failure);
        keep = sanitizedArray.has_value();
    }

    if (!keep && failure == V::kTooLong && !added.contains("_err")) {
        APMAddErrorParameters(added, E::InvalidParameterValue, name, kAPMMaxErrorNameLength,
                              value->isString() ? value : std::nullopt);
    }
    if (isArray(object) && failure != V::kNoFailure) APMAddArrayParameterError(added, failure, name, eventName);
    if (!keep) return false;
    // Names come in order, so a kept one mostly goes at the end.
    if (plain && !(isErrorValue && added.contains("_ev")))
        added.insert_or_assign(added.end(), name, sanitizedArray ? std::move(*sanitizedArray) : std::move(*value));
    return true;
}

// Too many public parameters are cut from the end of the sorted names; an array element may carry
// none but the standard item parameters.
void limitParameters(APMValue::Parameters& parameters, bool isNested, std::int32_t maximum) {
    if (isNested) {
        if (APMCountPublicParameters(parameters, true) == 0) return;
        APMRemoveExcessParameters(parameters, 0, true);
        APMAddErrorCodeParameter(parameters, E::CustomParamsInArrayElement);
        monitor()->logWithLevel(APMLogLevel::Error, 18016, "Item cannot contain custom parameters");
        return;
    }
    // No more names than the limit holds no more public ones.
    if (std::cmp_less_equal(parameters.size(), maximum) || APMCountPublicParameters(parameters, false) <= maximum)
        return;
    APMRemoveExcessParameters(parameters, maximum, false);
    APMAddErrorCodeParameter(parameters, E::ParameterLimitReached);
    monitor()->logWithLevel(APMLogLevel::MonitoredError, 18017,
                            "Event cannot contain more than " + std::to_string(maximum) + " parameters");
}

// Parameters in name order, each name once: a dictionary or the parameters of a logged event.
template <typename Parameters>
std::optional<APMValue::Parameters> sanitized(const Parameters& parameters, const std::optional<std::string>& eventName,
                                              bool isPublic, bool isNested, std::int32_t maxPublicParameters) {
    if (parameters.empty()) return std::nullopt;
    std::vector<std::string> refused;
    APMValue::Parameters added;
    // Room for the origin the event adds, so that a record's parameters are allocated once.
    added.reserve(parameters.size() + 1);
    for (const auto& [name, object] : parameters) {
        if (!sanitizeParameter(name, object, eventName, isPublic, isNested, added)) refused.push_back(name);
    }
    if (refused.size() == parameters.size()) return added;

    // The typed values that were given and kept, with the converted and error entries over them.
    APMValue::Parameters result = std::move(added);
    for (const auto& [name, object] : parameters) {
        const auto* typed = std::get_if<APMValue>(&object);
        if (typed && !std::binary_search(refused.begin(), refused.end(), name)) result.try_emplace(name, *typed);
    }
    limitParameters(result, isNested, maxPublicParameters);
    return result;
}

}  // namespace

std::optional<APMValue::Parameters> APMSanitizedParameters(const APMObjectParameters& parameters,
                                                           const std::optional<std::string>& eventName,
                                                           bool isPublic, bool isNested,
                                                           std::int32_t maxPublicParameters) {
    return sanitized(parameters, eventName, isPublic, isNested, maxPublicParameters);
}

std::optional<APMValue::Parameters> APMSanitizedParameters(const APMLoggedParameters& parameters,
                                                           const std::optional<std::string>& eventName,
                                                           bool isPublic, bool isNested,
                                                           std::int32_t maxPublicParameters) {
    return sanitized(parameters, eventName, isPublic, isNested, maxPublicParameters);
}

std::optional<APMValue> APMSanitizedArrayParameter(const platform::Value::Array& array, const std::string& name,
                                                   const std::optional<std::string>& eventName,
                                                   APMValue::Parameters& errors, bool isNested, bool isPublic,
                                                   int* failureCode) {
    int failure = V::kNoFailure;
    const bool accepted = V::isValidArrayParamForEvent(eventName.value_or(""), name,
                                                       static_cast<std::int64_t>(array.size()), isNested, &failure);
    if (failureCode) *failureCode = failure;
    // Too many items keeps the first ones; any other refusal drops the array.
    if (!accepted && failure != V::kTooManyArrayItems) return std::nullopt;

    const std::size_t count = std::min<std::size_t>(array.size(), V::kMaxArrayItems);
    APMValue::Array elements;
    for (std::size_t index = 0; index < count; ++index) {
        const platform::Value& element = array[index];
        int itemFailure = V::kNoFailure;
        if (!V::isValidArrayParamItem(element, &itemFailure)) {
            APMAddErrorParameters(errors, E::InvalidParameterValue, name + "[" + std::to_string(index) + "]",
                                  kAPMMaxErrorNameLength, std::nullopt);
            continue;
        }
        if (auto sanitized = APMSanitizedParameters(APMObjectParametersFrom(*element.dictionaryValue()),
                                                    eventName, isPublic, true)) {
            elements.push_back(std::move(*sanitized));
        }
    }
    return APMValue::initWithArray(std::move(elements));
}

bool APMIsValidEventParameterName(const std::string& name, bool isPublic, APMValue::Parameters& errors) {
    int failure = V::kNoFailure;
    // A public name's rules include the internal ones, so a public name that passed is not checked again.
    if (isPublic ? V::isValidPublicEventParameterName(name, &failure)
                 : V::isValidInternalEventParameterName(name, &failure)) {
        return true;
    }
    if (failure != V::kNoFailure && !errors.contains("_err")) {
        // The length goes along only when the name itself was too long to report whole.
        const auto value = apm_UTF32Length(name) > kAPMMaxErrorNameLength ? APMValue::initWithString(name)
                                                                          : std::nullopt;
        APMAddErrorParameters(errors, failure == V::kReserved ? E::ParameterNameIsReserved : E::InvalidParameterName,
                              name, kAPMMaxErrorNameLength, value);
    }
    return false;
}

bool APMValidateValueAndCurrency(APMValue::Parameters& parameters) {
    const auto value = parameters.find("value");
    if (value == parameters.end()) return true;
    if (!V::isValidNumericValue(value->second, nullptr)) {
        parameters.erase(value);
        APMAddErrorParameters(parameters, E::ValueIsNotNumeric, "value", kAPMMaxErrorValueNameLength, std::nullopt);
        return false;
    }
    const auto currency = parameters.find("currency");
    if (!V::isValidCurrencyCode(currency == parameters.end() ? std::nullopt : std::optional(currency->second),
                                nullptr)) {
        monitor()->logWithLevel(APMLogLevel::Warning, 18014,
                                "Value parameter discarded. You must also supply a 3-letter ISO_4217 currency "
                                "code in the currency parameter.");
        parameters.erase(value);
        APMAddErrorParameters(parameters, E::CurrencyCodeIsMissingOrInvalid, "currency",
                              kAPMMaxErrorValueNameLength, std::nullopt);
        return false;
    }
    return true;
}

}  // namespace analytics
