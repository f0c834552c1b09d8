#pragma once

#include "analytics/engine/apm_identifiers.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/engine/apm_screen_view_reporter.h"
#include "analytics/interface/apm_analytics.h"
#include "analytics/interface/dzr_app.h"
#include "tests/analytics/monitored_test.h"

namespace quorvel::testing {

// The library as a process finds it before the app configures it, for one case, and so again when the
// case ends: the default app, the facade's start and held events, the current screen, the origin, the
// engine and the process's monitor the case made are forgotten.
class FreshLibrary {
public:
    FreshLibrary() { forget(); }
    ~FreshLibrary() { forget(); }
    FreshLibrary(const FreshLibrary&) = delete;
    FreshLibrary& operator=(const FreshLibrary&) = delete;

private:
    static void forget() {
        analytics::DZRApp::resetDefaultForTesting();
        analytics::APMAnalytics::resetSharedForTesting();
        analytics::APMScreenViewReporter::sharedInstance()->setScreenParameters({});
        analytics::APMIdentifiers::sharedInstance()->setOrigin("");
        analytics::APMMeasurement::resetSharedForTesting();
    }
};

// A monitored case that starts a library of its own; its work is over before the library is forgotten.
class FreshLibraryTest : public MonitoredTest {
protected:
    FreshLibrary freshLibrary;
};

}  // namespace quorvel::testing
