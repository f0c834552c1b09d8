#pragma once

#include <memory>

#include "platform/uikit/navigation/ui_navigation_bar.h"

namespace quorvel {

// The app's navigation-bar look: white tint and title, no hairline; the background see-through when
// translucent, else the focus theme colour as stored now (its default when none is stored). Nothing
// without a bar.
void styleNavigationBar(bool translucent, const std::shared_ptr<platform::UINavigationBar>& bar);

}  // namespace quorvel
