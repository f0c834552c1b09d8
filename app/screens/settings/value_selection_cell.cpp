#include "app/screens/settings/value_selection_cell.h"

#include <algorithm>

#include "app/core/user_data_manager.h"
#include "app/screens/settings/option_view_model.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

using platform::CGFloat;
using platform::CGRect;
using platform::UIColor;

namespace {
constexpr CGFloat kCircle = 12;
constexpr CGFloat kIcon = 22;
}  // namespace

ValueSelectionCell::ValueSelectionCell()
    : ValueSelectionCell(platform::UITableViewCellStyle::default_, kReuseIdentifier) {}

ValueSelectionCell::ValueSelectionCell(platform::UITableViewCellStyle style, const std::string& reuseIdentifier)
    : BadgedCell(style, reuseIdentifier) {
    grayCirle_ = std::make_shared<platform::UIView>();
    grayCirle_->setBackgroundColor(selectionGrey());
    grayCirle_->layer()->setCornerRadius(kCircle / 2);
    textDisplayLabel_ = std::make_shared<platform::UILabel>();
    textDisplayLabel_->setFont(platform::UIFont::systemFontOfSize(16));
    icon_ = std::make_shared<platform::UIImageView>();
    icon_->setContentMode(platform::UIViewContentMode::scaleAspectFit);
    icon_->setHidden(true);
    contentView()->addSubview(grayCirle_);
    contentView()->addSubview(textDisplayLabel_);
    contentView()->addSubview(icon_);
    resizeableLabels().push_back(textDisplayLabel_);
    // Made in code as the prototype in the interface file would be: awake at once.
    awakeFromNib();
}

const std::shared_ptr<UIColor>& ValueSelectionCell::selectionGrey() {
    static const auto grey = UIColor::colorWithRed(0.6509804, 0.6745098, 0.6627451, 1);
    return grey;
}

std::shared_ptr<platform::UIImage> ValueSelectionCell::iconImage(int iconKind) {
    return platform::UIImage::imageNamed(iconKind == 0   ? "batch_alarm"
                                         : iconKind == 1 ? "batch_bell"
                                                         : "batch_stopwatch");
}

void ValueSelectionCell::configure(const std::string& name, std::int64_t value, int iconKind) {
    icon_->setImage(iconImage(iconKind));
    textDisplayLabel_->setText(name);
    integerUpdateValue_ = value;
    setBadgeString(std::nullopt);
}

void ValueSelectionCell::configureSound(const std::string& name, int iconKind, const SoundOptionFunction& function,
                                        const platform::NSIndexPath& indexPath) {
    icon_->setImage(iconImage(iconKind));
    textDisplayLabel_->setText(indexPath.row == 0 ? soundListRowTitle(function, name) : name);
    stringUpdateValue_ = name;
}

void ValueSelectionCell::awakeFromNib() {
    BadgedCell::awakeFromNib();
    setSelectionStyle(platform::UITableViewCellSelectionStyle::none);
    setBadgeColor(UIColor::colorWithWhite(0.85, 1));
}

void ValueSelectionCell::prepareForReuse() {
    BadgedCell::prepareForReuse();
    setBadgeString(std::nullopt);
}

void ValueSelectionCell::setSelected(bool selected, bool animated) {
    BadgedCell::setSelected(selected, animated);
    if (selected && tag() != 1) {
        setBackgroundColor(selectionGrey());
        UIView::animateWithDuration(0.5, [this] { setBackgroundColor(UIColor::whiteColor()); });
    }
    icon_->setHidden(!selected);
    grayCirle_->setBackgroundColor(selected ? UserDataManager::getPomodoroData().focusThemeColor : selectionGrey());
    // A tag of 1 spares the next selection only.
    setTag(0);
}

void ValueSelectionCell::layoutSubviews() {
    // The content view's bounds first; the badged cell then narrows the text to clear its badge.
    UITableViewCell::layoutSubviews();
    const CGRect content = contentView()->bounds();
    const CGFloat midY = content.size.height / 2;
    grayCirle_->setFrame(CGRect(kMargin, midY - kCircle / 2, kCircle, kCircle));
    icon_->setFrame(CGRect(content.size.width - kMargin - kIcon, midY - kIcon / 2, kIcon, kIcon));
    const CGFloat textX = kMargin + kCircle + 12;
    const CGFloat textEnd = content.size.width - kMargin - kIcon - 8;
    textDisplayLabel_->setFrame(CGRect(textX, 0, std::max<CGFloat>(0, textEnd - textX), content.size.height));
    BadgedCell::layoutSubviews();
}

}  // namespace quorvel
