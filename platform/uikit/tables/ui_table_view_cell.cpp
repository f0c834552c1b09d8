#include "platform/uikit/tables/ui_table_view_cell.h"

#include <algorithm>

#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/tables/ui_table_view_cell_separator_view.h"
#include "platform/uikit/text/ui_font.h"
#include "platform/uikit/text/ui_label.h"

namespace platform {

namespace {

// The value2 style's column for its text, and the gaps between the parts of a row.
constexpr CGFloat kValue2Column = 71;
constexpr CGFloat kGap = 6;
constexpr CGFloat kAccessoryGap = 10;
constexpr double kDeselectFade = 0.25;

std::shared_ptr<UIColor> secondaryTextColor() {
    return UIColor::colorWithRed(142 / 255.0, 142 / 255.0, 147 / 255.0, 1);
}

std::shared_ptr<UILabel> makeLabel(CGFloat size, bool bold, std::shared_ptr<UIColor> color) {
    auto label = std::make_shared<UILabel>();
    label->setFont(bold ? UIFont::boldSystemFontOfSize(size) : UIFont::systemFontOfSize(size));
    label->setTextColor(std::move(color));
    return label;
}

bool hasText(const std::shared_ptr<UILabel>& label) {
    return label && !label->text().empty();
}

}  // namespace

UITableViewCell::UITableViewCell() : UITableViewCell(UITableViewCellStyle::default_, "") {}

UITableViewCell::UITableViewCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UIView(CGRect(0, 0, 320, kDefaultHeight)), style_(style), reuseIdentifier_(reuseIdentifier) {
    setBackgroundColor(UIColor::whiteColor());
    contentView_ = std::make_shared<UIView>(bounds());
    addSubview(contentView_);

    if (style_ != UITableViewCellStyle::value2) {
        imageView_ = std::make_shared<UIImageView>();
        contentView_->addSubview(imageView_);
    }
    switch (style_) {
        case UITableViewCellStyle::default_:
            textLabel_ = makeLabel(17, false, UIColor::blackColor());
            break;
        case UITableViewCellStyle::value1:
            textLabel_ = makeLabel(17, false, UIColor::blackColor());
            detailTextLabel_ = makeLabel(17, false, secondaryTextColor());
            detailTextLabel_->setTextAlignment(NSTextAlignment::right);
            break;
        case UITableViewCellStyle::value2:
            textLabel_ = makeLabel(15, true, tintColor());
            textLabel_->setTextAlignment(NSTextAlignment::right);
            detailTextLabel_ = makeLabel(15, false, UIColor::blackColor());
            break;
        case UITableViewCellStyle::subtitle:
            textLabel_ = makeLabel(17, false, UIColor::blackColor());
            detailTextLabel_ = makeLabel(12, false, UIColor::blackColor());
            break;
    }
    contentView_->addSubview(textLabel_);
    if (detailTextLabel_) contentView_->addSubview(detailTextLabel_);
}

UITableViewCell::~UITableViewCell() = default;

// Accessory and backgrounds ------------------------------------------------------------------------

void UITableViewCell::setAccessoryType(UITableViewCellAccessoryType type) {
    if (type == accessoryType_) return;
    accessoryType_ = type;
    installAccessory();
}

void UITableViewCell::setAccessoryView(std::shared_ptr<UIView> view) {
    if (view == accessoryView_) return;
    accessoryView_ = std::move(view);
    installAccessory();
}

void UITableViewCell::installAccessory() {
    if (shownAccessory_) shownAccessory_->removeFromSuperview();
    shownAccessory_ = accessoryView_;
    if (!shownAccessory_ && accessoryType_ != UITableViewCellAccessoryType::none) {
        shownAccessory_ = std::make_shared<UITableViewCellAccessoryView>(accessoryType_);
    }
    if (shownAccessory_) insertSubviewAboveSubview(shownAccessory_, contentView_);
    setNeedsLayout();
}

void UITableViewCell::setSelectionStyle(UITableViewCellSelectionStyle style) {
    selectionStyle_ = style;
    updateSelectionLook(false);
}

void UITableViewCell::setBackgroundView(std::shared_ptr<UIView> view) {
    if (view == backgroundView_) return;
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(view);
    if (backgroundView_) insertSubview(backgroundView_, 0);
    setNeedsLayout();
}

std::shared_ptr<UIView> UITableViewCell::selectedBackgroundView() {
    if (!selectedBackgroundView_) {
        auto view = std::make_shared<UIView>();
        view->setBackgroundColor(UIColor::colorWithRed(209 / 255.0, 209 / 255.0, 214 / 255.0, 1));
        setSelectedBackgroundView(view);
    }
    return selectedBackgroundView_;
}

void UITableViewCell::setSelectedBackgroundView(std::shared_ptr<UIView> view) {
    if (view == selectedBackgroundView_) return;
    if (selectedBackgroundView_) selectedBackgroundView_->removeFromSuperview();
    selectedBackgroundView_ = std::move(view);
    if (!selectedBackgroundView_) return;
    insertSubviewBelowSubview(selectedBackgroundView_, contentView_);
    updateSelectionLook(false);
    setNeedsLayout();
}

// States ------------------------------------------------------------------------------------------

void UITableViewCell::setSelected(bool selected, bool animated) {
    selected_ = selected;
    updateSelectionLook(animated);
}

void UITableViewCell::setHighlighted(bool highlighted, bool animated) {
    highlighted_ = highlighted;
    updateSelectionLook(animated);
}

void UITableViewCell::setEditing(bool editing, bool animated) {
    (void)animated;
    if (editing == editing_) return;
    editing_ = editing;
    setNeedsLayout();
}

void UITableViewCell::prepareForReuse() {
    if (highlighted_) setHighlighted(false, false);
    if (selected_) setSelected(false, false);
}

void UITableViewCell::updateSelectionLook(bool animated) {
    const bool shown = (highlighted_ || selected_) && selectionStyle_ != UITableViewCellSelectionStyle::none;
    if (textLabel_) textLabel_->setHighlighted(shown);
    if (detailTextLabel_) detailTextLabel_->setHighlighted(shown);
    if (imageView_) imageView_->setHighlighted(shown);
    if (!shown && !selectedBackgroundView_) return;
    auto background = selectedBackgroundView();
    const CGFloat alpha = shown ? 1 : 0;
    if (background->alpha() == alpha) return;
    // Only a selection going away fades; one coming shows at once, under the finger.
    if (animated && !shown) {
        UIView::animateWithDuration(kDeselectFade, [&] { background->setAlpha(alpha); });
    } else {
        UIView::performWithoutAnimation([&] { background->setAlpha(alpha); });
    }
}

void UITableViewCell::setSeparators(const Separators& separators) {
    if (separators == separators_) return;
    separators_ = separators;
    setNeedsLayout();
}

// Layout ------------------------------------------------------------------------------------------

CGFloat UITableViewCell::textLeading() const {
    if (!imageView_ || !imageView_->image()) return kMargin;
    return imageView_->frame().maxX() + kMargin;
}

void UITableViewCell::layoutSubviews() {
    const CGRect b = bounds();
    const CGFloat hairline = 1 / UIScreen::mainScreen().scale();
    const bool bottomLine = separators_.bottomInset >= 0;
    const CGFloat height = std::max(0.0, b.size.height - (bottomLine ? hairline : 0));

    if (backgroundView_) backgroundView_->setFrame(b);
    if (selectedBackgroundView_) selectedBackgroundView_->setFrame(b);

    // The backgrounds and lines run from edge to edge; what the row shows keeps inside the safe area,
    // clear of the sensor housing at a landscape phone's sides.
    const CGRect inside = boundsInsideSafeAreaSides();
    const CGFloat left = inside.minX();
    CGFloat contentEnd = inside.maxX();
    if (shownAccessory_) {
        const CGSize size = shownAccessory_ == accessoryView_
                                ? shownAccessory_->bounds().size
                                : UITableViewCellAccessoryView::sizeForType(accessoryType_);
        const CGRect frame(contentEnd - kMargin - size.width, (height - size.height) / 2, size.width,
                           size.height);
        shownAccessory_->setFrame(frame);
        contentEnd = std::max(left, frame.minX() - kAccessoryGap);
    }
    const CGFloat contentWidth = contentEnd - left;
    contentView_->setFrame(CGRect(left, 0, contentWidth, height));
    layoutStyle(CGRect(0, 0, contentWidth, height));

    auto place = [&](std::shared_ptr<UITableViewCellSeparatorView>& line, bool wanted, const CGRect& frame) {
        if (!wanted) {
            if (line) line->setHidden(true);
            return;
        }
        if (!line) {
            line = std::make_shared<UITableViewCellSeparatorView>();
            addSubview(line);
        }
        line->setHidden(false);
        line->setBackgroundColor(separators_.color);
        line->setFrame(frame);
    };
    // Rows with an image draw the line from their text, unless the table asks for a full-width line.
    const CGFloat inset =
        separators_.bottomInset > 0 ? left + std::max(separators_.bottomInset, textLeading()) : 0;
    place(topSeparator_, separators_.top, CGRect(0, 0, b.size.width, hairline));
    place(bottomSeparator_, bottomLine,
          CGRect(inset, b.size.height - hairline, std::max(0.0, b.size.width - inset), hairline));
}

void UITableViewCell::layoutStyle(const CGRect& content) {
    const CGFloat height = content.size.height;
    // With an accessory the content already ends short of it.
    const CGFloat trailing = content.size.width - (shownAccessory_ ? 0 : kMargin);
    if (imageView_) {
        CGSize size = imageView_->image() ? imageView_->sizeThatFits(content.size) : CGSize{};
        size.height = std::min(size.height, height);
        imageView_->setFrame(CGRect(kMargin, (height - size.height) / 2, size.width, size.height));
    }
    const CGFloat leading = textLeading();
    const CGFloat width = std::max(0.0, trailing - leading);

    switch (style_) {
        case UITableViewCellStyle::default_:
            textLabel_->setFrame(CGRect(leading, 0, width, height));
            break;
        case UITableViewCellStyle::value1: {
            const CGFloat detail =
                hasText(detailTextLabel_)
                    ? std::min(detailTextLabel_->sizeThatFits({width, height}).width, width)
                    : 0;
            detailTextLabel_->setFrame(CGRect(trailing - detail, 0, detail, height));
            textLabel_->setFrame(
                CGRect(leading, 0, std::max(0.0, width - detail - (detail > 0 ? kGap : 0)), height));
            break;
        }
        case UITableViewCellStyle::value2: {
            textLabel_->setFrame(CGRect(kMargin, 0, kValue2Column, height));
            const CGFloat x = kMargin + kValue2Column + kGap;
            detailTextLabel_->setFrame(CGRect(x, 0, std::max(0.0, trailing - x), height));
            break;
        }
        case UITableViewCellStyle::subtitle: {
            const CGFloat text = textLabel_->sizeThatFits({width, height}).height;
            const CGFloat detail =
                hasText(detailTextLabel_) ? detailTextLabel_->sizeThatFits({width, height}).height : 0;
            const CGFloat top = (height - text - detail) / 2;
            textLabel_->setFrame(CGRect(leading, top, width, text));
            detailTextLabel_->setFrame(CGRect(leading, top + text, width, detail));
            break;
        }
    }
}

}  // namespace platform
