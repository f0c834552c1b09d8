#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/controls/ui_switch.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/tables/ui_table_view_cell.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

struct OptionBadgeColor {
    std::shared_ptr<platform::UIColor> backgroundColor;
    std::shared_ptr<platform::UIColor> highlightedBackgroundColor;
    std::shared_ptr<platform::UIColor> textColor;
    std::shared_ptr<platform::UIColor> highlightedTextColor;

    // Light grey behind mid-grey text, the same when highlighted.
    static OptionBadgeColor standard();
};

// What a row shows at its end: a badge with its colours and text, a switch, or a check mark.
struct OptionCommonCellType {
    enum class Kind { badge, switch_, maker };

    static OptionCommonCellType badge(OptionBadgeColor colors, std::string text) {
        return {Kind::badge, std::move(colors), std::move(text), false};
    }
    static OptionCommonCellType switch_(bool on) { return {Kind::switch_, {}, {}, on}; }
    static OptionCommonCellType maker(bool checked) { return {Kind::maker, {}, {}, checked}; }

    Kind kind = Kind::badge;
    OptionBadgeColor colors;  // badge
    std::string text;         // badge
    bool value = false;       // switch: on; maker: checked
};

// The row of the reminder screen, from the nib "OptionCommonCell": a title and, by its type, a badge,
// a switch or a check mark. Configuring clears the switch closure, so a reused row never reports for
// the row it was. Main thread only.
class OptionCommonCell : public platform::UITableViewCell {
public:
    static constexpr const char* kNibName = "OptionCommonCell";
    static void registerNib();

    OptionCommonCell();

    // Outlets.
    std::shared_ptr<platform::UILabel> optionTitleLabel() const { return optionTitleLabel_.lock(); }
    std::shared_ptr<platform::UISwitch> switchButton() const { return switchButton_.lock(); }
    std::shared_ptr<platform::UIView> switchButtonContainer() const { return switchButtonContainer_.lock(); }
    std::shared_ptr<platform::UIView> badgeContainer() const { return badgeContainer_.lock(); }
    std::shared_ptr<platform::UILabel> badgeLabel() const { return badgeLabel_.lock(); }

    const std::function<void(bool)>& didValueChange() const { return didValueChange_; }
    void setDidValueChange(std::function<void(bool)> block) { didValueChange_ = std::move(block); }
    const OptionCommonCellType& cellType() const { return cellType_; }
    void setCellType(OptionCommonCellType type) { cellType_ = std::move(type); }
    const std::optional<std::string>& optionTitle() const { return optionTitle_; }
    void setOptionTitle(std::optional<std::string> title) { optionTitle_ = std::move(title); }

    // Shows what the cell type asks for, and nothing else.
    void configure();
    // The switch's value-changed action.
    void onValueChanged();

    void setHighlighted(bool highlighted, bool animated) override;
    void awakeFromNib() override;
    void layoutSubviews() override;

private:
    std::weak_ptr<platform::UILabel> optionTitleLabel_;
    std::weak_ptr<platform::UISwitch> switchButton_;
    std::weak_ptr<platform::UIView> switchButtonContainer_;
    std::weak_ptr<platform::UIView> badgeContainer_;
    std::weak_ptr<platform::UILabel> badgeLabel_;
    std::function<void(bool)> didValueChange_;
    OptionCommonCellType cellType_ = OptionCommonCellType::badge(OptionBadgeColor::standard(), "");
    std::optional<std::string> optionTitle_;
};

}  // namespace quorvel
