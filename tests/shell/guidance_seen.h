#pragma once

#include "app/core/temp_user_default_properties.h"
#include "platform/foundation/ns_user_defaults.h"

namespace quorvel::testing {

// Writes into the current data root that the first-run guidance was seen upright and, unless told
// otherwise, lying sideways too, as the app's settings file will say, so a program started on it shows
// the timer screen without the overlay (until a phone first lies sideways, when only upright was seen).
inline void markGuidanceSeen(bool landscapeToo = true) {
    using T = TempUserDefaultProperties;
    const auto defaults = platform::NSUserDefaults::standardUserDefaults();
    defaults->setBool(true, T::key(T::Case::hasGuidedOncePortrait));
    if (landscapeToo) defaults->setBool(true, T::key(T::Case::hasGuidedOnceLandscape));
    platform::NSUserDefaults::flushAll();
    platform::NSUserDefaults::resetAllForTesting();
}

}  // namespace quorvel::testing
