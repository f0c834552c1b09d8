#include "analytics/storage/apm_event_blob.h"

#include "analytics/messages/proto/apm_messages.h"

namespace analytics {

std::optional<APMBytes> APMDataFromEvent(const APMEvent& event) {
    const auto proto = event.protoEvent();
    return proto ? proto->protoBuffer() : std::nullopt;
}

std::optional<APMEvent> APMEventFromData(const platform::Value& data, std::int32_t maxPublicParameters,
                                         APMErrorOut error) {
    const APMBytes* bytes = data.dataValue();
    if (!APMCheckPointer(bytes, error, 2,
                         "Failed to convert data to an event. Data must be a NSData instance"))
        return std::nullopt;
    const auto proto = APMPBEvent::initWithBuffer(*bytes);
    if (!APMCheckNotNil(proto, error, 2, "Failed to parse event from data")) return std::nullopt;
    auto event = APMEvent::initWithEventProto(proto.get(), maxPublicParameters);
    APMCheckCondition(event.has_value(), error, 2, "Failed to initialize event from proto data");
    return event;
}

}  // namespace analytics
