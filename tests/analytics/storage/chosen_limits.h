#pragma once

#include <cstdint>

#include "analytics/storage/apm_storage_limits.h"

namespace quorvel::testing {

// Limits as a received configuration answers them, each chosen by the test.
struct ChosenLimits : analytics::APMStorageLimits {
    std::int32_t maxEvents = kDefaultMaxEventsStored;
    bool storeInApplicationSupport = false;

    bool isDefaultInstance() const override { return false; }
    std::int32_t maxEventsStored() override { return maxEvents; }
    bool persistentConfigInApplicationSupportEnabled() override { return storeInApplicationSupport; }
};

}  // namespace quorvel::testing
