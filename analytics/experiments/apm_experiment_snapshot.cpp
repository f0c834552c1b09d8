#include "analytics/experiments/apm_experiment_snapshot.h"

#include "analytics/messages/apmpb_flag.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"

namespace analytics {

std::optional<APMExperimentSnapshot> APMExperimentSnapshot::fromMessage(const NANOMessageBase* snapshot) {
    if (!snapshot || &snapshot->messageType() != &apmpb_types::kSnapshot) return std::nullopt;
    auto sdkName = APMNanoGetString(snapshot, apmpb_fields::Snapshot::kSdkName);
    auto experiments = APMNanoGetMessages<APMPBExperiment>(snapshot, apmpb_fields::Snapshot::kExperiments);
    if (!sdkName || !experiments) return std::nullopt;

    APMExperimentSnapshot result{*sdkName, {}, {}};
    for (const auto& experiment : *experiments) {
        result.experimentIDs.push_back(
            APMNanoGetInt32(experiment.get(), apmpb_fields::Experiment::kExperimentId));
        const auto flags = APMNanoGetMessages<APMPBFlag>(experiment.get(), apmpb_fields::Experiment::kFlags);
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
