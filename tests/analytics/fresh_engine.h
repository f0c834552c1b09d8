#pragma once

#include "analytics/engine/apm_measurement.h"
#include "tests/analytics/monitored_test.h"

namespace quorvel::testing {

// The engine as a process finds it before the library starts, for one case, and so again when the case
// ends: the engine, its active configuration and the process's monitor the case made are forgotten.
class FreshEngine {
public:
    FreshEngine() { analytics::APMMeasurement::resetSharedForTesting(); }
    ~FreshEngine() { analytics::APMMeasurement::resetSharedForTesting(); }
    FreshEngine(const FreshEngine&) = delete;
    FreshEngine& operator=(const FreshEngine&) = delete;
};

// A monitored case that starts an engine of its own; its work is over before the engine is forgotten.
class FreshEngineTest : public MonitoredTest {
protected:
    FreshEngine freshEngine;
};

}  // namespace quorvel::testing
