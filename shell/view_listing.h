#pragma once

#include <string>
#include <vector>

namespace quorvel::shell {

// What the app shows, for the trace: one line for the screen's size and safe area, then one for every
// label with text and every control a person could see, with its frame on the screen, the part of it
// that shows (a label's text, inside whatever clips it), its class and its text. Tests of the running
// program hold what shows against the safe area.
class ViewListing {
public:
    static std::vector<std::string> lines();
};

}  // namespace quorvel::shell
