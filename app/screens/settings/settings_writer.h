#pragma once

#include <initializer_list>

#include "app/core/user_default_properties.h"

namespace quorvel {

// How a settings screen stores a change: each value in order, then the standard suite synchronised and
// after it the app-group suite, so that the group's readers see the values the app now uses.
void storeSettings(std::initializer_list<UserDefaultProperties> values);

}  // namespace quorvel
