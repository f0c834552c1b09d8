#include "app/screens/settings/colour_picker_function.h"

namespace quorvel {

const char* colourPickerTitle(ColourPickerFunction function) {
    switch (function) {
        case ColourPickerFunction::shortBreakColour:
            return "Short Break Color";
        case ColourPickerFunction::longBreakColor:
            return "Long Break Colour";
        case ColourPickerFunction::focusColour:
            break;
    }
    return "Focus Color";
}

SessionType sessionType(ColourPickerFunction function) {
    switch (function) {
        case ColourPickerFunction::shortBreakColour:
            return SessionType::shortBreak;
        case ColourPickerFunction::longBreakColor:
            return SessionType::longBreak;
        case ColourPickerFunction::focusColour:
            break;
    }
    return SessionType::focus;
}

}  // namespace quorvel
