#include "analytics/foundation/apm_value.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "analytics/monitor/apm_monitor.h"
#include "platform/foundation/utf8.h"

namespace analytics {

namespace {

std::shared_ptr<APMMonitor> monitor() {
    return APMMonitor::sharedInstance();
}

APMLogContext contextOf(const platform::Value& object) {
    return APMLogContext::object(APMClassNameOfObject(object), std::nullopt, &object);
}

std::string describeDouble(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

APMValue APMValue::initWithDouble(double value) {
    return APMValue(Held(std::in_place_type<double>, value));
}

APMValue APMValue::initWithInt64(std::int64_t value) {
    return APMValue(Held(std::in_place_type<std::int64_t>, value));
}

std::optional<APMValue> APMValue::initWithString(const std::string& value) {
    if (!platform::isValidUtf8(value)) {
        monitor()->logWithLevel(APMLogLevel::Error, 35003,
                                "Cannot create String value with non-string value. Value",
                                APMLogContext::object("NSData", std::nullopt));
        return std::nullopt;
    }
    return APMValue(Held(std::in_place_type<std::string>, value));
}

std::optional<APMValue> APMValue::initWithString(const platform::Value& value) {
    if (value.isNull()) {
        monitor()->logWithLevel(APMLogLevel::Error, 35002, "Cannot create String value with nil");
        return std::nullopt;
    }
    if (const std::string* text = value.stringValue()) return initWithString(*text);
    monitor()->logWithLevel(APMLogLevel::Error, 35003,
                            "Cannot create String value with non-string value. Value", contextOf(value));
    return std::nullopt;
}

APMValue APMValue::initWithArray(Array value) {
    return APMValue(Held(std::make_shared<const Array>(std::move(value))));
}

std::optional<APMValue> APMValue::initWithArray(const platform::Value& value) {
    if (value.isNull()) {
        monitor()->logWithLevel(APMLogLevel::Error, 35004, "Cannot create Array value with nil");
        return std::nullopt;
    }
    const platform::Value::Array* elements = value.arrayValue();
    if (!elements) {
        monitor()->logWithLevel(APMLogLevel::Error, 35005,
                                "Cannot create Array value with non-array value. Value", contextOf(value));
        return std::nullopt;
    }
    Array array;
    for (const platform::Value& element : *elements) {
        const platform::Value::Dictionary* dictionary = element.dictionaryValue();
        if (!dictionary) continue;
        Parameters parameters;
        for (const auto& [name, object] : *dictionary) {
            if (auto converted = valueFromObject(object, true))
                parameters.emplace(name, std::move(*converted));
        }
        array.push_back(std::move(parameters));
    }
    return initWithArray(std::move(array));
}

std::optional<APMValue> APMValue::valueFromObject(const platform::Value& object, bool allowArray) {
    using Kind = platform::Value::Kind;
    switch (object.kind()) {
        case Kind::Null:
            monitor()->logWithLevel(APMLogLevel::Error, 35000, "Cannot create Value type with nil value");
            return std::nullopt;
        case Kind::String:
            return initWithString(object);
        case Kind::Bool:
            return initWithInt64(*object.boolValue() ? 1 : 0);
        case Kind::Int:
            return initWithInt64(*object.intValue());
        case Kind::UInt:
            // Beyond the signed range the integer saturates instead of turning negative.
            return initWithInt64(object.intValue().value_or(std::numeric_limits<std::int64_t>::max()));
        case Kind::Double:
            return initWithDouble(*object.doubleValue());
        case Kind::Array:
            if (allowArray) return initWithArray(object);
            break;
        default:
            break;
    }
    monitor()->logWithLevel(APMLogLevel::Error, 35001,
                            "Cannot create Value type with unsupported value. The Value has to be NSNumber, "
                            "NSString or NSArray (if supported). Value",
                            contextOf(object));
    return std::nullopt;
}

APMValue APMValue::valueFromObject(const APMValue& value, bool) {
    return value;
}

double APMValue::doubleValue() const {
    const double* number = std::get_if<double>(&value_);
    return number ? *number : 0.0;
}

std::int64_t APMValue::int64Value() const {
    const std::int64_t* number = std::get_if<std::int64_t>(&value_);
    return number ? *number : 0;
}

const std::string* APMValue::stringValue() const {
    return std::get_if<std::string>(&value_);
}

const APMValue::Array* APMValue::arrayValue() const {
    const auto* array = std::get_if<std::shared_ptr<const Array>>(&value_);
    return array ? array->get() : nullptr;
}

std::string APMValue::description() const {
    switch (valueType()) {
        case kDouble:
            return describeDouble(doubleValue());
        case kInt64:
            return std::to_string(int64Value());
        case kString:
            return *stringValue();
        case kArray:
            break;
    }
    std::string text = "(";
    for (const Parameters& element : *arrayValue()) {
        text += text.size() > 1 ? ", {" : "{";
        for (const auto& [name, value] : element) text += name + " = " + value.description() + "; ";
        text += "}";
    }
    return text + ")";
}

std::size_t APMValue::hash() const {
    std::size_t wrapped = 0;
    switch (valueType()) {
        case kDouble: {
            double number = doubleValue();
            // Values that compare equal hash alike: -0.0 with 0.0, every NaN with every other.
            if (number == 0) number = 0;
            wrapped = std::isnan(number) ? 0x7ff8 : std::hash<double>()(number);
            break;
        }
        case kInt64:
            wrapped = std::hash<std::int64_t>()(int64Value());
            break;
        case kString:
            wrapped = std::hash<std::string>()(*stringValue());
            break;
        case kArray:
            // An array hashes by its count, as equal arrays always have equal counts.
            wrapped = arrayValue()->size();
            break;
    }
    return wrapped ^ static_cast<std::size_t>(valueType() * 31);
}

bool operator==(const APMValue& a, const APMValue& b) {
    if (a.valueType() != b.valueType()) return false;
    switch (a.valueType()) {
        case APMValue::kDouble: {
            const double x = a.doubleValue(), y = b.doubleValue();
            return x == y || (std::isnan(x) && std::isnan(y));
        }
        case APMValue::kInt64:
            return a.int64Value() == b.int64Value();
        case APMValue::kString:
            return *a.stringValue() == *b.stringValue();
        case APMValue::kArray:
            return a.arrayValue() == b.arrayValue() || *a.arrayValue() == *b.arrayValue();
    }
    return false;
}

std::string APMClassNameOfObject(const platform::Value& object) {
    using Kind = platform::Value::Kind;
    switch (object.kind()) {
        case Kind::Null:
            return "NSNull";
        case Kind::Bool:
        case Kind::Int:
        case Kind::UInt:
        case Kind::Double:
            return "NSNumber";
        case Kind::String:
            return "NSString";
        case Kind::Data:
            return "NSData";
        case Kind::Date:
            return "NSDate";
        case Kind::Array:
            return "NSArray";
        case Kind::Dictionary:
            return "NSDictionary";
    }
    return "NSObject";
}

}  // namespace analytics
