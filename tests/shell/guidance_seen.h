#pragma once

#include "app/core/temp_user_default_properties.h"
#include "platform/foundation/ns_user_defaults.h"

namespace quorvel::testing {

// Writes into the current data root that the first-run guidance was seen in both orientations, as the
// app's settings file will say, so a program started on it shows the timer screen without the overlay.
inline void markGuidanceSeen() {
    using T = TempUserDefaultProperties;
    const auto defaults = platform::NSUserDefaults::standardUserDefaults();
    defaults->setBool(true, T::key(T::Case::hasGuidedOncePortrait));
    defaults->setBool(true, T::key(T::Case::hasGuidedOnceLandscape));
    platform::NSUserDefaults::flushAll();
    platform::NSUserDefaults::resetAllForTesting();
}

}  // namespace quorvel::testing
