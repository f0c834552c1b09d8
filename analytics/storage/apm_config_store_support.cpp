#include "analytics/storage/apm_config_store_support.h"

#include "analytics/monitor/apm_asl_logger.h"
#include "analytics/monitor/apm_log_level.h"
#include "analytics/monitor/apm_monitor.h"
#include "platform/foundation/property_list.h"

namespace analytics {

using platform::Value;

namespace {

bool holdsNoNull(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Null:
            return false;
        case Value::Kind::Array:
            for (const auto& element : *value.arrayValue()) {
                if (!holdsNoNull(element)) return false;
            }
            return true;
        case Value::Kind::Dictionary:
            for (const auto& [key, element] : *value.dictionaryValue()) {
                if (!holdsNoNull(element)) return false;
            }
            return true;
        default:
            return true;
    }
}

void logLine(std::int64_t level, std::int64_t code, const std::string& text) {
    APMASLLogger().logMessage(text, APMMonitor::kDefaultLogTag, code, level);
}

}  // namespace

bool APMIsConfigValue(const Value& value) {
    return holdsNoNull(value) && platform::PropertyList::isWritable(value);
}

std::string APMConfigValueDescription(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Null:
            return "<null>";
        case Value::Kind::String:
            return *value.stringValue();
        case Value::Kind::Bool:
            return *value.boolValue() ? "1" : "0";
        case Value::Kind::Int:
            return std::to_string(*value.intValue());
        case Value::Kind::UInt:
            return std::to_string(*value.uintValue());
        case Value::Kind::Double:
            return std::to_string(*value.doubleValue());
        case Value::Kind::Array: {
            std::string text = "(";
            for (const auto& element : *value.arrayValue())
                text += (text.size() > 1 ? ", " : "") + APMConfigValueDescription(element);
            return text + ")";
        }
        case Value::Kind::Dictionary: {
            std::string text = "{";
            for (const auto& [key, element] : *value.dictionaryValue()) {
                text += (text.size() > 1 ? "; " : "") + key + " = " + APMConfigValueDescription(element);
            }
            return text + "}";
        }
        default:
            return value.dataValue() ? "<data>" : "<date>";
    }
}

void APMLogConfigStoreWarning(std::int64_t code, const std::string& text) {
    logLine(APMLogLevel::Warning, code, text);
}

void APMLogConfigStoreError(std::int64_t code, const std::string& text) {
    logLine(APMLogLevel::Error, code, text);
}

}  // namespace analytics
