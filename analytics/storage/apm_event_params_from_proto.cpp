#include "analytics/storage/apm_event_params_from_proto.h"

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"

namespace analytics {

namespace {

using Param = apmpb_fields::EventParam;

std::optional<APMValue> scalarValue(const NANOMessageBase* param) {
    if (APMNanoHasField(param, Param::kStringValue)) {
        // A string that is no valid text is no value.
        const auto text = APMNanoGetString(param, Param::kStringValue);
        return text ? APMValue::initWithString(*text) : std::nullopt;
    }
    if (APMNanoHasField(param, Param::kIntValue))
        return APMValue::initWithInt64(APMNanoGetInt64(param, Param::kIntValue));
    if (APMNanoHasField(param, Param::kDoubleValue))
        return APMValue::initWithDouble(APMNanoGetDouble(param, Param::kDoubleValue));
    return std::nullopt;
}

bool hasScalarField(const NANOMessageBase* param) {
    return APMNanoHasField(param, Param::kStringValue) || APMNanoHasField(param, Param::kIntValue) ||
           APMNanoHasField(param, Param::kDoubleValue);
}

}  // namespace

std::optional<APMValue::Parameters> APMEventParamsFromProto(const NANOMessageBase* param, bool isNested,
                                                            APMErrorOut error) {
    if (!APMCheckPointer(param, error, 1, "Failed to parse empty event params data")) return std::nullopt;
    const auto name = APMNanoGetString(param, Param::kName);
    if (!APMCheckCondition(isNested || (name && !name->empty()), error, 1, "Event parameter name is empty"))
        return std::nullopt;
    const std::string key = name.value_or("");

    if (hasScalarField(param)) {
        auto value = scalarValue(param);
        if (!APMCheckCondition(value.has_value(), error, 2, "Failed to parse invalid event params data"))
            return std::nullopt;
        return APMValue::Parameters{{key, std::move(*value)}};
    }
    const auto elements = APMNanoHasField(param, Param::kParamValue)
                              ? APMNanoGetMessages<APMPBEventParam>(param, Param::kParamValue)
                              : std::nullopt;
    if (!APMCheckCondition(elements.has_value(), error, 2, "Failed to parse invalid event params data"))
        return std::nullopt;

    if (!isNested) {
        // An array parameter: each element is one item.
        APMValue::Array items;
        for (const auto& element : *elements) {
            if (auto item = APMEventParamsFromProto(element.get(), true, nullptr))
                items.push_back(std::move(*item));
        }
        return APMValue::Parameters{{key, APMValue::initWithArray(std::move(items))}};
    }
    // An item: its named values, each a nested parameter of its own; nothing nests deeper.
    APMValue::Parameters item;
    for (const auto& element : *elements) {
        const auto entry = APMEventParamsFromProto(element.get(), true, nullptr);
        const auto elementName = APMNanoGetString(element.get(), Param::kName);
        if (entry && !entry->empty() && elementName && entry->begin()->first == *elementName)
            item.insert(*entry->begin());
    }
    return item;
}

}  // namespace analytics
