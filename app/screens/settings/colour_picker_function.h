#pragma once

#include "app/core/timer_vocabulary.h"

namespace quorvel {

// Which theme colour the colour screen edits; the settings screen hands it over as the segue's sender.
enum class ColourPickerFunction { focusColour, shortBreakColour, longBreakColor };

// The screen's title and the colour button's text: "Focus Color", "Short Break Color", "Long Break Colour".
const char* colourPickerTitle(ColourPickerFunction function);
// The session type whose theme colour it is.
SessionType sessionType(ColourPickerFunction function);

}  // namespace quorvel
