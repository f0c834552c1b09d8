#include "app/core/settings_records.h"

#include "app/core/theme_colors.h"

namespace quorvel {

std::int64_t PomodoroData::lengthOf(SessionType type) const {
    switch (type) {
        case SessionType::shortBreak:
            return shortBreakLength;
        case SessionType::longBreak:
            return longBreakLength;
        case SessionType::focus:
            break;
    }
    return focusLength;
}

std::shared_ptr<platform::UIColor> PomodoroData::themeColorOf(SessionType type) const {
    const std::shared_ptr<platform::UIColor>* stored = &focusThemeColor;
    if (type == SessionType::shortBreak) stored = &shortBreakThemeColor;
    if (type == SessionType::longBreak) stored = &longBreakThemeColor;
    return *stored ? *stored : defaultThemeColor(type);
}

}  // namespace quorvel
