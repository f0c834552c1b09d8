#pragma once

#include "analytics/engine/apm_measurement.h"
#include "tests/analytics/monitored_test.h"

namespace quorvel::testing {

// The library as a process finds it before it starts, for one case, and so again when the case ends:
// the engine, its active configuration and the process's monitor the case made are forgotten.
class FreshLibrary {
public:
    FreshLibrary() { analytics::APMMeasurement::resetSharedForTesting(); }
    ~FreshLibrary() { analytics::APMMeasurement::resetSharedForTesting(); }
    FreshLibrary(const FreshLibrary&) = delete;
    FreshLibrary& operator=(const FreshLibrary&) = delete;
};

// A monitored case that starts the library of its own; its work is over before the library is forgotten.
class FreshLibraryTest : public MonitoredTest {
protected:
    FreshLibrary library;
};

}  // namespace quorvel::testing
