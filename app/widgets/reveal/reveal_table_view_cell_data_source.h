#pragma once

#include <memory>
#include <vector>

#include "app/widgets/reveal/reveal_cell_button_item.h"

namespace quorvel {

class RevealTableViewCell;

// Gives a reveal cell the buttons of each side; a side left unanswered has none.
class RevealTableViewCellDataSource {
public:
    virtual ~RevealTableViewCellDataSource() = default;

    virtual std::vector<std::shared_ptr<RevealCellButtonItem>> leftButtonItemsInRevealTableViewCell(
        RevealTableViewCell& cell) {
        (void)cell;
        return {};
    }
    virtual std::vector<std::shared_ptr<RevealCellButtonItem>> rightButtonItemsInRevealTableViewCell(
        RevealTableViewCell& cell) {
        (void)cell;
        return {};
    }
};

}  // namespace quorvel
