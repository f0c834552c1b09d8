#pragma once

#include "platform/uikit/views/ui_view.h"

namespace platform {

// The hairline between rows. A class of its own so that cell layouts that slide their content can tell
// it by its class name and leave it in place.
class UITableViewCellSeparatorView : public UIView {
public:
    UITableViewCellSeparatorView();
};

}  // namespace platform
