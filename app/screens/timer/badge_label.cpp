#include "app/screens/timer/badge_label.h"

namespace quorvel {

using namespace platform;

void BadgeLabel::setPadding(const UIEdgeInsets& padding) {
    padding_ = padding;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void BadgeLabel::drawTextInRect(const CGRect& rect) {
    // Each side keeps its own padding, so a label at its intrinsic size has room for all of its text.
    UILabel::drawTextInRect(CGRectMake(rect.origin.x + padding_.left, rect.origin.y,
                                       rect.size.width - padding_.left - padding_.right, rect.size.height));
}

CGSize BadgeLabel::intrinsicContentSize() const {
    const CGSize text = UILabel::intrinsicContentSize();
    return {text.width + padding_.left + padding_.right, text.height + padding_.top + padding_.bottom};
}

}  // namespace quorvel
