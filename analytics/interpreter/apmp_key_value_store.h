#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analytics/interpreter/apmp_module.h"
#include "platform/foundation/value.h"

namespace analytics {

// A module whose "getValue" answers what its block answers for a key.
class APMPKeyValueStore : public APMPModule {
public:
    using GetValueBlock = std::function<std::optional<platform::Value>(const std::string& key)>;

    APMPKeyValueStore(std::string functionName, GetValueBlock getValueBlock)
        : APMPModule(std::move(functionName)), getValueBlock_(std::move(getValueBlock)) {}

    // Nothing for a key the block does not know, or without a block.
    std::optional<platform::Value> getValue(const std::string& key) const {
        return getValueBlock_ ? getValueBlock_(key) : std::nullopt;
    }

private:
    const GetValueBlock getValueBlock_;
};

}  // namespace analytics
