#include "app/widgets/reveal/popover_cell_button_item.h"

#include "app/widgets/reveal/reveal_utility_content_view.h"

namespace quorvel {

using namespace platform;

void setCellButtonItem(UIPopoverPresentationController& popover, const RevealCellButtonItem& item) {
    const auto source = item.view();
    auto content = std::dynamic_pointer_cast<RevealUtilityContentView>(source);
    const auto button = content ? content->buttonForItem(item) : nullptr;
    popover.setSourceView(source);
    popover.setSourceRect(button ? button->convertRectToView(button->bounds(), source) : CGRect::zero());
    popover.setBarButtonItem(nullptr);
}

}  // namespace quorvel
