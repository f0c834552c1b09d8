#include "app/widgets/badge/badged_cell.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

using namespace platform;

BadgedCell::BadgedCell() {
    configureSelf();
}

BadgedCell::BadgedCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UITableViewCell(style, reuseIdentifier) {
    configureSelf();
}

void BadgedCell::configureSelf() {
    if (!badge_) badge_ = std::make_shared<BadgeView>(CGRect::zero());
    badge_->setParent(std::shared_ptr<UITableViewCell>(lifetime_, this));
    badgeLeftOffset_ = 10;
    badgeRightOffset_ = 12;
    resizeableLabels_.clear();
    if (textLabel()) resizeableLabels_.push_back(textLabel());
    if (detailTextLabel()) resizeableLabels_.push_back(detailTextLabel());
    contentView()->addSubview(badge_);
}

void BadgedCell::setBadgeString(std::optional<std::string> text) {
    badgeString_ = std::move(text);
    badge_->setBadgeString(badgeString_);
    badge_->setNeedsDisplay();
    layoutSubviews();
}

void BadgedCell::setHighlighted(bool highlighted, bool animated) {
    UITableViewCell::setHighlighted(highlighted, animated);
    badge_->setNeedsDisplay();
    if (!showShadow_) return;
    for (const auto& label : {textLabel(), detailTextLabel()}) {
        if (!label) continue;
        label->layer()->setShadowOffset({0, 1});
        label->layer()->setShadowRadius(1);
        label->layer()->setShadowOpacity(0.8f);
    }
}

void BadgedCell::setSelected(bool selected, bool animated) {
    UITableViewCell::setSelected(selected, animated);
    badge_->setNeedsDisplay();
}

void BadgedCell::setEditing(bool editing, bool animated) {
    UITableViewCell::setEditing(editing, animated);
    badge_->setHidden(editing);
    badge_->setNeedsDisplay();
    setNeedsDisplay();
}

void BadgedCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    if (!badgeString_) {
        badge_->removeFromSuperview();
        return;
    }
    contentView()->addSubview(badge_);
    badge_->setHidden(isEditing());

    const CGSize text = BadgeView::measure(*badgeString_, badge_->fontSize());
    // An empty text measures no height: its share of the padding is then nothing rather than infinite.
    const CGFloat height = text.height + (text.height > 0 ? 50 / text.height : 0);
    const CGFloat width = text.width + 13;
    const CGSize content = contentView()->bounds().size;
    const CGFloat x = content.width - (width + badgeRightOffset_);
    const CGFloat y = std::round((content.height - height) / 2);
    badge_->setShowShadow(showShadow_);
    badge_->setFrame(CGRectMake(x, y, width, height));
    badge_->setBadgeString(badgeString_);

    for (const auto& label : resizeableLabels_) {
        const CGRect frame = label->frame();
        if (frame.origin.x + frame.size.width < x) continue;
        // A label that starts beyond the badge shrinks to nothing, not to a negative width.
        const CGFloat narrowed = std::max(0.0, x - frame.origin.x - badgeLeftOffset_);
        label->setFrame(CGRect(frame.origin, {narrowed, frame.size.height}));
    }

    badge_->setBadgeColorHighlighted(badgeColorHighlighted_ ? badgeColorHighlighted_ : UIColor::whiteColor());
    badge_->setBadgeColor(badgeColor_ ? badgeColor_ : BadgeView::defaultBadgeColor());
    if (badgeTextColor_) badge_->setBadgeTextColor(badgeTextColor_);
}

}  // namespace quorvel
