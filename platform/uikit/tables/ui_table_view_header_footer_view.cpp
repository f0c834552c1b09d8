#include "platform/uikit/tables/ui_table_view_header_footer_view.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"
#include "platform/uikit/text/ui_label.h"

namespace platform {

namespace {

constexpr CGFloat kMargin = 16;
// A plain header bar's height, and the space a grouped title keeps above and below itself.
constexpr CGFloat kPlainHeight = 28;
constexpr CGFloat kGroupedHeaderAbove = 17;
constexpr CGFloat kGroupedHeaderBelow = 6;
constexpr CGFloat kGroupedFooterAbove = 6;
constexpr CGFloat kGroupedFooterBelow = 17;

bool isGrouped(UITableViewHeaderFooterView::Placement p) {
    return p == UITableViewHeaderFooterView::Placement::groupedHeader ||
           p == UITableViewHeaderFooterView::Placement::groupedFooter;
}

std::shared_ptr<UILabel> makeLabel(UITableViewHeaderFooterView::Placement placement) {
    auto label = std::make_shared<UILabel>();
    if (isGrouped(placement)) {
        label->setFont(UIFont::systemFontOfSize(13));
        label->setTextColor(UIColor::colorWithRed(109 / 255.0, 109 / 255.0, 114 / 255.0, 1));
        label->setNumberOfLines(0);
    } else {
        label->setFont(UIFont::boldSystemFontOfSize(15));
        label->setTextColor(UIColor::blackColor());
    }
    return label;
}

std::string uppercased(std::string text) {
    // Capitals of the ASCII letters; titles in other scripts keep their case.
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c < 0x80 ? char(std::toupper(c)) : char(c); });
    return text;
}

}  // namespace

UITableViewHeaderFooterView::UITableViewHeaderFooterView(Placement placement)
    : placement_(placement), contentView_(std::make_shared<UIView>()), textLabel_(makeLabel(placement)) {
    if (!isGrouped(placement))
        setBackgroundColor(UIColor::colorWithRed(247 / 255.0, 247 / 255.0, 247 / 255.0, 1));
    addSubview(contentView_);
    contentView_->addSubview(textLabel_);
}

void UITableViewHeaderFooterView::setTitle(const std::string& title) {
    textLabel_->setText(placement_ == Placement::groupedHeader ? uppercased(title) : title);
    setNeedsLayout();
}

CGFloat UITableViewHeaderFooterView::heightForTitle(Placement placement, const std::string& title,
                                                    CGFloat width) {
    if (!isGrouped(placement)) return kPlainHeight;
    const auto probe = std::make_shared<UITableViewHeaderFooterView>(placement);
    probe->setTitle(title);
    const CGFloat text =
        std::ceil(probe->textLabel_->sizeThatFits({std::max(0.0, width - 2 * kMargin), 1e6}).height);
    return text + (placement == Placement::groupedHeader ? kGroupedHeaderAbove + kGroupedHeaderBelow
                                                         : kGroupedFooterAbove + kGroupedFooterBelow);
}

CGRect UITableViewHeaderFooterView::labelFrame(const CGRect& b) const {
    const CGFloat width = std::max(0.0, b.size.width - 2 * kMargin);
    switch (placement_) {
        case Placement::plainHeader:
        case Placement::plainFooter:
            return CGRect(kMargin, 0, width, b.size.height);
        case Placement::groupedHeader: {
            // Sits on the section: what room is left goes above the title.
            const CGFloat text = std::ceil(textLabel_->sizeThatFits({width, 1e6}).height);
            return CGRect(kMargin, std::max(0.0, b.size.height - kGroupedHeaderBelow - text), width, text);
        }
        case Placement::groupedFooter: {
            const CGFloat text = std::ceil(textLabel_->sizeThatFits({width, 1e6}).height);
            return CGRect(kMargin, kGroupedFooterAbove, width, text);
        }
    }
    return {};
}

void UITableViewHeaderFooterView::layoutSubviews() {
    // Like a row's content, the title keeps inside the safe area; the bar behind it fills the width.
    contentView_->setFrame(boundsInsideSafeAreaSides());
    textLabel_->setFrame(labelFrame(contentView_->bounds()));
}

}  // namespace platform
