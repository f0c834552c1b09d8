#include "analytics/interface/rov_eruzovaza.h"

#include <algorithm>

#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_name_maps.h"
#include "analytics/interface/apm_analytics.h"
#include "analytics/interface/dzr_app.h"
#include "analytics/monitor/apm_monitor.h"

namespace analytics {

namespace {

// Internal names are spelled out in logs only while this class is in the process.
[[maybe_unused]] const bool loaded = (APMSetPublicInterfaceClassPresent(true), true);

bool isBridgeable(const platform::Value& value) {
    using Kind = platform::Value::Kind;
    switch (value.kind()) {
        case Kind::Bool:
        case Kind::Int:
        case Kind::UInt:
        case Kind::Double:
        case Kind::String:
        case Kind::Array:
            return true;
        default:
            return false;
    }
}

}  // namespace

void ROVEruzovaza::logEventWithName(const std::string& name, const platform::Value::Dictionary& parameters) {
    if (!DZRApp::defaultApp()) {
        APMMeasurement::monitor()->logWithLevel(APMLogLevel::Warning, 25018,
                                                "Event not logged. Call +[DZRApp configure]");
        return;
    }
    if (!std::all_of(parameters.begin(), parameters.end(), [](const auto& entry) { return isBridgeable(entry.second); })) {
        APMMeasurement::monitor()->logWithLevel(
            APMLogLevel::Warning, 25040,
            "Unbridgeable Swift type logged in parameters. Break on "
            "__ROVERUZOVAZA_UNBRIDGEABLE_SWIFT_VALUE_ERROR__ to debug.");
    }
    APMAnalytics::logEventWithOrigin("app", true, name, APMLoggedParameters(parameters));
}

void ROVEruzovaza::startWithConfiguration(const std::string& appID, const platform::Value::Dictionary& options) {
    APMAnalytics::startWithAppID(appID, "fa", options);
}

}  // namespace analytics
