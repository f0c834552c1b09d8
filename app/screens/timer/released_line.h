#pragma once

#include <string>

namespace quorvel {

// The console line the timer screen and its views write as they are torn down: the greeting, a blank
// and the class name (the greeting itself ends in a blank, so two stand before the name).
void printReleased(const std::string& className);

}  // namespace quorvel
