#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analytics/messages/nano_message_base.h"
#include "analytics/messages/nano_object.h"

namespace analytics {

// What the experiment client takes from a snapshot message: the SDK it is for, its experiments and the
// value of every flag (a later flag of the same name wins).
struct APMExperimentSnapshot {
    std::string sdkName;
    std::vector<std::int32_t> experimentIDs;
    std::map<std::string, NanoObject> flags;

    // nullopt for a message that is not a snapshot or names no SDK.
    static std::optional<APMExperimentSnapshot> fromMessage(const NANOMessageBase* snapshot);
    // A flag message for a default value; nullptr (reported by the flag functions) when it is no flag.
    static std::shared_ptr<NANOMessageBase> makeFlag(const NanoObject& name, const NanoObject& value);
};

}  // namespace analytics
