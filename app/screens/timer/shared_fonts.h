#pragma once

#include <memory>

#include "platform/uikit/text/ui_font.h"

namespace quorvel {

// The fonts several screens share, each made once on first use (so the device at that moment decides
// the elapsed-time labels' face and size).

// The navigation bar's skip and session button titles.
std::shared_ptr<platform::UIFont> navigationBarButtonFont();
// The labels of the elapsed-time view: larger on a pad.
std::shared_ptr<platform::UIFont> elapsedTimeLabelFont();
// The buttons of the app's alerts.
std::shared_ptr<platform::UIFont> alertButtonFont();

}  // namespace quorvel
