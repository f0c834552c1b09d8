#include "platform/uikit/controllers/ui_alert_controller.h"

#include <algorithm>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/container_view.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/text/ui_font.h"
#include "platform/uikit/text/ui_label.h"

namespace platform {

namespace {

constexpr CGFloat kPadding = 16;
constexpr CGFloat kSheetMargin = 8;
constexpr CGFloat kCornerRadius = 13;

std::shared_ptr<UILabel> makeLabel(const std::string& text, const std::shared_ptr<UIFont>& font,
                                   const std::shared_ptr<UIColor>& color) {
    auto label = std::make_shared<UILabel>();
    label->setText(text);
    label->setFont(font);
    label->setTextColor(color);
    label->setTextAlignment(NSTextAlignment::center);
    label->setNumberOfLines(0);
    return label;
}

}  // namespace

UIAlertController::UIAlertController(std::optional<std::string> title, std::optional<std::string> message,
                                     UIAlertControllerStyle style)
    : alertTitle_(std::move(title)), message_(std::move(message)), style_(style) {
    if (alertTitle_) setTitle(*alertTitle_);
    bool panel = style == UIAlertControllerStyle::actionSheet &&
                 DeviceProfile::current().idiom == UIUserInterfaceIdiom::pad;
    setModalPresentationStyle(panel ? UIModalPresentationStyle::popover : UIModalPresentationStyle::custom);
}

std::shared_ptr<UIAlertController> UIAlertController::alertControllerWithTitle(std::optional<std::string> title,
                                                                               std::optional<std::string> message,
                                                                               UIAlertControllerStyle style) {
    return std::shared_ptr<UIAlertController>(new UIAlertController(std::move(title), std::move(message), style));
}

void UIAlertController::addAction(const std::shared_ptr<UIAlertAction>& action) {
    if (action) actions_.push_back(action);
}

std::vector<std::shared_ptr<UIAlertAction>> UIAlertController::actionsAsShown() const {
    auto shown = actions_;
    std::stable_partition(shown.begin(), shown.end(),
                          [](const auto& action) { return action->style() != UIAlertActionStyle::cancel; });
    return shown;
}

void UIAlertController::loadView() {
    std::weak_ptr<UIAlertController> weak = std::static_pointer_cast<UIAlertController>(shared_from_this());
    auto view = std::make_shared<ContainerView>(UIScreen::mainScreen().applicationFrame(), [weak](ContainerView& v) {
        if (auto self = weak.lock()) self->layoutView(v);
    });
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    bool panel = modalPresentationStyle() == UIModalPresentationStyle::popover;
    view->setBackgroundColor(panel ? UIColor::clearColor() : UIColor::colorWithWhite(0, 0.4));

    card_ = std::make_shared<UIView>();
    card_->setBackgroundColor(UIColor::colorWithWhite(0.8, 1));
    card_->layer()->setCornerRadius(kCornerRadius);
    card_->setClipsToBounds(true);
    header_ = std::make_shared<UIView>();
    header_->setBackgroundColor(UIColor::colorWithWhite(0.97, 1));
    card_->addSubview(header_);
    bool alert = style_ == UIAlertControllerStyle::alert;
    if (alertTitle_) {
        titleLabel_ = makeLabel(*alertTitle_, UIFont::boldSystemFontOfSize(alert ? 17 : 13),
                                alert ? UIColor::blackColor() : UIColor::grayColor());
        header_->addSubview(titleLabel_);
    }
    if (message_) {
        messageLabel_ = makeLabel(*message_, UIFont::systemFontOfSize(13),
                                  alert ? UIColor::blackColor() : UIColor::grayColor());
        header_->addSubview(messageLabel_);
    }
    auto shown = actionsAsShown();
    for (size_t i = 0; i < shown.size(); ++i) {
        const auto& action = shown[i];
        auto button = UIButton::buttonWithType(UIButtonType::system);
        button->setTitle(action->title(), UIControlStateNormal);
        bool cancel = action->style() == UIAlertActionStyle::cancel;
        button->titleLabel()->setFont(cancel ? UIFont::boldSystemFontOfSize(17) : UIFont::systemFontOfSize(17));
        if (action->style() == UIAlertActionStyle::destructive)
            button->setTitleColor(UIColor::colorWithRed(1, 0.23, 0.19, 1), UIControlStateNormal);
        button->setBackgroundColor(UIColor::colorWithWhite(0.97, 1));
        button->setEnabled(action->isEnabled());
        button->addTarget(
            this,
            [weak, i](UIControl&) {
                if (auto self = weak.lock()) self->buttonTapped(i);
            },
            UIControlEventTouchUpInside);
        card_->addSubview(button);
        buttons_.push_back(button);
    }
    view->addSubview(card_);
    setView(view);
    if (panel) setPreferredContentSize({kSheetWidth, layoutCard(kSheetWidth, false)});
}

CGFloat UIAlertController::layoutCard(CGFloat width, bool place) {
    const CGFloat line = 1 / UIScreen::mainScreen().scale();
    CGFloat y = 0;
    if (titleLabel_ || messageLabel_) {
        y = 20;
        for (const auto& label : {titleLabel_, messageLabel_}) {
            if (!label) continue;
            CGFloat height = label->sizeThatFits({width - 2 * kPadding, 10000}).height;
            if (place) label->setFrame(CGRect(kPadding, y, width - 2 * kPadding, height));
            y += height + 4;
        }
        y += 16;
    }
    if (place) header_->setFrame(CGRect(0, 0, width, y));
    bool sideBySide = style_ == UIAlertControllerStyle::alert && buttons_.size() == 2;
    if (sideBySide) {
        CGFloat half = (width - line) / 2;
        if (place) {
            buttons_[0]->setFrame(CGRect(0, y + line, half, kButtonHeight));
            buttons_[1]->setFrame(CGRect(half + line, y + line, half, kButtonHeight));
        }
        return y + line + kButtonHeight;
    }
    for (const auto& button : buttons_) {
        y += line;
        if (place) button->setFrame(CGRect(0, y, width, kButtonHeight));
        y += kButtonHeight;
    }
    return y;
}

void UIAlertController::layoutView(ContainerView& view) {
    CGRect bounds = view.bounds();
    auto window = view.window();
    bool inPanel = window && bounds.size != window->bounds().size;
    if (inPanel) {
        layoutCard(bounds.width(), true);
        card_->setFrame(bounds);
        return;
    }
    if (style_ == UIAlertControllerStyle::alert) {
        CGFloat height = layoutCard(kAlertWidth, true);
        card_->setFrame(CGRect(bounds.midX() - kAlertWidth / 2, bounds.midY() - height / 2, kAlertWidth, height));
        return;
    }
    CGFloat width = std::min(bounds.width() - 2 * kSheetMargin, 2 * kSheetWidth);
    CGFloat height = layoutCard(width, true);
    CGFloat bottom = bounds.maxY() - kSheetMargin - view.safeAreaInsets().bottom;
    card_->setFrame(CGRect(bounds.midX() - width / 2, bottom - height, width, height));
}

void UIAlertController::buttonTapped(size_t index) {
    auto shown = actionsAsShown();
    if (index >= shown.size() || !shown[index]->isEnabled()) return;
    auto action = shown[index];
    dismissViewControllerAnimated(true, [action] { action->runHandler(); });
}

}  // namespace platform
