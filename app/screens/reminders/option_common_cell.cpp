#include "app/screens/reminders/option_common_cell.h"

#include <algorithm>

#include "platform/uikit/nibs/ui_nib.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr CGFloat kBadgeHeight = 26;
constexpr CGFloat kBadgePadding = 10;

}  // namespace

OptionBadgeColor OptionBadgeColor::standard() {
    const auto light = UIColor::colorWithWhite(0.9, 1);
    const auto mid = UIColor::colorWithWhite(0.5, 1);
    return {light, light, mid, mid};
}

void OptionCommonCell::registerNib() {
    UINib::registerNib(kNibName, [](UINibBuilder& nib) {
        auto cell = nib.addTopLevel(std::make_shared<OptionCommonCell>());
        auto title = nib.add(std::make_shared<UILabel>());
        title->setFont(UIFont::fontWithName("HelveticaNeue", 16));
        title->setTextColor(UIColor::colorWithWhite(0.2, 1));
        auto switchContainer = nib.add(std::make_shared<UIView>());
        auto toggle = nib.add(std::make_shared<UISwitch>());
        switchContainer->addSubview(toggle);
        auto badgeContainer = nib.add(std::make_shared<UIView>());
        badgeContainer->layer()->setCornerRadius(kBadgeHeight / 2);
        auto badge = nib.add(std::make_shared<UILabel>());
        badge->setFont(UIFont::systemFontOfSize(14));
        badge->setTextAlignment(NSTextAlignment::center);
        badgeContainer->addSubview(badge);
        for (const auto& view : {std::shared_ptr<UIView>(title), switchContainer, badgeContainer}) {
            cell->contentView()->addSubview(view);
        }
        nib.connect([cell, title, toggle, switchContainer, badgeContainer, badge] {
            cell->optionTitleLabel_ = title;
            cell->switchButton_ = toggle;
            cell->switchButtonContainer_ = switchContainer;
            cell->badgeContainer_ = badgeContainer;
            cell->badgeLabel_ = badge;
            toggle->addTarget(cell.get(), [weak = std::weak_ptr<OptionCommonCell>(cell)](UIControl&) {
                if (auto self = weak.lock()) self->onValueChanged();
            }, UIControlEventValueChanged);
        });
    });
}

OptionCommonCell::OptionCommonCell() : UITableViewCell(UITableViewCellStyle::default_, kNibName) {}

void OptionCommonCell::awakeFromNib() {
    UITableViewCell::awakeFromNib();
    cellType_ = OptionCommonCellType::badge(OptionBadgeColor::standard(), "");
    configure();
}

void OptionCommonCell::configure() {
    auto switchContainer = switchButtonContainer();
    auto badge = badgeContainer();
    if (switchContainer) switchContainer->setHidden(true);
    if (badge) badge->setHidden(true);
    setAccessoryType(UITableViewCellAccessoryType::none);
    didValueChange_ = nullptr;
    switch (cellType_.kind) {
        case OptionCommonCellType::Kind::badge:
            if (badge) {
                badge->setHidden(false);
                badge->setBackgroundColor(cellType_.colors.backgroundColor);
            }
            if (auto label = badgeLabel()) {
                label->setText(cellType_.text);
                label->setTextColor(cellType_.colors.textColor);
            }
            break;
        case OptionCommonCellType::Kind::switch_:
            if (switchContainer) switchContainer->setHidden(false);
            if (auto toggle = switchButton()) toggle->setOn(cellType_.value, false);
            break;
        case OptionCommonCellType::Kind::maker:
            setAccessoryType(cellType_.value ? UITableViewCellAccessoryType::checkmark
                                             : UITableViewCellAccessoryType::none);
            break;
    }
    setNeedsLayout();
}

void OptionCommonCell::onValueChanged() {
    auto toggle = switchButton();
    if (didValueChange_ && toggle) didValueChange_(toggle->isOn());
}

void OptionCommonCell::setHighlighted(bool highlighted, bool animated) {
    UITableViewCell::setHighlighted(highlighted, animated);
    setBackgroundColor(highlighted ? UIColor::colorWithWhite(0.5, 0.2) : UIColor::whiteColor());
    if (cellType_.kind != OptionCommonCellType::Kind::badge) return;
    const auto& colors = cellType_.colors;
    if (auto badge = badgeContainer()) {
        badge->setBackgroundColor(highlighted ? colors.highlightedBackgroundColor : colors.backgroundColor);
    }
    if (auto label = badgeLabel()) label->setTextColor(highlighted ? colors.highlightedTextColor : colors.textColor);
}

void OptionCommonCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    constexpr CGFloat kMargin = 16;
    const auto bounds = contentView()->bounds();
    const auto height = bounds.size.height;
    CGFloat end = bounds.size.width - kMargin;
    if (auto toggle = switchButton(); toggle && switchButtonContainer()) {
        const auto size = toggle->sizeThatFits({});
        switchButtonContainer()->setFrame({end - size.width, (height - size.height) / 2, size.width, size.height});
        toggle->setFrame({0, 0, size.width, size.height});
        if (!switchButtonContainer()->isHidden()) end -= size.width + kMargin;
    }
    if (auto label = badgeLabel(); label && badgeContainer()) {
        const auto width = std::max(kBadgeHeight, label->sizeThatFits({1000, kBadgeHeight}).width + 2 * kBadgePadding);
        badgeContainer()->setFrame({end - width, (height - kBadgeHeight) / 2, width, kBadgeHeight});
        label->setFrame({0, 0, width, kBadgeHeight});
        if (!badgeContainer()->isHidden()) end -= width + kMargin;
    }
    if (auto title = optionTitleLabel()) title->setFrame({kMargin, 0, std::max<CGFloat>(0, end - kMargin), height});
}

}  // namespace quorvel
