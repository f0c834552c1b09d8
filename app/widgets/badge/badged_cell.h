#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/widgets/badge/badge_view.h"
#include "platform/uikit/tables/ui_table_view_cell.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

// A table cell with a rounded badge at the right edge of its content view. Its labels are narrowed so
// that they end before the badge. The colour, shadow and offset properties take effect at the next
// layout; the shadow also falls under the text and detail labels once the cell is highlighted. Main
// thread only.
class BadgedCell : public platform::UITableViewCell, public BadgeColors {
public:
    // As an interface file makes it: the default style.
    BadgedCell();
    BadgedCell(platform::UITableViewCellStyle style, const std::string& reuseIdentifier);

    const std::shared_ptr<BadgeView>& badge() const { return badge_; }

    const std::optional<std::string>& badgeString() const { return badgeString_; }
    // None hides the badge. Lays the cell out at once.
    void setBadgeString(std::optional<std::string> text);
    // The gap kept between a narrowed label and the badge.
    platform::CGFloat badgeLeftOffset() const { return badgeLeftOffset_; }
    void setBadgeLeftOffset(platform::CGFloat offset) { badgeLeftOffset_ = offset; }
    // The gap between the badge and the content view's right edge.
    platform::CGFloat badgeRightOffset() const { return badgeRightOffset_; }
    void setBadgeRightOffset(platform::CGFloat offset) { badgeRightOffset_ = offset; }
    // The labels narrowed to clear the badge; callers may add and remove labels.
    std::vector<std::shared_ptr<platform::UILabel>>& resizeableLabels() { return resizeableLabels_; }

    // Makes the badge (once), gives it this cell as its parent and resets the offsets and the labels.
    void configureSelf();

    using UITableViewCell::setEditing;
    using UITableViewCell::setHighlighted;
    using UITableViewCell::setSelected;
    void setHighlighted(bool highlighted, bool animated) override;
    void setSelected(bool selected, bool animated) override;
    void setEditing(bool editing, bool animated) override;
    void layoutSubviews() override;

private:
    std::shared_ptr<BadgeView> badge_;
    std::optional<std::string> badgeString_;
    platform::CGFloat badgeLeftOffset_ = 10;
    platform::CGFloat badgeRightOffset_ = 12;
    std::vector<std::shared_ptr<platform::UILabel>> resizeableLabels_;
    // Shares its life with the cell: the badge's weak reference to its parent is made from it, because a
    // cell under construction has no shared_ptr of its own yet.
    std::shared_ptr<char> lifetime_ = std::make_shared<char>();
};

}  // namespace quorvel
