#include "analytics/messages/apmpb_flag.h"

#include "analytics/messages/apmpb_flag_monitor.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/monitor/apm_log_level.h"

namespace {
using Field = apmpb_fields::Flag;
constexpr int kErrorLevel = analytics::APMLogLevel::MonitoredError;
}  // namespace

NanoObject APMPBFlagValueObject(const APMPBFlag* flag) {
    if (!flag) return std::monostate{};
    if (APMNanoHasField(flag, Field::kIntValue))
        return NanoNumber::withLongLong(APMNanoGetInt64(flag, Field::kIntValue));
    if (APMNanoHasField(flag, Field::kDoubleValue))
        return NanoNumber::withDouble(APMNanoGetDouble(flag, Field::kDoubleValue));
    if (APMNanoHasField(flag, Field::kStringValue)) {
        auto string = APMNanoGetString(flag, Field::kStringValue);
        if (!string) return std::monostate{};
        return std::move(*string);
    }
    if (APMNanoHasField(flag, Field::kBoolValue))
        return NanoNumber::withBool(APMNanoGetBool(flag, Field::kBoolValue));
    return std::monostate{};
}

std::shared_ptr<APMPBFlag> APMPBFlagMake(const NanoObject& name, const NanoObject& value) {
    if (std::holds_alternative<std::monostate>(name)) {
        APMPBFlagMonitor::logWithLevel(kErrorLevel, 850000, "Flag name must not be nil");
        return nullptr;
    }
    const auto* nameString = std::get_if<std::string>(&name);
    if (!nameString) {
        APMPBFlagMonitor::logWithLevel(kErrorLevel, 850001, "Flag name must be a string",
                                       NanoObjectClassName(name));
        return nullptr;
    }
    const auto* number = std::get_if<NanoNumber>(&value);
    const auto* string = std::get_if<std::string>(&value);
    if (!number && !string) {
        APMPBFlagMonitor::logWithLevel(kErrorLevel, 850002, "Flag value is invalid",
                                       NanoObjectClassName(value));
        return nullptr;
    }
    auto flag = APMPBFlag::initWithBuffer();
    if (!flag) return nullptr;
    APMNanoSetStringField(flag.get(), Field::kName, *nameString);
    if (string) {
        APMNanoSetStringField(flag.get(), Field::kStringValue, *string);
    } else if (number->isFloatingPoint()) {
        APMNanoSetDouble(flag.get(), Field::kDoubleValue, number->doubleValue());
    } else {
        APMNanoSetInt64(flag.get(), Field::kIntValue, number->longLongValue());
    }
    return flag;
}
