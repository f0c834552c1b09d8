#pragma once

#include <string>

#include "platform/foundation/value.h"

namespace analytics {

// The analytics library's public interface. Calls return at once and never fail; what happens to an
// event is the library's business.
class ROVEruzovaza {
public:
    // Logs an event of origin "app". Until the default app is configured the event is dropped with a
    // warning; a parameter that is no string, number or array only adds a warning and is left to the
    // parameter rules.
    static void logEventWithName(const std::string& name, const platform::Value::Dictionary& parameters = {});

    // Called once by the configured default app: starts the library with origin "fa".
    static void startWithConfiguration(const std::string& appID, const platform::Value::Dictionary& options);
};

}  // namespace analytics
