#pragma once

#include <memory>

#include "app/widgets/reveal/reveal_cell_button_item.h"
#include "platform/uikit/controls/ui_button.h"

namespace quorvel {

// The button of one item. With an image and a title it stacks them: the image in a 24-point band, the
// title in a 12-point band below it, the pair centred vertically.
class RevealUtilityButton : public platform::UIButton {
public:
    static constexpr platform::CGFloat kImageBand = 24;
    static constexpr platform::CGFloat kTitleBand = 12;

    RevealUtilityButton() : platform::UIButton(platform::UIButtonType::system) {}

    const std::shared_ptr<RevealCellButtonItem>& item() const { return item_; }
    void setItem(std::shared_ptr<RevealCellButtonItem> item) { item_ = std::move(item); }
    bool wantsCombinedLayout() const { return wantsCombinedLayout_; }
    void setWantsCombinedLayout(bool combined);

    void layoutSubviews() override;

private:
    std::shared_ptr<RevealCellButtonItem> item_;
    bool wantsCombinedLayout_ = false;
};

}  // namespace quorvel
