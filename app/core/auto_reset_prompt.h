#pragma once

#include <functional>

namespace quorvel {

// Asks the user whether the day's round and goal counts should be cleared; the answer is true for
// "Reset". The timer screen's alerts fill it in.
class AutoResetPrompt {
public:
    virtual ~AutoResetPrompt() = default;
    virtual void showAutoResetAlert(std::function<void(bool reset)> answer) = 0;
};

}  // namespace quorvel
