#include "app/widgets/menu/drop_down_menu_item_view.h"

#include <cmath>

#include "app/widgets/menu/drop_down_menu.h"
#include "platform/uikit/text/ns_attributed_string.h"
#include "platform/uikit/touches/ui_touch.h"

namespace quorvel {

using namespace platform;

namespace {

// With a subtitle, the title and subtitle take these shares of the row's height.
constexpr CGFloat kTitleShare = 1.725;
constexpr CGFloat kSubtitleShare = 0.42028985;
// The badge's padding around its text, and how far it overlaps the image's top right corner.
constexpr CGSize kBadgePadding{6, 2};
constexpr CGFloat kBadgeOverlap = 2;

std::shared_ptr<UILabel> rowLabel(const CGRect& frame) {
    auto label = std::make_shared<UILabel>(frame);
    label->setBackgroundColor(UIColor::clearColor());
    label->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    label->setIsAccessibilityElement(false);
    return label;
}

void style(UILabel& label, const std::string& text, const std::shared_ptr<UIFont>& font,
           const std::shared_ptr<UIColor>& color, const std::shared_ptr<UIColor>& shadowColor,
           CGSize shadowOffset, int alignment) {
    label.setText(text);
    label.setFont(font);
    label.setTextColor(color);
    label.setShadowColor(shadowColor);
    label.setShadowOffset(shadowOffset);
    label.setTextAlignment(static_cast<NSTextAlignment>(alignment));
}

}  // namespace

DropDownMenuItemView::DropDownMenuItemView(const std::shared_ptr<DropDownMenu>& menu,
                                           std::shared_ptr<DropDownMenuItem> item, const CGRect& frame)
    : UIView(frame), menu_(menu), item_(std::move(item)) {
    setIsAccessibilityElement(true);
    setAccessibilityTraits(UIAccessibilityTraitButton);
    setAccessibilityHint("Double tap to choose");

    backgroundView_ = std::make_shared<UIView>(bounds());
    backgroundView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    if (menu->liveBlur() && DropDownMenu::flatStyle()) backgroundView_->setAlpha(0.5);
    addSubview(backgroundView_);

    const DropDownMenuAppearance look = item_->resolvedOver(*menu);
    const CGFloat width = frame.size.width, height = menu->itemHeight();
    const bool subtitled = !item_->subtitle().empty();
    const CGFloat titleHeight = subtitled ? std::floor(height / kTitleShare) : height;
    titleLabel_ = rowLabel(CGRect(look.textOffset().width, look.textOffset().height, width, titleHeight));
    addSubview(titleLabel_);
    if (subtitled) {
        const CGSize offset = look.subtitleTextOffset();
        subtitleLabel_ = rowLabel(
            CGRect(offset.width, offset.height + titleHeight, width, std::floor(height * kSubtitleShare)));
        addSubview(subtitleLabel_);
    }

    imageView_ = std::make_shared<UIImageView>();
    addSubview(imageView_);
    badgeLabel_ = std::make_shared<UILabel>();
    badgeLabel_->setHidden(true);
    badgeLabel_->setBackgroundColor(UIColor::colorWithWhite(0.559, 1));
    badgeLabel_->setTextColor(UIColor::whiteColor());
    badgeLabel_->setFont(UIFont::systemFontOfSize(11));
    badgeLabel_->setTextAlignment(NSTextAlignment::center);
    badgeLabel_->layer()->setCornerRadius(4);
    badgeLabel_->layer()->setBorderColor(UIColor::colorWithWhite(0.63, 1));
    badgeLabel_->layer()->setBorderWidth(1);
    addSubview(badgeLabel_);
    if (item_->customView()) addSubview(item_->customView());
}

void DropDownMenuItemView::setSeparatorView(std::shared_ptr<UIView> view) {
    separatorView_ = std::move(view);
    applyLook(highlighted_);
}

// Layout ---------------------------------------------------------------------------------------------

void DropDownMenuItemView::layoutSubviews() {
    auto menu = menu_.lock();
    if (!menu) return;
    layoutImageAndBadge(*menu);
    applyLook(highlighted_);
    if (item_->customView()) {
        item_->customView()->setFrame(CGRect(0, 0, titleLabel_->frame().size.width, bounds().size.height));
    }
    setAccessibilityLabel(subtitleLabel_ ? item_->title() + ", " + item_->subtitle() : item_->title());
}

void DropDownMenuItemView::layoutImageAndBadge(const DropDownMenu& menu) {
    imageView_->setImage(item_->image());
    imageView_->setHighlightedImage(item_->higlightedImage());
    const CGSize size = item_->image() ? item_->image()->size() : CGSize{};
    const CGSize offset = menu.imageOffset();
    const bool left = menu.imageAlignment() == 0;
    // Square icons: the gap to the row's edge is the gap above and below the image in a standard row.
    const CGFloat inset = std::floor((menu.itemHeight() - size.height) / 2) + offset.width;
    const CGFloat x = left ? inset : titleLabel_->frame().size.width - (inset + size.width);
    const CGFloat y = std::floor((bounds().size.height - size.height) / 2) + offset.height;
    imageView_->setFrame(CGRect(x, y, size.width, size.height));

    const auto& badge = item_->badge();
    badgeLabel_->setHidden(!badge);
    if (!badge) return;
    badgeLabel_->setText(*badge);
    const CGSize text = NSAttributedString(*badge, {badgeLabel_->font(), nullptr}).size();
    const CGSize box{text.width + kBadgePadding.width, text.height + kBadgePadding.height};
    const CGRect image = imageView_->frame();
    // On the image's outer top corner: its right one, or its left one for an image on the right.
    const CGFloat badgeX = left ? image.maxX() - kBadgeOverlap : image.minX() + kBadgeOverlap - box.width;
    badgeLabel_->setFrame(CGRect(badgeX, image.minY() - kBadgeOverlap, box.width, box.height));
    if (const auto& configure = menu.badgeLabelConfigurationBlock()) configure(badgeLabel_, item_);
}

void DropDownMenuItemView::applyLook(bool highlighted) {
    auto menu = menu_.lock();
    if (!menu) return;
    const DropDownMenuAppearance look = item_->resolvedOver(*menu);
    backgroundView_->setBackgroundColor(highlighted                ? look.highlightedBackgroundColor()
                                        : item_->backgroundColor() ? item_->backgroundColor()
                                                                   : UIColor::clearColor());
    if (separatorView_) {
        separatorView_->setBackgroundColor(highlighted ? look.highlightedSeparatorColor()
                                                       : look.separatorColor());
    }
    style(*titleLabel_, item_->title(), look.font(),
          highlighted ? look.highlightedTextColor() : look.textColor(),
          highlighted ? look.highlightedTextShadowColor() : look.textShadowColor(),
          highlighted ? look.highlightedTextShadowOffset() : look.textShadowOffset(), look.textAlignment());
    if (subtitleLabel_) {
        style(*subtitleLabel_, item_->subtitle(), look.subtitleFont(),
              highlighted ? look.subtitleHighlightedTextColor() : look.subtitleTextColor(),
              highlighted ? look.subtitleHighlightedTextShadowColor() : look.subtitleTextShadowColor(),
              highlighted ? look.subtitleHighlightedTextShadowOffset() : look.subtitleTextShadowOffset(),
              look.subtitleTextAlignment());
    }
    imageView_->setHighlighted(highlighted);
}

// Touches --------------------------------------------------------------------------------------------

void DropDownMenuItemView::touchesBegan(const UITouchSet& touches, const UIEvent* event) {
    (void)touches;
    (void)event;
    highlighted_ = true;
    applyLook(true);
}

void DropDownMenuItemView::touchesCancelled(const UITouchSet& touches, const UIEvent* event) {
    (void)touches;
    (void)event;
    highlighted_ = false;
    applyLook(false);
}

void DropDownMenuItemView::touchesEnded(const UITouchSet& touches, const UIEvent* event) {
    (void)event;
    highlighted_ = false;
    applyLook(false);
    if (touches.empty()) return;
    // Only a finger lifted level with the row chooses it; one dragged off above or below does not.
    const CGFloat y = touches.front()->locationInView(this).y;
    if (y >= 0 && y <= bounds().size.height) choose();
}

void DropDownMenuItemView::choose() {
    auto menu = menu_.lock();
    if (!menu) return;
    const auto action = item_->action();
    if (!menu->closeOnSelection()) {
        if (action) action(item_);
        return;
    }
    if (!action) return;
    if (menu->waitUntilAnimationIsComplete()) {
        std::weak_ptr<DropDownMenuItemView> weak =
            std::static_pointer_cast<DropDownMenuItemView>(shared_from_this());
        menu->closeWithCompletion([weak, action] {
            if (auto row = weak.lock()) action(row->item_);
        });
    } else {
        menu->close();
        action(item_);
    }
}

}  // namespace quorvel
