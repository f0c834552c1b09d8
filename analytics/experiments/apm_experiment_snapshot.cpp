#include "analytics/experiments/apm_experiment_snapshot.h"

#include "analytics/messages/apmpb_flag.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"

namespace analytics {

namespace {

template <typename Message>
std::optional<std::vector<std::shared_ptr<Message>>> messagesOf(const NANOMessageBase* message,
                                                                int32_t index) {
    const auto elements = APMNanoGetArray<Message>(message, index);
    if (!elements) return std::nullopt;
    std::vector<std::shared_ptr<Message>> messages;
    for (const NanoObject& element : *elements) {
        if (const auto* object = std::get_if<std::shared_ptr<NANOMessageBase>>(&element))
            messages.push_back(std::static_pointer_cast<Message>(*object));
    }
    return messages;
}

}  // namespace

std::optional<APMExperimentSnapshot> APMExperimentSnapshot::fromMessage(const NANOMessageBase* snapshot) {
    if (!snapshot || &snapshot->messageType() != &apmpb_types::kSnapshot) return std::nullopt;
    auto sdkName = APMNanoGetString(snapshot, apmpb_fields::Snapshot::kSdkName);
    auto experiments = messagesOf<APMPBExperiment>(snapshot, apmpb_fields::Snapshot::kExperiments);
    if (!sdkName || !experiments) return std::nullopt;

    APMExperimentSnapshot result{*sdkName, {}, {}};
    for (const auto& experiment : *experiments) {
        result.experimentIDs.push_back(
            APMNanoGetInt32(experiment.get(), apmpb_fields::Experiment::kExperimentId));
        const auto flags = messagesOf<APMPBFlag>(experiment.get(), apmpb_fields::Experiment::kFlags);
        if (!flags) return std::nullopt;
        for (const auto& flag : *flags) {
            if (auto name = APMNanoGetString(flag.get(), apmpb_fields::Flag::kName))
                result.flags.insert_or_assign(*name, APMPBFlagValueObject(flag.get()));
        }
    }
    return result;
}

std::shared_ptr<NANOMessageBase> APMExperimentSnapshot::makeFlag(const NanoObject& name,
                                                                 const NanoObject& value) {
    return APMPBFlagMake(name, value);
}

}  // namespace analytics
