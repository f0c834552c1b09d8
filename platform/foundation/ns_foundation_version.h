#pragma once

namespace platform {

// The version of the Foundation layer the app runs on, for code that checks which generation of the
// platform it has. This layer stands in for a current one: above every version the app tests for.
inline constexpr double NSFoundationVersionNumber = 1800.0;

}  // namespace platform
