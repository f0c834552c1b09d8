#pragma once

#include <cstdint>
#include <string>

#include "analytics/foundation/apm_data_additions.h"

namespace analytics {

// What an event filter and a property filter of an audience have in common: the audience and filter
// they belong to, the name they watch, the encoded filter message and its three flags. Immutable.
class APMAudienceFilter {
public:
    std::int32_t audienceID() const { return audienceID_; }
    std::int32_t filterID() const { return filterID_; }
    const APMBytes& data() const { return data_; }
    bool isSessionScoped() const { return sessionScoped_; }
    bool isDynamic() const { return dynamic_; }
    bool isSequence() const { return sequence_; }

    bool operator==(const APMAudienceFilter&) const = default;

protected:
    APMAudienceFilter(std::int32_t audienceID, std::int32_t filterID, std::string name, APMBytes data,
                      bool sessionScoped, bool dynamic, bool sequence)
        : audienceID_(audienceID),
          filterID_(filterID),
          name_(std::move(name)),
          data_(std::move(data)),
          sessionScoped_(sessionScoped),
          dynamic_(dynamic),
          sequence_(sequence) {}

    const std::string& name() const { return name_; }

private:
    std::int32_t audienceID_;
    std::int32_t filterID_;
    std::string name_;
    APMBytes data_;
    bool sessionScoped_;
    bool dynamic_;
    bool sequence_;
};

}  // namespace analytics
