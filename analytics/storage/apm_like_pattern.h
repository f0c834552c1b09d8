#pragma once

#include <string>

namespace analytics {

// Text bound into a LIKE pattern matches itself only: "_" and "%" (and the escape character "!") are
// escaped, so the statement must end its LIKE with kAPMLikeEscape.
std::string APMLikeEscaped(const std::string& text);
inline constexpr const char* kAPMLikeEscape = " ESCAPE '!'";

}  // namespace analytics
