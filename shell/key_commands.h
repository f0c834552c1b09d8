#pragma once

#include <SDL.h>

#include <optional>

#include "platform/uikit/device/ui_device.h"

namespace quorvel::shell {

// What a key asks of the shell. Digits 1 to 6 turn the device to the orientation of that number
// (1 portrait, 2 upside down, 3 and 4 landscape left and right, 5 face up, 6 face down), S moves a
// tablet to its next split share, F12 or Print takes a screenshot, Ctrl+Q or Ctrl+W closes the window.
struct KeyCommand {
    enum class Kind { rotate, nextSplit, screenshot, close };
    Kind kind;
    platform::UIDeviceOrientation orientation = platform::UIDeviceOrientation::unknown;

    static std::optional<KeyCommand> forKey(SDL_Keycode key, Uint16 modifiers);
};

}  // namespace quorvel::shell
