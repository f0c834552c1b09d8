#pragma once

#include <string>

namespace quorvel {

// A view that shows the clock text; nothing reads it yet.
class TimerTextFormattable {
public:
    virtual ~TimerTextFormattable() = default;

    virtual std::string timerText() const = 0;
};

}  // namespace quorvel
