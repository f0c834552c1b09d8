#pragma once

#include <memory>

#include "app/core/timer_vocabulary.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image.h"

namespace quorvel {

// The app's fixed colours, each made once on first use and shared. The three theme colours are the
// defaults of the focus, short-break and long-break sessions.
const std::shared_ptr<platform::UIColor>& defaultFocusThemeColor();
const std::shared_ptr<platform::UIColor>& defaultShortBreakThemeColor();
const std::shared_ptr<platform::UIColor>& defaultLongBreakThemeColor();
// Buttons revealed on the round and goal table.
const std::shared_ptr<platform::UIColor>& swipeButtonDarkGrey();
const std::shared_ptr<platform::UIColor>& swipeButtonLightGrey();
// The navigation container.
const std::shared_ptr<platform::UIColor>& navigationGrey();
// 1 × 1-point swatches behind the progress button: white 250/255 at alpha 0.18 (normal) and black at
// alpha 0.8 (highlighted).
const std::shared_ptr<platform::UIImage>& translucentWhiteImage();
const std::shared_ptr<platform::UIImage>& translucentBlackImage();

// The default theme colour of a session type.
const std::shared_ptr<platform::UIColor>& defaultThemeColor(SessionType type);

}  // namespace quorvel
