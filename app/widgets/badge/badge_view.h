#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/widgets/badge/badge_colors.h"
#include "platform/uikit/tables/ui_table_view_cell.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// A short text in a rounded, filled badge that draws itself. The fill follows the selection state of
// the cell it belongs to (its parent); without a text colour the text is cut out of the fill, so what
// lies behind the badge shows through the letters. Main thread only.
class BadgeView : public platform::UIView, public BadgeColors {
public:
    static constexpr platform::CGFloat kDefaultRadius = 4;

    // The blue-grey a badge is filled with unless told otherwise (components in single precision).
    static std::shared_ptr<platform::UIColor> defaultBadgeColor();
    // The size of `text` in the system font of `fontSize`.
    static platform::CGSize measure(const std::string& text, platform::CGFloat fontSize);

    BadgeView();
    explicit BadgeView(const platform::CGRect& frame);

    const std::optional<std::string>& badgeString() const { return badgeString_; }
    void setBadgeString(std::optional<std::string> text) { badgeString_ = std::move(text); }
    std::shared_ptr<platform::UITableViewCell> parent() const { return parent_.lock(); }
    void setParent(std::weak_ptr<platform::UITableViewCell> parent) { parent_ = std::move(parent); }
    // 0 means kDefaultRadius.
    platform::CGFloat radius() const { return radius_; }
    void setRadius(platform::CGFloat radius) { radius_ = radius; }
    platform::CGFloat fontSize() const { return fontSize_; }
    void setFontSize(platform::CGFloat size) { fontSize_ = size; }

    // The fill the badge is drawn in now.
    std::shared_ptr<platform::UIColor> fillColor() const;
    void drawRect(const platform::CGRect& rect) override;

private:
    // The parent cell shows itself highlighted or selected.
    bool parentShowsSelection() const;

    std::optional<std::string> badgeString_;
    std::weak_ptr<platform::UITableViewCell> parent_;
    platform::CGFloat radius_ = 0;
    platform::CGFloat fontSize_ = 14;
};

}  // namespace quorvel
