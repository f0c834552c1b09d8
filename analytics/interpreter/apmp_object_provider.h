#pragma once

#include <functional>
#include <string>

#include "analytics/interpreter/apmp_module.h"
#include "platform/foundation/value.h"

namespace analytics {

// A module that answers one object, made by its block each time it is asked.
class APMPObjectProvider : public APMPModule {
public:
    using Block = std::function<platform::Value()>;

    APMPObjectProvider(std::string name, Block block)
        : APMPModule(std::move(name)), block_(std::move(block)) {}

    // Null without a block.
    platform::Value object() const { return block_ ? block_() : platform::Value(); }

private:
    const Block block_;
};

}  // namespace analytics
