#pragma once

#include <memory>
#include <string>

#include "platform/uikit/tables/ui_table_view_cell_accessory_view.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

class UIImageView;
class UILabel;
class UITableViewCellSeparatorView;

enum class UITableViewCellStyle : int {
    default_ = 0,  // an image and a text
    value1 = 1,    // a text on the left, a grey detail on the right
    value2 = 2,    // a small tinted text in a column, the detail beside it
    subtitle = 3,  // an image, a text and a smaller grey detail below it
};

enum class UITableViewCellSelectionStyle : int { none = 0, blue = 1, gray = 2, default_ = 3 };

// One row of a table. Its content view holds what the row shows (the style's labels and image view,
// and whatever a subclass adds); around it the cell keeps its background, the selected background, the
// accessory at the trailing end and its separators. The content view and the accessory keep inside the
// cell's safe area, so a row's content stays clear of the sensor housing; the backgrounds fill the row.
// A cell highlights while a finger is on its row and shows itself selected while its row is; selection
// and highlight look the same, unless the selection style is none. Cells with a reuse identifier go back
// to their table's pool when their row scrolls out, and are prepared for reuse when taken out again.
class UITableViewCell : public UIView {
public:
    static constexpr CGFloat kDefaultHeight = 44;
    // The space between the content and the cell's leading and trailing edges.
    static constexpr CGFloat kMargin = 16;

    UITableViewCell();
    UITableViewCell(UITableViewCellStyle style, const std::string& reuseIdentifier);
    ~UITableViewCell() override;

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    UITableViewCellStyle style() const { return style_; }

    const std::shared_ptr<UIView>& contentView() const { return contentView_; }
    const std::shared_ptr<UILabel>& textLabel() const { return textLabel_; }
    // None in the default style.
    const std::shared_ptr<UILabel>& detailTextLabel() const { return detailTextLabel_; }
    // None in the value2 style.
    const std::shared_ptr<UIImageView>& imageView() const { return imageView_; }

    UITableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(UITableViewCellAccessoryType type);
    // Shown instead of the standard mark when set.
    void setAccessoryView(std::shared_ptr<UIView> view);

    UITableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(UITableViewCellSelectionStyle style);
    // Behind everything; the selected background shows over it while highlighted or selected.
    const std::shared_ptr<UIView>& backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<UIView> view);
    std::shared_ptr<UIView> selectedBackgroundView();
    void setSelectedBackgroundView(std::shared_ptr<UIView> view);

    bool isSelected() const { return selected_; }
    void setSelected(bool selected) { setSelected(selected, false); }
    virtual void setSelected(bool selected, bool animated);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted) { setHighlighted(highlighted, false); }
    virtual void setHighlighted(bool highlighted, bool animated);
    bool isEditing() const { return editing_; }
    void setEditing(bool editing) { setEditing(editing, false); }
    virtual void setEditing(bool editing, bool animated);

    // Called when the table hands the cell out again: it is no longer highlighted or selected.
    virtual void prepareForReuse();

    void layoutSubviews() override;

private:
    friend class UITableView;

    // How the table wants the row's separators: a hairline across the top (the first row of a grouped
    // section), one along the bottom from `bottomInset` (none when negative), in `color`.
    struct Separators {
        bool top = false;
        CGFloat bottomInset = -1;
        std::shared_ptr<UIColor> color;
        bool operator==(const Separators&) const = default;
    };
    void setSeparators(const Separators& separators);

    void updateSelectionLook(bool animated);
    void installAccessory();
    void layoutStyle(const CGRect& content);
    CGFloat textLeading() const;

    UITableViewCellStyle style_ = UITableViewCellStyle::default_;
    std::string reuseIdentifier_;
    std::shared_ptr<UIView> contentView_;
    std::shared_ptr<UILabel> textLabel_;
    std::shared_ptr<UILabel> detailTextLabel_;
    std::shared_ptr<UIImageView> imageView_;

    UITableViewCellAccessoryType accessoryType_ = UITableViewCellAccessoryType::none;
    std::shared_ptr<UIView> accessoryView_;
    std::shared_ptr<UIView> shownAccessory_;  // the custom view or the standard mark
    UITableViewCellSelectionStyle selectionStyle_ = UITableViewCellSelectionStyle::default_;
    std::shared_ptr<UIView> backgroundView_;
    std::shared_ptr<UIView> selectedBackgroundView_;

    Separators separators_;
    std::shared_ptr<UITableViewCellSeparatorView> topSeparator_;
    std::shared_ptr<UITableViewCellSeparatorView> bottomSeparator_;

    bool selected_ = false;
    bool highlighted_ = false;
    bool editing_ = false;
};

}  // namespace platform
