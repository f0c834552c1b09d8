#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analytics/messages/apmpb_flag.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"

namespace analytics_test {

// A snapshot message for one SDK with one experiment holding the given flags.
inline std::shared_ptr<APMPBSnapshot> makeSnapshot(const std::string& sdkName, std::int32_t experimentID,
                                                   const std::map<std::string, NanoObject>& flags) {
    std::vector<NanoObject> flagMessages;
    for (const auto& [name, value] : flags)
        flagMessages.emplace_back(std::in_place_type<std::shared_ptr<NANOMessageBase>>,
                                  APMPBFlagMake(name, value));
    auto experiment = APMPBExperiment::initWithBuffer();
    APMNanoSetInt32(experiment.get(), 0, experimentID);
    APMNanoSetArray(experiment.get(), 1, &flagMessages);
    auto snapshot = APMPBSnapshot::initWithBuffer();
    APMNanoSetStringField(snapshot.get(), 0, sdkName);
    const std::vector<NanoObject> experiments{std::shared_ptr<NANOMessageBase>(experiment)};
    APMNanoSetArray(snapshot.get(), 1, &experiments);
    return snapshot;
}

}  // namespace analytics_test
