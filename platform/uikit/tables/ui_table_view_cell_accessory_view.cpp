#include "platform/uikit/tables/ui_table_view_cell_accessory_view.h"

#include <cairo.h>

#include "platform/coregraphics/cg_path.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_graphics.h"

namespace platform {

namespace {

constexpr CGSize kChevron{8, 13};
constexpr CGSize kCheckmark{14, 11};
constexpr CGSize kInfoButton{22, 22};
constexpr CGFloat kInfoToChevron = 12;

void strokeLines(CGContext& context, const CGColorRef& color, CGFloat width,
                 std::initializer_list<CGPoint> points) {
    CGPath path;
    bool first = true;
    for (CGPoint p : points) {
        if (first) {
            path.moveTo(p);
        } else {
            path.addLineTo(p);
        }
        first = false;
    }
    cairo_set_line_cap(context.cairo(), CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(context.cairo(), CAIRO_LINE_JOIN_ROUND);
    context.setStrokeColor(color);
    context.setLineWidth(width);
    context.addPath(path);
    context.strokePath();
}

void drawChevron(CGContext& context, CGPoint origin) {
    static const auto grey = UIColor::colorWithRed(196 / 255.0, 196 / 255.0, 199 / 255.0, 1);
    const CGFloat x = origin.x + 1.5, y = origin.y + 1.5;
    strokeLines(
        context, grey, 2,
        {{x, y}, {x + kChevron.width - 3, y + (kChevron.height - 3) / 2}, {x, y + kChevron.height - 3}});
}

void drawInfoButton(CGContext& context, CGPoint origin, const CGColorRef& tint) {
    CGPath ring;
    ring.addEllipseInRect(CGRect(origin.x + 1, origin.y + 1, kInfoButton.width - 2, kInfoButton.height - 2));
    context.setStrokeColor(tint);
    context.setLineWidth(1.2);
    context.addPath(ring);
    context.strokePath();
    const CGFloat mid = origin.x + kInfoButton.width / 2;
    context.setFillColor(tint);
    context.fillEllipseInRect(CGRect(mid - 1.25, origin.y + 5.5, 2.5, 2.5));
    strokeLines(context, tint, 2, {{mid, origin.y + 10}, {mid, origin.y + 16.5}});
}

}  // namespace

UITableViewCellAccessoryView::UITableViewCellAccessoryView(UITableViewCellAccessoryType type)
    : UIView(CGRect(CGPoint{}, sizeForType(type))), type_(type) {
    setOpaque(false);
    setUserInteractionEnabled(false);
}

CGSize UITableViewCellAccessoryView::sizeForType(UITableViewCellAccessoryType type) {
    switch (type) {
        case UITableViewCellAccessoryType::disclosureIndicator:
            return kChevron;
        case UITableViewCellAccessoryType::checkmark:
            return kCheckmark;
        case UITableViewCellAccessoryType::detailButton:
            return kInfoButton;
        case UITableViewCellAccessoryType::detailDisclosureButton:
            return {kInfoButton.width + kInfoToChevron + kChevron.width, kInfoButton.height};
        case UITableViewCellAccessoryType::none:
            break;
    }
    return {};
}

CGSize UITableViewCellAccessoryView::sizeThatFits(CGSize size) const {
    (void)size;
    return sizeForType(type_);
}

void UITableViewCellAccessoryView::drawRect(const CGRect& rect) {
    (void)rect;
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const CGSize mark = sizeForType(type_);
    // Centred in whatever size the cell gave the view.
    const CGPoint origin{(bounds().size.width - mark.width) / 2, (bounds().size.height - mark.height) / 2};
    context->saveGState();
    switch (type_) {
        case UITableViewCellAccessoryType::disclosureIndicator:
            drawChevron(*context, origin);
            break;
        case UITableViewCellAccessoryType::checkmark:
            strokeLines(*context, tintColor(), 2,
                        {{origin.x + 1, origin.y + 5.5},
                         {origin.x + 5, origin.y + 10},
                         {origin.x + 13, origin.y + 1}});
            break;
        case UITableViewCellAccessoryType::detailButton:
            drawInfoButton(*context, origin, tintColor());
            break;
        case UITableViewCellAccessoryType::detailDisclosureButton:
            drawInfoButton(*context, origin, tintColor());
            drawChevron(*context, {origin.x + kInfoButton.width + kInfoToChevron,
                                   origin.y + (kInfoButton.height - kChevron.height) / 2});
            break;
        case UITableViewCellAccessoryType::none:
            break;
    }
    context->restoreGState();
}

}  // namespace platform
