#include "app/screens/reminders/ruler_sheet.h"

#include "app/core/user_data_manager.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

using namespace platform;

namespace {

bool isPad() {
    return UIDevice::currentDevice().userInterfaceIdiom() == UIUserInterfaceIdiom::pad;
}

std::shared_ptr<UILabel> centredLabel() {
    auto label = std::make_shared<UILabel>();
    label->setTextAlignment(NSTextAlignment::center);
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    return label;
}

// Pins the view across the panel, `top` points below `above`'s foot, `height` points high.
void stack(UIView& content, UIView& view, NSLayoutYAxisAnchor above, CGFloat top, CGFloat height) {
    NSLayoutConstraint::activateConstraints({view.topAnchor().constraintEqualToAnchor(above, top),
                                             view.heightAnchor().constraintEqualToConstant(height),
                                             view.leftAnchor().constraintEqualToAnchor(content.leftAnchor()),
                                             view.rightAnchor().constraintEqualToAnchor(content.rightAnchor())});
}

constexpr CGFloat kButtonRowHeight = 50;

}  // namespace

RulerSheet RulerSheet::make() {
    const CGFloat scale = isPad() ? 1.5 : 1;
    RulerSheet sheet;
    sheet.root = std::make_shared<UIView>(UIScreen::mainScreen().bounds());
    sheet.root->setBackgroundColor(UIColor::clearColor());

    auto content = sheet.content = std::make_shared<UIView>();
    content->setBackgroundColor(UIColor::whiteColor());
    content->setTranslatesAutoresizingMaskIntoConstraints(false);
    sheet.root->addSubview(content);
    sheet.contentTopConstraint = content->topAnchor().constraintEqualToAnchor(sheet.root->bottomAnchor());
    sheet.contentTopConstraint->setPriority(kClosedPriority);
    auto open = content->bottomAnchor().constraintEqualToAnchor(sheet.root->bottomAnchor());
    open->setPriority(750);
    const CGFloat rulerHeight = 60 * scale;  // one item: its ticks start at the top
    // The inset of the orientation the sheet opens in; its buttons' titles, centred in their row, stay
    // clear of the indicator after a turn as well.
    sheet.footInset = UIScreen::mainScreen().safeAreaInsets().bottom;
    NSLayoutConstraint::activateConstraints(
        {sheet.contentTopConstraint, open,
         content->heightAnchor().constraintEqualToConstant(20 + 26 + 4 + 18 + 12 + rulerHeight + 8 +
                                                           kButtonRowHeight + sheet.footInset),
         content->leftAnchor().constraintEqualToAnchor(sheet.root->leftAnchor()),
         content->rightAnchor().constraintEqualToAnchor(sheet.root->rightAnchor())});

    sheet.titleLabel = centredLabel();
    content->addSubview(sheet.titleLabel);
    stack(*content, *sheet.titleLabel, content->topAnchor(), 20, 26);
    sheet.subtitleLabel = centredLabel();
    content->addSubview(sheet.subtitleLabel);
    stack(*content, *sheet.subtitleLabel, sheet.titleLabel->bottomAnchor(), 4, 18);
    sheet.rulerHolder = std::make_shared<UIView>();
    sheet.rulerHolder->setTranslatesAutoresizingMaskIntoConstraints(false);
    content->addSubview(sheet.rulerHolder);
    stack(*content, *sheet.rulerHolder, sheet.subtitleLabel->bottomAnchor(), 12, rulerHeight);

    // Over the ruler's centre, as tall as a long tick and a little more; touches pass through it.
    auto guide = sheet.midPointGuide = std::make_shared<UIView>();
    guide->setUserInteractionEnabled(false);
    guide->setTranslatesAutoresizingMaskIntoConstraints(false);
    content->addSubview(guide);
    NSLayoutConstraint::activateConstraints(
        {guide->topAnchor().constraintEqualToAnchor(sheet.rulerHolder->topAnchor(), -4 * scale),
         guide->heightAnchor().constraintEqualToConstant(28 * scale),
         guide->widthAnchor().constraintEqualToConstant(4),
         guide->centerXAnchor().constraintEqualToAnchor(sheet.rulerHolder->centerXAnchor())});
    return sheet;
}

std::shared_ptr<UIButton> RulerSheet::addButton(const std::string& title, Place place) const {
    auto button = UIButton::buttonWithType(UIButtonType::custom);
    button->setTitle(title, UIControlStateNormal);
    button->setTitleColor(UIColor::colorWithWhite(0.33, 1), UIControlStateNormal);
    button->setTitleColor(UIColor::colorWithWhite(0.66, 1), UIControlStateHighlighted);
    button->titleLabel()->setFont(UIFont::fontWithName("HelveticaNeue", 18));
    button->setTranslatesAutoresizingMaskIntoConstraints(false);
    content->addSubview(button);
    NSLayoutConstraint::activateConstraints(
        {button->bottomAnchor().constraintEqualToAnchor(content->bottomAnchor(), -footInset),
         button->heightAnchor().constraintEqualToConstant(kButtonRowHeight),
         button->widthAnchor().constraintEqualToAnchorMultiplier(content->widthAnchor(),
                                                                 place == Place::whole ? 1 : 0.5),
         place == Place::right ? button->rightAnchor().constraintEqualToAnchor(content->rightAnchor())
                               : button->leftAnchor().constraintEqualToAnchor(content->leftAnchor())});
    return button;
}

std::shared_ptr<UIColor> midPointGuideColor() {
    return UserDataManager::getPomodoroData().themeColorOf(SessionType::focus)->colorWithAlphaComponent(0.5);
}

void slideRulerSheetIn(UIView& root, NSLayoutConstraint* contentTopConstraint) {
    if (contentTopConstraint) contentTopConstraint->setPriority(RulerSheet::kOpenPriority);
    UIView::animateWithDuration(0.1, [&root] {
        root.layoutIfNeeded();
        root.setBackgroundColor(UIColor::colorWithWhite(0, 0.3));
    });
}

}  // namespace quorvel
