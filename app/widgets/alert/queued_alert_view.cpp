#include "app/widgets/alert/queued_alert_view.h"

#include <algorithm>
#include <cmath>

#include "app/widgets/alert/queued_alert_background_window.h"
#include "app/widgets/alert/queued_alert_button_style.h"
#include "app/widgets/alert/queued_alert_transition.h"
#include "app/widgets/alert/queued_alert_view_controller.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_bezier_path.h"
#include "platform/uikit/text/text_layout.h"

namespace quorvel {

using namespace platform;

const NSNotificationName& QueuedAlertViewWillShowNotification =
    *new NSNotificationName("QueuedAlertViewWillShowNotification");
const NSNotificationName& QueuedAlertViewDidShowNotification =
    *new NSNotificationName("QueuedAlertViewDidShowNotification");
const NSNotificationName& QueuedAlertViewWillDismissNotification =
    *new NSNotificationName("QueuedAlertViewWillDismissNotification");
const NSNotificationName& QueuedAlertViewDidDismissNotification =
    *new NSNotificationName("QueuedAlertViewDidDismissNotification");

namespace {

// One for the whole program; never destroyed, so no alert's window outlives the window registry at exit.
struct ClassState {
    std::vector<std::shared_ptr<QueuedAlertView>> queue;
    std::shared_ptr<QueuedAlertView> current;
    bool animating = false;
};

ClassState& classState() {
    static ClassState& state = *new ClassState;
    return state;
}

// The height the text takes in the alert's text width, in at most `lines` lines (0: any number).
CGFloat textHeight(const std::string& text, const UILabel& label, long lines) {
    if (text.empty()) return 0;
    const TextLayout layout(NSAttributedString(text, {label.font(), nullptr}),
                            QueuedAlertGeometry::kTextWidth, static_cast<int>(lines), label.lineBreakMode(),
                            NSTextAlignment::left);
    return layout.size().height;
}

}  // namespace

QueuedAlertView::QueuedAlertView() : QueuedAlertView(std::nullopt, std::nullopt) {}

QueuedAlertView::QueuedAlertView(std::optional<std::string> title, std::optional<std::string> message)
    : title_(std::move(title)), message_(std::move(message)) {}

std::shared_ptr<QueuedAlertView> QueuedAlertView::self() {
    return std::static_pointer_cast<QueuedAlertView>(shared_from_this());
}

void QueuedAlertView::setTitle(std::optional<std::string> title) {
    title_ = std::move(title);
    invalidateLayout();
}

void QueuedAlertView::setMessage(std::optional<std::string> message) {
    message_ = std::move(message);
    invalidateLayout();
}

void QueuedAlertView::setButtonsListStyle(QueuedAlertViewButtonsListStyle style) {
    buttonsListStyle_ = style;
    invalidateLayout();
}

// Appearance --------------------------------------------------------------------------------------------

void QueuedAlertView::setViewBackgroundColor(std::shared_ptr<UIColor> color) {
    if (color == appearance_.viewBackgroundColor) return;
    appearance_.viewBackgroundColor = color;
    if (containerView_) containerView_->setBackgroundColor(color);
}

void QueuedAlertView::setTitleColor(std::shared_ptr<UIColor> color) {
    if (color == appearance_.titleColor) return;
    appearance_.titleColor = color;
    if (titleLabel_) titleLabel_->setTextColor(color);
}

void QueuedAlertView::setMessageColor(std::shared_ptr<UIColor> color) {
    if (color == appearance_.messageColor) return;
    appearance_.messageColor = color;
    if (messageLabel_) messageLabel_->setTextColor(color);
}

void QueuedAlertView::setTitleFont(std::shared_ptr<UIFont> font) {
    if (font == appearance_.titleFont) return;
    appearance_.titleFont = font;
    if (titleLabel_) titleLabel_->setFont(font);
    invalidateLayout();
}

void QueuedAlertView::setMessageFont(std::shared_ptr<UIFont> font) {
    if (font == appearance_.messageFont) return;
    appearance_.messageFont = font;
    if (messageLabel_) messageLabel_->setFont(font);
    invalidateLayout();
}

void QueuedAlertView::setButtonFont(std::shared_ptr<UIFont> font) {
    if (font == appearance_.buttonFont) return;
    appearance_.buttonFont = font;
    for (const auto& button : buttons_) button->titleLabel()->setFont(font);
}

void QueuedAlertView::setButtonColor(std::shared_ptr<UIColor> color) {
    if (color == appearance_.buttonColor) return;
    appearance_.buttonColor = color;
    recolorButtons(QueuedAlertViewButtonTypeDefault, color);
}

void QueuedAlertView::setCancelButtonColor(std::shared_ptr<UIColor> color) {
    if (color == appearance_.cancelButtonColor) return;
    appearance_.cancelButtonColor = color;
    recolorButtons(QueuedAlertViewButtonTypeCancel, color);
}

void QueuedAlertView::setDestructiveButtonColor(std::shared_ptr<UIColor> color) {
    if (color == appearance_.destructiveButtonColor) return;
    appearance_.destructiveButtonColor = color;
    recolorButtons(QueuedAlertViewButtonTypeDestructive, color);
}

void QueuedAlertView::setCornerRadius(CGFloat radius) {
    if (radius == appearance_.cornerRadius) return;
    appearance_.cornerRadius = radius;
    if (containerView_) containerView_->layer()->setCornerRadius(radius);
}

void QueuedAlertView::setShadowRadius(CGFloat radius) {
    if (radius == appearance_.shadowRadius) return;
    appearance_.shadowRadius = radius;
    if (containerView_) containerView_->layer()->setShadowRadius(radius);
}

void QueuedAlertView::setDefaultButtonImage(std::shared_ptr<UIImage> image, unsigned state) {
    setButtonImages(QueuedAlertViewButtonTypeDefault, image, state);
}

void QueuedAlertView::setCancelButtonImage(std::shared_ptr<UIImage> image, unsigned state) {
    setButtonImages(QueuedAlertViewButtonTypeCancel, image, state);
}

void QueuedAlertView::setDestructiveButtonImage(std::shared_ptr<UIImage> image, unsigned state) {
    setButtonImages(QueuedAlertViewButtonTypeDestructive, image, state);
}

std::vector<std::shared_ptr<UIButton>> QueuedAlertView::buttonsOfType(QueuedAlertViewButtonType type) const {
    std::vector<std::shared_ptr<UIButton>> matching;
    for (std::size_t i = 0; i < buttons_.size() && i < items_.size(); ++i) {
        if (QueuedAlertButtonStyle::kind(items_[i].type) == type) matching.push_back(buttons_[i]);
    }
    return matching;
}

void QueuedAlertView::recolorButtons(QueuedAlertViewButtonType type, const std::shared_ptr<UIColor>& color) {
    for (const auto& button : buttonsOfType(type)) QueuedAlertButtonStyle::setTitleColor(*button, color);
}

void QueuedAlertView::setButtonImages(QueuedAlertViewButtonType type, const std::shared_ptr<UIImage>& image,
                                      unsigned state) {
    for (const auto& button : buttonsOfType(type)) button->setBackgroundImage(image, state);
}

// Showing and dismissing --------------------------------------------------------------------------------

void QueuedAlertView::addButtonWithTitle(const std::string& title, QueuedAlertViewButtonType type,
                                         QueuedAlertViewHandler handler) {
    items_.push_back({title, type, std::move(handler)});
}

void QueuedAlertView::notify(const QueuedAlertViewHandler& handler, const NSNotificationName& name) {
    auto keep = self();
    if (handler) handler(*this);
    NSNotificationCenter::defaultCenter().postNotificationName(name, keep);
}

void QueuedAlertView::show() {
    if (visible_) return;
    auto keep = self();
    auto& queue = sharedQueue();
    if (std::find(queue.begin(), queue.end(), keep) == queue.end()) queue.push_back(keep);
    // The dimming fading out after the last alert turns back for this one.
    if (backgroundWindow()) showBackground();
    if (isAnimating()) return;
    if (auto current = currentAlertView(); current && current->visible()) {
        // Its dismissal brings up the next alert in the queue.
        current->dismissAnimated(true, false);
        return;
    }

    // Taken only now: a window dimmed for an alert still on its way out is not taken as the app's own look.
    oldKeyWindow_ = UIApplication::sharedApplication().keyWindow();
    if (auto key = oldKeyWindow_.lock()) {
        oldTintAdjustmentMode_ = key->tintAdjustmentMode();
        key->setTintAdjustmentMode(UIViewTintAdjustmentMode::dimmed);
    }
    notify(willShowHandler_, QueuedAlertViewWillShowNotification);
    visible_ = true;
    setAnimating(true);
    setCurrentAlertView(keep);
    showBackground();
    if (!alertWindow_) {
        auto controller = std::make_shared<QueuedAlertViewController>();
        controller->setAlertView(keep);
        alertWindow_ = std::make_shared<UIWindow>(fixedCoordinateSpace());
        alertWindow_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        alertWindow_->setOpaque(false);
        alertWindow_->setWindowLevel(kWindowLevel);
        alertWindow_->setRootViewController(controller);
    }
    alertWindow_->makeKeyAndVisible();
    validateLayout();
    if (!containerView_) return;
    QueuedAlertTransition::transitionIn(
        transitionStyle_, *this, *containerView_, keep, [weak = std::weak_ptr(keep)] {
            auto alert = weak.lock();
            // Dismissed before it came fully in: its dismissal has done the rest.
            if (!alert || !alert->visible_) return;
            alert->notify(alert->didShowHandler_, QueuedAlertViewDidShowNotification);
            setAnimating(false);
            // Alerts queued while it came in: it gives way to them.
            const auto& queue = sharedQueue();
            const auto position = std::find(queue.begin(), queue.end(), alert);
            if (position != queue.end() && position + 1 != queue.end()) alert->dismissAnimated(true, false);
        });
}

void QueuedAlertView::dismissAnimated(bool animated) {
    dismissAnimated(animated, true);
}

void QueuedAlertView::dismissAnimated(bool animated, bool cleanup) {
    auto keep = self();
    const bool wasVisible = visible_;
    if (wasVisible) {
        notify(willDismissHandler_, QueuedAlertViewWillDismissNotification);
        // Before anything follows, so that the next alert takes the app's window as the one to return to.
        giveKeyStatusBack();
    }
    if (animated && wasVisible && containerView_) {
        setAnimating(true);
        // The dimming fades with the last alert; one that follows keeps it.
        const bool follows = alertFollows(cleanup);
        QueuedAlertTransition::transitionOut(transitionStyle_, *this, *containerView_, keep,
                                             [keep, cleanup] { keep->finishDismissal(true, cleanup); });
        if (!follows) hideBackgroundAnimated(true);
    } else {
        finishDismissal(wasVisible, cleanup);
    }
}

bool QueuedAlertView::alertFollows(bool cleanup) const {
    const auto& queue = sharedQueue();
    return std::any_of(queue.begin(), queue.end(),
                       [&](const auto& alert) { return !cleanup || alert.get() != this; });
}

void QueuedAlertView::finishDismissal(bool wasVisible, bool cleanup) {
    auto keep = self();
    visible_ = false;
    tearDown();
    ClassState& state = classState();
    // An alert that is not the one on screen leaves the one on screen, and its motion, alone.
    const bool wasCurrent = state.current == keep;
    if (wasCurrent) state.current.reset();
    auto& queue = state.queue;
    auto position = std::find(queue.begin(), queue.end(), keep);
    std::shared_ptr<QueuedAlertView> next;
    if (position != queue.end() && position + 1 != queue.end()) next = *(position + 1);
    if (cleanup && position != queue.end()) queue.erase(position);
    if (wasCurrent) state.animating = false;
    if (wasVisible) {
        notify(didDismissHandler_, QueuedAlertViewDidDismissNotification);
        if (next) {
            next->show();
        } else if (!queue.empty()) {
            queue.back()->show();
        }
    }
    // Nothing came up in its place: the dimming goes.
    if (!currentAlertView()) hideBackgroundAnimated(true);
}

void QueuedAlertView::giveKeyStatusBack() {
    auto window = oldKeyWindow_.lock();
    if (window) {
        window->setTintAdjustmentMode(oldTintAdjustmentMode_);
    } else {
        const auto windows = UIApplication::sharedApplication().windows();
        if (!windows.empty()) window = windows.front();
    }
    if (window) window->makeKeyAndVisible();
}

void QueuedAlertView::tearDown() {
    if (containerView_) containerView_->removeFromSuperview();
    containerView_.reset();
    titleLabel_.reset();
    messageLabel_.reset();
    buttons_.clear();
    if (auto window = std::move(alertWindow_)) window->setHidden(true);
    layoutDirty_ = false;
}

void QueuedAlertView::animationDidStop(const std::shared_ptr<CAAnimation>& animation, bool) {
    if (animation) QueuedAlertTransition::runStoredHandler(*animation);
}

// Class-wide state --------------------------------------------------------------------------------------

std::vector<std::shared_ptr<QueuedAlertView>>& QueuedAlertView::sharedQueue() {
    return classState().queue;
}

std::shared_ptr<QueuedAlertView> QueuedAlertView::currentAlertView() {
    return classState().current;
}

void QueuedAlertView::setCurrentAlertView(std::shared_ptr<QueuedAlertView> alertView) {
    classState().current = std::move(alertView);
}

bool QueuedAlertView::isAnimating() {
    return classState().animating;
}

void QueuedAlertView::setAnimating(bool animating) {
    classState().animating = animating;
}

const std::shared_ptr<QueuedAlertBackgroundWindow>& QueuedAlertView::backgroundWindow() {
    return QueuedAlertBackgroundWindow::shared();
}

void QueuedAlertView::showBackground() {
    const auto current = currentAlertView();
    QueuedAlertBackgroundWindow::showShared(
        fixedCoordinateSpace(),
        current ? current->backgroundStyle() : QueuedAlertAppearance::defaults().backgroundStyle);
}

void QueuedAlertView::hideBackgroundAnimated(bool animated) {
    QueuedAlertBackgroundWindow::hideShared(animated);
}

CGRect QueuedAlertView::fixedCoordinateSpace() {
    return UIScreen::mainScreen().applicationFrame();
}

// Set-up and layout -------------------------------------------------------------------------------------

void QueuedAlertView::setUp() {
    containerView_ = std::make_shared<UIView>(bounds());
    containerView_->setBackgroundColor(appearance_.viewBackgroundColor ? appearance_.viewBackgroundColor
                                                                       : UIColor::whiteColor());
    const auto& layer = containerView_->layer();
    layer->setCornerRadius(appearance_.cornerRadius);
    layer->setShadowOffset({0, 0});
    layer->setShadowRadius(appearance_.shadowRadius);
    layer->setShadowOpacity(0.5);
    addSubview(containerView_);
    updateLabel(titleLabel_, title_, true);
    updateLabel(messageLabel_, message_, false);
    buttons_.clear();
    for (std::size_t i = 0; i < items_.size(); ++i) addButton(items_[i], static_cast<long>(i));
    invalidateLayout();
}

void QueuedAlertView::updateLabel(std::shared_ptr<UILabel>& label, const std::optional<std::string>& text,
                                  bool isTitle) {
    if (!text) {
        if (label) label->removeFromSuperview();
        label.reset();
        return;
    }
    if (!label) {
        label = std::make_shared<UILabel>();
        label->setTextAlignment(NSTextAlignment::center);
        label->setBackgroundColor(UIColor::clearColor());
        if (isTitle) {
            label->setFont(appearance_.titleFont);
            label->setTextColor(appearance_.titleColor);
            label->setAdjustsFontSizeToFitWidth(true);
            label->setMinimumScaleFactor(0.75);
        } else {
            label->setFont(appearance_.messageFont);
            label->setTextColor(appearance_.messageColor);
            label->setNumberOfLines(kMessageLines);
        }
        containerView_->addSubview(label);
    }
    label->setText(*text);
}

void QueuedAlertView::addButton(const QueuedAlertItem& item, long index) {
    auto button = UIButton::buttonWithType(UIButtonType::custom);
    button->setTag(index);
    button->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    button->titleLabel()->setFont(appearance_.buttonFont);
    button->setTitle(item.title, UIControlStateNormal);
    QueuedAlertButtonStyle::apply(
        *button, item.type,
        {appearance_.buttonColor, appearance_.cancelButtonColor, appearance_.destructiveButtonColor});
    button->layer()->setCornerRadius(kButtonCornerRadius);
    button->setClipsToBounds(true);
    button->addTarget(self(), &QueuedAlertView::buttonAction, UIControlEventTouchUpInside);
    buttons_.push_back(button);
    containerView_->addSubview(button);
}

void QueuedAlertView::buttonAction(UIButton& button) {
    const long index = button.tag();
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return;
    auto keep = self();
    const QueuedAlertItem item = items_[static_cast<std::size_t>(index)];
    // Held until the alert is gone, so an alert asked for meanwhile only queues.
    setAnimating(true);
    if (!item.action) return dismissAnimated(true);
    item.action(*this);
    if (QueuedAlertButtonStyle::isToggle(item.type))
        return QueuedAlertButtonStyle::restyleToggle(button, item.type);
    dismissAnimated(true);
}

void QueuedAlertView::invalidateLayout() {
    layoutDirty_ = true;
    setNeedsLayout();
}

std::optional<CGFloat> QueuedAlertView::titleHeight() const {
    if (!titleLabel_) return std::nullopt;
    return std::ceil(textHeight(title_.value_or(""), *titleLabel_, titleLabel_->numberOfLines()));
}

// As tall as the text, so a long message leaves no empty band around it in the card; but at least three
// lines, so a short message does not crowd the title and the buttons.
std::optional<CGFloat> QueuedAlertView::messageHeight() const {
    if (!messageLabel_) return std::nullopt;
    const CGFloat measured = textHeight(message_.value_or(""), *messageLabel_, kMessageLines);
    return std::max(3 * messageLabel_->font()->lineHeight(), std::ceil(measured));
}

QueuedAlertGeometry QueuedAlertView::geometry() const {
    std::vector<QueuedAlertViewButtonType> types;
    for (const auto& item : items_) types.push_back(item.type);
    return QueuedAlertGeometry(titleHeight(), messageHeight(), types, buttonsListStyle_);
}

CGFloat QueuedAlertView::preferredHeight() const {
    return geometry().height();
}

void QueuedAlertView::layoutSubviews() {
    validateLayout();
}

void QueuedAlertView::validateLayout() {
    if (!layoutDirty_) return;
    layoutDirty_ = false;
    if (const auto& background = backgroundWindow()) background->setFrame(fixedCoordinateSpace());
    if (!containerView_) return;

    const QueuedAlertGeometry geometry = this->geometry();
    const CGRect area = bounds();
    containerView_->setTransform(CGAffineTransformIdentity);
    containerView_->setFrame(CGRect((area.size.width - QueuedAlertGeometry::kCardWidth) / 2,
                                    (area.size.height - geometry.height()) / 2,
                                    QueuedAlertGeometry::kCardWidth, geometry.height()));
    const auto& layer = containerView_->layer();
    layer->setShadowPath(
        UIBezierPath::bezierPathWithRoundedRect(containerView_->bounds(), layer->cornerRadius())->CGPath());
    if (titleLabel_) {
        titleLabel_->setText(title_.value_or(""));
        titleLabel_->setFrame(*geometry.titleFrame());
    }
    if (messageLabel_) {
        messageLabel_->setText(message_.value_or(""));
        messageLabel_->setFrame(*geometry.messageFrame());
    }
    for (std::size_t i = 0; i < buttons_.size() && i < geometry.buttonFrames().size(); ++i) {
        buttons_[i]->setFrame(geometry.buttonFrames()[i]);
    }
}

}  // namespace quorvel
