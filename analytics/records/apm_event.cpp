#include "analytics/records/apm_event.h"

#include <cfloat>

#include "analytics/foundation/apm_data_type_validator.h"
#include "analytics/foundation/apm_event_names.h"
#include "analytics/foundation/apm_name_maps.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/records/apm_error_parameters.h"
#include "analytics/records/apm_event_error_code.h"
#include "analytics/records/apm_parameter_conversions.h"
#include "analytics/records/apm_sanitized_parameters.h"
#include "analytics/records/apm_upload_milliseconds.h"

namespace analytics {

namespace {

using V = APMDataTypeValidator;
using Field = apmpb_fields::Event;
using Param = apmpb_fields::EventParam;

std::shared_ptr<APMMonitor> monitor() {
    return APMMonitor::sharedInstance();
}

// A forwarded origin, or else an internal one.
bool isAcceptedOrigin(const std::string& origin) {
    int failure = V::kNoFailure;
    if (V::isValidForwardedEventOrigin(origin, &failure)) return true;
    return failure == V::kNotForwardedOrigin && V::isValidInternalEventOrigin(origin, nullptr);
}

// A public name's rules include the internal ones, so a public name that passed is not checked again.
bool isAcceptedName(const std::string& name, bool isPublic) {
    return isPublic ? V::isValidPublicEventName(name, nullptr) : V::isValidInternalEventName(name, nullptr);
}

const std::string& mappedName(const APMNameTable& table, const std::string& name) {
    const auto entry = table.find(name);
    return entry == table.end() ? name : entry->second;
}

std::optional<std::string> stringOf(const APMParameterObject& object) {
    const std::string* text = std::holds_alternative<APMValue>(object)
                                  ? std::get<APMValue>(object).stringValue()
                                  : std::get<platform::Value>(object).stringValue();
    return text ? std::optional(*text) : std::nullopt;
}

bool isNumberObject(const APMParameterObject& object) {
    if (const auto* typed = std::get_if<APMValue>(&object)) return typed->isInt64();
    return std::get<platform::Value>(object).numberValue() || std::get<platform::Value>(object).boolValue();
}

std::optional<APMValue> typedValue(const APMParameterObject& object) {
    if (const auto* typed = std::get_if<APMValue>(&object)) return *typed;
    return APMValue::valueFromObject(std::get<platform::Value>(object));
}

// A screen class or name must be a string the validator accepts; a refused one is logged.
bool isValidScreenText(const APMParameterObject& object, std::int64_t code, const char* message) {
    const auto text = stringOf(object);
    if (!text) return false;
    if (V::isValidScreenParameterValue(*text, nullptr)) return true;
    monitor()->logWithLevel(APMLogLevel::Warning, code, message, *text);
    return false;
}

// One parameter of an upload message as a typed value; nothing for a parameter of another kind.
std::optional<APMValue> valueOfParam(const APMPBEventParam* param) {
    if (APMNanoHasField(param, Param::kStringValue)) {
        if (auto text = APMNanoGetString(param, Param::kStringValue)) return APMValue::initWithString(*text);
        return std::nullopt;
    }
    if (APMNanoHasField(param, Param::kIntValue)) return APMValue::initWithInt64(APMNanoGetInt64(param, Param::kIntValue));
    if (APMNanoHasField(param, Param::kDoubleValue))
        return APMValue::initWithDouble(APMNanoGetDouble(param, Param::kDoubleValue));
    return std::nullopt;
}

}  // namespace

APMEvent::APMEvent(std::string origin, std::string name, double timestamp, double previousTimestamp,
                   APMValue::Parameters parameters)
    : origin_(std::move(origin)),
      name_(std::move(name)),
      timestamp_(timestamp),
      previousTimestamp_(previousTimestamp),
      parameters_(std::move(parameters)) {}

std::optional<APMEvent> APMEvent::initWithOrigin(const std::string& origin, bool isPublic, const std::string& name,
                                                 double timestamp, double previousTimestamp,
                                                 const APMObjectParameters& parameters,
                                                 std::int32_t maxPublicParameters) {
    if (!acceptsEvent(origin, isPublic, name, timestamp, previousTimestamp, false)) return std::nullopt;
    return withParameters(origin, name, timestamp, previousTimestamp,
                          APMSanitizedParameters(parameters, name, isPublic, false, maxPublicParameters));
}

std::optional<APMEvent> APMEvent::initWithOrigin(const std::string& origin, bool isPublic, const std::string& name,
                                                 double timestamp, double previousTimestamp,
                                                 const APMLoggedParameters& parameters,
                                                 std::int32_t maxPublicParameters, bool nameChecked) {
    if (!acceptsEvent(origin, isPublic, name, timestamp, previousTimestamp, nameChecked)) return std::nullopt;
    return withParameters(origin, name, timestamp, previousTimestamp,
                          APMSanitizedParameters(parameters, name, isPublic, false, maxPublicParameters));
}

bool APMEvent::acceptsEvent(const std::string& origin, bool isPublic, const std::string& name, double timestamp,
                            double previousTimestamp, bool nameChecked) {
    if (!isAcceptedOrigin(origin) || (!nameChecked && !isAcceptedName(name, isPublic))) return false;
    if (previousTimestamp > timestamp) {
        monitor()->logWithLevel(APMLogLevel::SilentWarning, 16002,
                                "Event created with previous timestamp after current timestamp");
    }
    return true;
}

APMEvent APMEvent::withParameters(const std::string& origin, const std::string& name, double timestamp,
                                  double previousTimestamp, std::optional<APMValue::Parameters> sanitized) {
    APMEvent event(origin, name, timestamp, previousTimestamp, sanitized ? std::move(*sanitized) : APMValue::Parameters{});
    // The origin passed the validator, so it is text.
    event.parameters_.insert_or_assign("_o", *APMValue::initWithString(origin));
    if (event.shouldValidateParams() && !APMValidateValueAndCurrency(event.parameters_)) event.parameters_.erase("_c");
    return event;
}

std::optional<APMEvent> APMEvent::initWithEventProto(const NANOMessageBase* proto,
                                                     std::int32_t maxPublicParameters) {
    if (!proto || &proto->messageType() != &apmpb_types::kEvent) return std::nullopt;
    const std::string name = APMNanoGetString(proto, Field::kName).value_or("");
    const double timestamp = static_cast<double>(APMNanoGetInt64(proto, Field::kTimestampMillis)) / 1000.0;
    const double previousTimestamp =
        static_cast<double>(APMNanoGetInt64(proto, Field::kPreviousTimestampMillis)) / 1000.0;

    std::optional<std::string> origin;
    APMObjectParameters parameters;
    using Params = std::vector<std::shared_ptr<APMPBEventParam>>;
    const Params params = APMNanoGetMessages<APMPBEventParam>(proto, Field::kParams).value_or(Params{});
    for (const auto& param : params) {
        const auto paramName = APMNanoGetString(param.get(), Param::kName);
        if (!paramName) {
            monitor()->logWithLevel(APMLogLevel::SilentError, 15000,
                                    "Ignoring parameter. Parameter name is nil. Event name", name);
            continue;
        }
        if (*paramName == "_o") {
            origin = APMNanoGetString(param.get(), Param::kStringValue);
            if (!origin) {
                monitor()->logWithLevel(
                    APMLogLevel::SilentError, 15001,
                    "Cannot create an event from event proto. Origin parameter is not a string. Event name", name);
                return std::nullopt;
            }
            continue;
        }
        if (auto value = valueOfParam(param.get())) {
            parameters.emplace(*paramName, *value);
        } else {
            monitor()->logWithLevel(APMLogLevel::SilentWarning, 15002,
                                    "Unknown event parameter type from converting an event proto into APMEvent "
                                    "instance. Event param name",
                                    APMLoggableParameterName(*paramName));
        }
    }
    if (!origin) return std::nullopt;
    return initWithOrigin(*origin, false, name, timestamp, previousTimestamp, parameters, maxPublicParameters);
}

std::optional<APMEvent> APMEvent::eventFromEditEvent(const APMPEvent& editEvent) {
    const auto origin = editEvent.parameters().find("_o");
    const std::string* originText = origin == editEvent.parameters().end() ? nullptr : origin->second.stringValue();
    return initWithOrigin(originText ? *originText : "app", false,
                          mappedName(APMPublicToInternalEventNames(), editEvent.name()), editEvent.timestamp(), 0,
                          APMObjectParametersFrom(editEvent.parameters()));
}

std::optional<APMEvent> APMEvent::copy() const {
    return copyWithParameters(APMObjectParametersFrom(parameters_));
}

std::optional<APMEvent> APMEvent::copyWithPreviousTimestamp(double previousTimestamp) const {
    return initWithOrigin(origin_, false, name_, timestamp_, previousTimestamp, APMObjectParametersFrom(parameters_));
}

std::optional<APMEvent> APMEvent::copyWithParameters(const APMObjectParameters& parameters) const {
    return initWithOrigin(origin_, false, name_, timestamp_, previousTimestamp_, parameters);
}

bool APMEvent::hasIntegerOne(const std::string& name) const {
    const auto entry = parameters_.find(name);
    return entry != parameters_.end() && entry->second.isInt64() && entry->second.int64Value() == 1;
}

void APMEvent::setIntegerOne(const char* name, bool present) {
    if (present) {
        parameters_.insert_or_assign(name, APMValue::initWithInt64(1));
    } else {
        parameters_.erase(name);
    }
}

// The reserved flags are looked up for every event stored, so their names are made once.
const std::string& APMEvent::conversionName() {
    static const std::string& name = *new std::string("_c");
    return name;
}

const std::string& APMEvent::realtimeName() {
    static const std::string& name = *new std::string("_r");
    return name;
}

bool APMEvent::isConversion() const {
    return hasIntegerOne(conversionName());
}

void APMEvent::setConversion(bool conversion) {
    if (!conversion) {
        if (parameters_.erase("_c")) APMAddErrorCodeParameter(parameters_, APMEventErrorCode::ConversionEventLimitReached);
        return;
    }
    if (!APMValidateValueAndCurrency(parameters_)) return;
    setIntegerOne("_c", true);
    const auto error = parameters_.find("_err");
    if (error != parameters_.end() && error->second == APMValue::initWithInt64(APMEventErrorCode::ConversionEventLimitReached))
        parameters_.erase(error);
}

bool APMEvent::isRealtime() const {
    const auto realtime = parameters_.find(realtimeName());
    if (realtime == parameters_.end()) return false;
    if (realtime->second.isInt64()) return realtime->second.int64Value() == 1;
    monitor()->logWithLevel(APMLogLevel::SilentError, 16006, "Realtime parameter must be an int64. Event name", name_);
    return false;
}

void APMEvent::setRealtime(bool realtime) {
    setIntegerOne("_r", realtime);
}

bool APMEvent::isDebug() const {
    return hasIntegerOne("_dbg");
}

void APMEvent::setDebug(bool debug) {
    setIntegerOne("_dbg", debug);
}

bool APMEvent::shouldValidateParams() const {
    return isConversion() || name_ == "ad_impression" || name_ == "_ai";
}

void APMEvent::applyParameters(const APMObjectParameters& parameters) {
    if (parameters.empty()) return;
    auto applied = APMSanitizedParameters(parameters, std::nullopt, true, false);
    if (!applied || applied->empty()) return;
    for (const auto& [name, value] : parameters_) applied->insert_or_assign(name, value);
    parameters_ = std::move(*applied);
}

bool APMEvent::addScreenParameters(const APMObjectParameters& screenParameters) {
    if (screenParameters.empty() || APMHasScreenParameters(parameters_)) return false;
    const auto screenClass = screenParameters.find("_sc");
    const auto screenID = screenParameters.find("_si");
    const auto screenName = screenParameters.find("_sn");
    const auto end = screenParameters.end();
    // The class is checked before the id, the id before the name.
    if (screenClass != end && !isValidScreenText(screenClass->second, 16003, "Received invalid screen class"))
        return false;
    if (screenID == end || !isNumberObject(screenID->second)) return false;
    if (screenName != end && !isValidScreenText(screenName->second, 16004, "Received invalid screen name"))
        return false;
    const auto id = typedValue(screenID->second);
    if (!id) return false;
    parameters_.insert_or_assign("_si", *id);
    for (const auto& entry : {screenClass, screenName}) {
        if (entry == end) continue;
        if (auto value = typedValue(entry->second)) parameters_.insert_or_assign(entry->first, *value);
    }
    return true;
}

std::shared_ptr<NANOMessageBase> APMEvent::protoEvent() const {
    auto proto = APMPBEvent::initWithBuffer();
    APMNanoSetStringField(proto.get(), Field::kName, name_);
    if (previousTimestamp_ > DBL_EPSILON)
        APMNanoSetInt64(proto.get(), Field::kPreviousTimestampMillis, APMUploadMilliseconds(previousTimestamp_));
    APMNanoSetInt64(proto.get(), Field::kTimestampMillis, APMUploadMilliseconds(timestamp_));
    const auto params = APMEventParamProtos(parameters_, name_, false);
    APMNanoSetArray(proto.get(), Field::kParams, &params);
    return proto;
}

APMPEvent APMEvent::editEvent() const {
    return APMPEvent::initWithName(mappedName(APMInternalToPublicEventNames(), name_), timestamp_,
                                   APMPlainParametersFromValues(parameters_, false));
}

}  // namespace analytics
