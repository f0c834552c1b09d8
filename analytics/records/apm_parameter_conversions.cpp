#include "analytics/records/apm_parameter_conversions.h"

#include "analytics/foundation/apm_name_maps.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/monitor/apm_monitor.h"

namespace analytics {

namespace {

using Param = apmpb_fields::EventParam;

std::shared_ptr<APMPBEventParam> paramMessage(const std::string& name, const APMValue& value) {
    auto param = APMPBEventParam::initWithBuffer();
    APMNanoSetStringField(param.get(), Param::kName, name);
    if (value.isDouble()) APMNanoSetDouble(param.get(), Param::kDoubleValue, value.doubleValue());
    if (value.isInt64()) APMNanoSetInt64(param.get(), Param::kIntValue, value.int64Value());
    if (const std::string* text = value.stringValue()) APMNanoSetStringField(param.get(), Param::kStringValue, *text);
    return param;
}

}  // namespace

platform::Value::Dictionary APMPlainParametersFromValues(const APMValue::Parameters& parameters, bool isNested) {
    platform::Value::Dictionary plain;
    for (const auto& [name, value] : parameters) {
        switch (value.valueType()) {
            case APMValue::kDouble:
                plain.emplace(name, value.doubleValue());
                break;
            case APMValue::kInt64:
                plain.emplace(name, value.int64Value());
                break;
            case APMValue::kString:
                plain.emplace(name, *value.stringValue());
                break;
            case APMValue::kArray: {
                if (isNested) break;
                platform::Value::Array elements;
                for (const APMValue::Parameters& element : *value.arrayValue())
                    elements.emplace_back(APMPlainParametersFromValues(element, true));
                plain.emplace(name, std::move(elements));
                break;
            }
        }
    }
    return plain;
}

std::vector<NanoObject> APMEventParamProtos(const APMValue::Parameters& parameters, const std::string& eventName,
                                            bool isNested) {
    std::vector<NanoObject> protos;
    protos.reserve(parameters.size());
    for (const auto& [name, value] : parameters) {
        auto param = paramMessage(name, value);
        if (const APMValue::Array* array = value.arrayValue()) {
            if (isNested) {
                APMMonitor::sharedInstance()->logWithLevel(
                    APMLogLevel::SilentError, 16007,
                    "Nested params cannot have more than 1 level. Event name, param name",
                    APMLoggableEventName(eventName), APMLoggableParameterName(name));
                continue;
            }
            std::vector<NanoObject> elements;
            for (const APMValue::Parameters& element : *array) {
                auto elementMessage = APMPBEventParam::initWithBuffer();
                const auto elementParams = APMEventParamProtos(element, eventName, true);
                APMNanoSetArray(elementMessage.get(), Param::kParamValue, &elementParams);
                elements.emplace_back(std::move(elementMessage));
            }
            APMNanoSetArray(param.get(), Param::kParamValue, &elements);
        }
        protos.emplace_back(std::move(param));
    }
    return protos;
}

}  // namespace analytics
