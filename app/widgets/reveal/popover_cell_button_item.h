#pragma once

#include "app/widgets/reveal/reveal_cell_button_item.h"
#include "platform/uikit/controllers/ui_popover_presentation_controller.h"

namespace quorvel {

// Anchors a popover to the button of `item` behind a reveal cell: the item's content view is the
// source, the button's frame there the source rectangle, and no bar button item. With the item's side
// put away, the popover keeps the content view (if any) and an empty rectangle.
void setCellButtonItem(platform::UIPopoverPresentationController& popover, const RevealCellButtonItem& item);

}  // namespace quorvel
