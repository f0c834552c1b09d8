#pragma once

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "app/widgets/reveal/reveal_cell_button_item.h"
#include "app/widgets/reveal/reveal_cell_reveal_position.h"
#include "app/widgets/reveal/reveal_utility_button_view.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

class RevealTableViewCell;

// The layer behind a reveal cell's content that holds the buttons of both sides. It keeps each side's
// items from the cell's data source until they are dropped, makes their buttons when the side is
// deployed, and sizes them as the content moves: each button takes its share of the dragged distance,
// from the cell's edge inwards.
class RevealUtilityContentView : public platform::UIView {
public:
    RevealUtilityContentView(const platform::CGRect& frame, const std::shared_ptr<RevealTableViewCell>& cell);

    std::shared_ptr<RevealTableViewCell> cell() const { return cell_.lock(); }

    // The side's items: what the data source gave the first time they were asked for since they were
    // last dropped. Each item names this view as the one that shows it.
    const std::vector<std::shared_ptr<RevealCellButtonItem>>& items(RevealSide side);
    void dropItems();
    // The sum of the side's item widths.
    platform::CGFloat revealWidth(RevealSide side);

    void deploy(RevealSide side);
    void undeploy(RevealSide side);
    bool isDeployed(RevealSide side) const { return sideOf(side).deployed; }
    const std::vector<std::shared_ptr<RevealUtilityButtonView>>& buttonViews(RevealSide side) const {
        return sideOf(side).views;
    }
    // Whether the side's first button has taken the whole drag, past the overdraw threshold.
    bool isExtended(RevealSide side) const { return sideOf(side).extended; }
    // The button showing `item`, if its side is out.
    std::shared_ptr<RevealUtilityButton> buttonForItem(const RevealCellButtonItem& item) const;

    // Sizes and places the buttons of the deployed sides for a content location.
    void layoutForLocation(platform::CGFloat location);

private:
    struct Side {
        std::optional<std::vector<std::shared_ptr<RevealCellButtonItem>>> items;
        std::vector<std::shared_ptr<RevealUtilityButtonView>> views;
        bool deployed = false;
        bool extended = false;
    };

    Side& sideOf(RevealSide side) { return sides_[side == RevealSide::left ? 0 : 1]; }
    const Side& sideOf(RevealSide side) const { return sides_[side == RevealSide::left ? 0 : 1]; }
    std::shared_ptr<RevealUtilityButtonView> makeButtonView(
        const std::shared_ptr<RevealCellButtonItem>& item);
    void layoutSide(RevealSide side, platform::CGFloat distance);
    void buttonTapped(RevealUtilityButton& button);

    std::weak_ptr<RevealTableViewCell> cell_;
    std::array<Side, 2> sides_;
};

}  // namespace quorvel
