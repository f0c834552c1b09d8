#include "shell/key_commands.h"

namespace quorvel::shell {

std::optional<KeyCommand> KeyCommand::forKey(SDL_Keycode key, Uint16 modifiers) {
    const bool control = modifiers & KMOD_CTRL;
    if (control) {
        if (key == SDLK_q || key == SDLK_w) return KeyCommand{Kind::close};
        return std::nullopt;
    }
    // Keys held with Alt or the system key belong to the desktop.
    if (modifiers & (KMOD_ALT | KMOD_GUI)) return std::nullopt;
    if (key == SDLK_F12 || key == SDLK_PRINTSCREEN) return KeyCommand{Kind::screenshot};
    if (key == SDLK_s) return KeyCommand{Kind::nextSplit};
    int digit = 0;
    if (key >= SDLK_1 && key <= SDLK_6) digit = key - SDLK_1 + 1;
    if (key >= SDLK_KP_1 && key <= SDLK_KP_6) digit = key - SDLK_KP_1 + 1;
    if (digit) return KeyCommand{Kind::rotate, static_cast<platform::UIDeviceOrientation>(digit)};
    return std::nullopt;
}

}  // namespace quorvel::shell
