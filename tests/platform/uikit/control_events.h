#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/uikit/controls/ui_control.h"

namespace quorvel::testing {

// Writes the name of every control event the control sends into `log`.
inline void logControlEvents(platform::UIControl& control, std::vector<std::string>& log) {
    using namespace platform;
    static const std::pair<unsigned, const char*> names[] = {
        {UIControlEventTouchDown, "down"},          {UIControlEventTouchDownRepeat, "repeat"},
        {UIControlEventTouchDragInside, "inside"},  {UIControlEventTouchDragOutside, "outside"},
        {UIControlEventTouchDragEnter, "enter"},    {UIControlEventTouchDragExit, "exit"},
        {UIControlEventTouchUpInside, "up-inside"}, {UIControlEventTouchUpOutside, "up-outside"},
        {UIControlEventTouchCancel, "cancel"},      {UIControlEventValueChanged, "value"},
    };
    for (const auto& entry : names) {
        control.addTarget(
            &log, [&log, name = entry.second](UIControl&) { log.push_back(name); }, entry.first);
    }
}

}  // namespace quorvel::testing
