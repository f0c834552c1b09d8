#pragma once

#include "platform/uikit/text/ui_label.h"

namespace quorvel {

// A label with room around its text: its intrinsic size is the text's plus the padding, and its text is
// drawn inside the left and right padding (centred vertically as any label's). Main thread.
class BadgeLabel : public platform::UILabel {
public:
    BadgeLabel() = default;
    explicit BadgeLabel(const platform::CGRect& frame) : UILabel(frame) {}

    platform::UIEdgeInsets padding() const { return padding_; }
    void setPadding(const platform::UIEdgeInsets& padding);

    void drawTextInRect(const platform::CGRect& rect) override;
    platform::CGSize intrinsicContentSize() const override;

private:
    platform::UIEdgeInsets padding_{4, 8, 4, 8};
};

}  // namespace quorvel
