#include "app/widgets/badge/badge_view.h"

#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/text/ns_attributed_string.h"
#include "platform/uikit/text/text_layout.h"

namespace quorvel {

using namespace platform;

std::shared_ptr<UIColor> BadgeView::defaultBadgeColor() {
    return UIColor::colorWithRed(0.53f, 0.60f, 0.738f, 1);
}

CGSize BadgeView::measure(const std::string& text, CGFloat fontSize) {
    return NSAttributedString(text, {UIFont::systemFontOfSize(fontSize), nullptr}).size();
}

BadgeView::BadgeView() : BadgeView(CGRect::zero()) {}

BadgeView::BadgeView(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::clearColor());
}

bool BadgeView::parentShowsSelection() const {
    const auto cell = parent();
    return cell && cell->selectionStyle() != UITableViewCellSelectionStyle::none &&
           (cell->isHighlighted() || cell->isSelected());
}

std::shared_ptr<UIColor> BadgeView::fillColor() const {
    if (parentShowsSelection())
        return badgeColorHighlighted_ ? badgeColorHighlighted_ : UIColor::whiteColor();
    return badgeColor_ ? badgeColor_ : defaultBadgeColor();
}

// The fill and the text go into an image of their own first, so that clearing the text leaves a hole in
// the fill only. The view keeps its frame and its clear background throughout: a hole shows what lies
// behind the badge.
void BadgeView::drawRect(const CGRect& rect) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const std::string text = badgeString_.value_or("");
    const CGSize size = measure(text, fontSize_);
    const CGFloat r = radius_ == 0 ? kDefaultRadius : radius_;

    if (UIGraphicsBeginImageContextWithOptions(frame().size, false, 0)) {
        CGContext* image = UIGraphicsGetCurrentContext();
        CGPath fill;
        fill.addRoundedRect(CGRect({0, 0}, rect.size), r, r);
        image->setFillColor(fillColor());
        image->addPath(fill);
        image->fillPath();
        if (!badgeTextColor_) image->setBlendMode(CGBlendMode::clear);
        const CGRect textRect(rect.size.width * 0.5 - size.width * 0.5,
                              rect.size.height * 0.5 - size.height * 0.5, size.width + 12, size.height);
        const NSAttributedString styled(text, {UIFont::systemFontOfSize(fontSize_),
                                               badgeTextColor_ ? badgeTextColor_ : UIColor::blackColor()});
        TextLayout(styled, textRect.size.width, 1, NSLineBreakMode::byClipping, NSTextAlignment::left)
            .draw(image->cairo(), textRect.origin);
        const auto badge = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        badge->drawInRect(rect);
    }

    layer()->setCornerRadius(r);
    const bool shadow = showShadow_ && parentShowsSelection();
    layer()->setShadowOffset(shadow ? CGSize{0, 1} : CGSize{0, 0});
    layer()->setShadowRadius(shadow ? 1 : 0);
    layer()->setShadowOpacity(shadow ? 0.8f : 0);
}

}  // namespace quorvel
