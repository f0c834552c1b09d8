#pragma once

#include "platform/uikit/views/ui_view.h"

namespace platform {

enum class UITableViewCellAccessoryType : int {
    none = 0,
    disclosureIndicator = 1,
    detailDisclosureButton = 2,
    checkmark = 3,
    detailButton = 4,
};

// The standard mark at the trailing end of a row, drawn: a grey chevron, a check mark or an info
// button in the tint colour, or both of the last and the chevron.
class UITableViewCellAccessoryView : public UIView {
public:
    explicit UITableViewCellAccessoryView(UITableViewCellAccessoryType type);

    UITableViewCellAccessoryType type() const { return type_; }
    // The size the mark is drawn at; zero for none.
    static CGSize sizeForType(UITableViewCellAccessoryType type);

    CGSize sizeThatFits(CGSize size) const override;
    void drawRect(const CGRect& rect) override;
    void tintColorDidChange() override { setNeedsDisplay(); }

private:
    UITableViewCellAccessoryType type_;
};

}  // namespace platform
