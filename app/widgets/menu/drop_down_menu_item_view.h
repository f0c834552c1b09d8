#pragma once

#include <memory>

#include "app/widgets/menu/drop_down_menu_item.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

class DropDownMenu;

// The row of one item while the menu is open: background, title, optional subtitle, image and badge,
// or the item's own view. It looks highlighted while a finger is on it; a finger lifting within its
// height chooses the item.
class DropDownMenuItemView : public platform::UIView {
public:
    // `frame` is the row's place in the menu; with a subtitle the title takes the upper part.
    DropDownMenuItemView(const std::shared_ptr<DropDownMenu>& menu, std::shared_ptr<DropDownMenuItem> item,
                         const platform::CGRect& frame);

    std::shared_ptr<DropDownMenu> menu() const { return menu_.lock(); }
    const std::shared_ptr<DropDownMenuItem>& item() const { return item_; }
    // The line above the row, which the menu places.
    const std::shared_ptr<platform::UIView>& separatorView() const { return separatorView_; }
    void setSeparatorView(std::shared_ptr<platform::UIView> view);
    const std::shared_ptr<platform::UILabel>& titleLabel() const { return titleLabel_; }
    // None without a subtitle.
    const std::shared_ptr<platform::UILabel>& subtitleLabel() const { return subtitleLabel_; }
    const std::shared_ptr<platform::UIImageView>& imageView() const { return imageView_; }
    const std::shared_ptr<platform::UILabel>& badgeLabel() const { return badgeLabel_; }
    const std::shared_ptr<platform::UIView>& backgroundView() const { return backgroundView_; }
    bool isHighlighted() const { return highlighted_; }

    void layoutSubviews() override;
    void touchesBegan(const platform::UITouchSet& touches, const platform::UIEvent* event) override;
    void touchesEnded(const platform::UITouchSet& touches, const platform::UIEvent* event) override;
    void touchesCancelled(const platform::UITouchSet& touches, const platform::UIEvent* event) override;
    bool handlesTouchPhase(platform::UITouchPhase phase) const override {
        return phase != platform::UITouchPhase::moved && phase != platform::UITouchPhase::stationary;
    }

private:
    // Colours, fonts, texts, shadows and alignments of the normal or highlighted look.
    void applyLook(bool highlighted);
    void layoutImageAndBadge(const DropDownMenu& menu);
    void choose();

    std::weak_ptr<DropDownMenu> menu_;
    std::shared_ptr<DropDownMenuItem> item_;
    std::shared_ptr<platform::UIView> separatorView_;
    std::shared_ptr<platform::UIView> backgroundView_;
    std::shared_ptr<platform::UILabel> titleLabel_;
    std::shared_ptr<platform::UILabel> subtitleLabel_;
    std::shared_ptr<platform::UIImageView> imageView_;
    std::shared_ptr<platform::UILabel> badgeLabel_;
    bool highlighted_ = false;
};

}  // namespace quorvel
