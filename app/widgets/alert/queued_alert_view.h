#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/widgets/alert/queued_alert_appearance.h"
#include "app/widgets/alert/queued_alert_geometry.h"
#include "app/widgets/alert/queued_alert_item.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/quartzcore/ca_animation.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

class QueuedAlertBackgroundWindow;

// Posted on the default centre with the alert as the object (a std::shared_ptr<QueuedAlertView>).
extern const platform::NSNotificationName& QueuedAlertViewWillShowNotification;
extern const platform::NSNotificationName& QueuedAlertViewDidShowNotification;
extern const platform::NSNotificationName& QueuedAlertViewWillDismissNotification;
extern const platform::NSNotificationName& QueuedAlertViewDidDismissNotification;

// A modal alert: a white rounded card with an optional title, an optional message and its buttons, in
// a window of its own above a window that dims the app.
//
// Alerts wait in one queue for the whole program, so that at most one is on screen: showing an alert
// while another is up (or moving) queues it, and the one on screen gives way; each dismissal brings up
// the next alert in the queue, else the last one still queued. The dimming stays up for as long as an
// alert is about to follow. A button runs its handler and dismisses the alert, except the alarm and
// ticking toggles, which restyle themselves from their setting and keep it open. Main thread only.
class QueuedAlertView : public platform::UIView, public platform::CAAnimationDelegate {
public:
    static constexpr platform::UIWindowLevel kWindowLevel = 1996.0;
    static constexpr long kMessageLines = 5;
    static constexpr platform::CGFloat kButtonCornerRadius = 3.0;

    QueuedAlertView();
    QueuedAlertView(std::optional<std::string> title, std::optional<std::string> message);

    // Texts take effect at the next layout; the labels themselves are made when the alert first shows.
    const std::optional<std::string>& title() const { return title_; }
    void setTitle(std::optional<std::string> title);
    const std::optional<std::string>& message() const { return message_; }
    void setMessage(std::optional<std::string> message);

    QueuedAlertViewTransitionStyle transitionStyle() const { return transitionStyle_; }
    void setTransitionStyle(QueuedAlertViewTransitionStyle style) { transitionStyle_ = style; }
    QueuedAlertViewBackgroundStyle backgroundStyle() const { return appearance_.backgroundStyle; }
    void setBackgroundStyle(QueuedAlertViewBackgroundStyle style) { appearance_.backgroundStyle = style; }
    QueuedAlertViewButtonsListStyle buttonsListStyle() const { return buttonsListStyle_; }
    void setButtonsListStyle(QueuedAlertViewButtonsListStyle style);

    const QueuedAlertViewHandler& willShowHandler() const { return willShowHandler_; }
    void setWillShowHandler(QueuedAlertViewHandler handler) { willShowHandler_ = std::move(handler); }
    const QueuedAlertViewHandler& didShowHandler() const { return didShowHandler_; }
    void setDidShowHandler(QueuedAlertViewHandler handler) { didShowHandler_ = std::move(handler); }
    const QueuedAlertViewHandler& willDismissHandler() const { return willDismissHandler_; }
    void setWillDismissHandler(QueuedAlertViewHandler handler) { willDismissHandler_ = std::move(handler); }
    const QueuedAlertViewHandler& didDismissHandler() const { return didDismissHandler_; }
    void setDidDismissHandler(QueuedAlertViewHandler handler) { didDismissHandler_ = std::move(handler); }

    // On screen: from the start of showing until its dismissal has completed.
    bool visible() const { return visible_; }
    // Nothing turns it on: alerts carry no motion effects.
    bool isParallaxEffectEnabled() const { return false; }

    // Appearance: each setter keeps a new value and applies it at once to what exists.
    const std::shared_ptr<platform::UIColor>& viewBackgroundColor() const {
        return appearance_.viewBackgroundColor;
    }
    void setViewBackgroundColor(std::shared_ptr<platform::UIColor> color);
    const std::shared_ptr<platform::UIColor>& titleColor() const { return appearance_.titleColor; }
    void setTitleColor(std::shared_ptr<platform::UIColor> color);
    const std::shared_ptr<platform::UIColor>& messageColor() const { return appearance_.messageColor; }
    void setMessageColor(std::shared_ptr<platform::UIColor> color);
    const std::shared_ptr<platform::UIFont>& titleFont() const { return appearance_.titleFont; }
    void setTitleFont(std::shared_ptr<platform::UIFont> font);
    const std::shared_ptr<platform::UIFont>& messageFont() const { return appearance_.messageFont; }
    void setMessageFont(std::shared_ptr<platform::UIFont> font);
    const std::shared_ptr<platform::UIFont>& buttonFont() const { return appearance_.buttonFont; }
    void setButtonFont(std::shared_ptr<platform::UIFont> font);
    const std::shared_ptr<platform::UIColor>& buttonColor() const { return appearance_.buttonColor; }
    void setButtonColor(std::shared_ptr<platform::UIColor> color);
    const std::shared_ptr<platform::UIColor>& cancelButtonColor() const {
        return appearance_.cancelButtonColor;
    }
    void setCancelButtonColor(std::shared_ptr<platform::UIColor> color);
    const std::shared_ptr<platform::UIColor>& destructiveButtonColor() const {
        return appearance_.destructiveButtonColor;
    }
    void setDestructiveButtonColor(std::shared_ptr<platform::UIColor> color);
    platform::CGFloat cornerRadius() const { return appearance_.cornerRadius; }
    void setCornerRadius(platform::CGFloat radius);
    platform::CGFloat shadowRadius() const { return appearance_.shadowRadius; }
    void setShadowRadius(platform::CGFloat radius);
    // A background image for a state on every button of that type made so far.
    void setDefaultButtonImage(std::shared_ptr<platform::UIImage> image, unsigned state);
    void setCancelButtonImage(std::shared_ptr<platform::UIImage> image, unsigned state);
    void setDestructiveButtonImage(std::shared_ptr<platform::UIImage> image, unsigned state);

    // Buttons are added before the alert shows; their controls are made when it does.
    void addButtonWithTitle(const std::string& title, QueuedAlertViewButtonType type,
                            QueuedAlertViewHandler handler = nullptr);
    void show();
    // With cleanup the alert leaves the queue; without, it stays queued to come up again later.
    void dismissAnimated(bool animated);
    void dismissAnimated(bool animated, bool cleanup);

    // The parts, for the controller and for inspection: none of them exist before the alert shows.
    const std::vector<QueuedAlertItem>& items() const { return items_; }
    const std::shared_ptr<platform::UIView>& containerView() const { return containerView_; }
    const std::shared_ptr<platform::UILabel>& titleLabel() const { return titleLabel_; }
    const std::shared_ptr<platform::UILabel>& messageLabel() const { return messageLabel_; }
    const std::vector<std::shared_ptr<platform::UIButton>>& buttons() const { return buttons_; }
    const std::shared_ptr<platform::UIWindow>& alertWindow() const { return alertWindow_; }
    std::shared_ptr<platform::UIWindow> oldKeyWindow() const { return oldKeyWindow_.lock(); }

    // Builds the card, labels and buttons; the controller runs it when it loads its view.
    void setUp();
    void invalidateLayout();
    // The card's height for the current texts, fonts, buttons and list style.
    platform::CGFloat preferredHeight() const;
    void layoutSubviews() override;

    // Runs the completion a key-frame transition stored on the animation.
    void animationDidStop(const std::shared_ptr<platform::CAAnimation>& animation, bool finished) override;

    // Class-wide state.
    static std::vector<std::shared_ptr<QueuedAlertView>>& sharedQueue();
    static std::shared_ptr<QueuedAlertView> currentAlertView();
    static void setCurrentAlertView(std::shared_ptr<QueuedAlertView> alertView);
    static bool isAnimating();
    static void setAnimating(bool animating);
    static const std::shared_ptr<QueuedAlertBackgroundWindow>& backgroundWindow();
    // Dims the app, fading in, unless it is dimmed already; a fade-out under way turns back.
    static void showBackground();
    static void hideBackgroundAnimated(bool animated);
    // Where the alerts' windows go: the rectangle of the screen the app's windows cover. Windows here
    // turn with the interface, so no conversion into the hardware's portrait space is wanted.
    static platform::CGRect fixedCoordinateSpace();

private:
    std::shared_ptr<QueuedAlertView> self();
    void notify(const QueuedAlertViewHandler& handler, const platform::NSNotificationName& name);
    void finishDismissal(bool wasVisible, bool cleanup);
    void giveKeyStatusBack();
    void tearDown();
    // After this alert is dismissed, whether an alert will come up.
    bool alertFollows(bool cleanup) const;
    void validateLayout();
    void updateLabel(std::shared_ptr<platform::UILabel>& label, const std::optional<std::string>& text,
                     bool isTitle);
    void addButton(const QueuedAlertItem& item, long index);
    void buttonAction(platform::UIButton& button);
    // The buttons of one styled type, for the appearance setters.
    std::vector<std::shared_ptr<platform::UIButton>> buttonsOfType(QueuedAlertViewButtonType type) const;
    void recolorButtons(QueuedAlertViewButtonType type, const std::shared_ptr<platform::UIColor>& color);
    void setButtonImages(QueuedAlertViewButtonType type, const std::shared_ptr<platform::UIImage>& image,
                         unsigned state);
    QueuedAlertGeometry geometry() const;
    std::optional<platform::CGFloat> titleHeight() const;
    std::optional<platform::CGFloat> messageHeight() const;

    std::optional<std::string> title_;
    std::optional<std::string> message_;
    QueuedAlertViewTransitionStyle transitionStyle_ = QueuedAlertViewTransitionStyleSlideFromBottom;
    QueuedAlertViewButtonsListStyle buttonsListStyle_ = QueuedAlertViewButtonsListStyleNormal;
    QueuedAlertViewHandler willShowHandler_;
    QueuedAlertViewHandler didShowHandler_;
    QueuedAlertViewHandler willDismissHandler_;
    QueuedAlertViewHandler didDismissHandler_;
    bool visible_ = false;
    QueuedAlertAppearance appearance_ = QueuedAlertAppearance::defaults();

    std::vector<QueuedAlertItem> items_;
    std::weak_ptr<platform::UIWindow> oldKeyWindow_;
    // Owned while the alert is up; its root controller holds this view, so tearing down breaks the loop.
    std::shared_ptr<platform::UIWindow> alertWindow_;
    platform::UIViewTintAdjustmentMode oldTintAdjustmentMode_ = platform::UIViewTintAdjustmentMode::automatic;
    std::shared_ptr<platform::UILabel> titleLabel_;
    std::shared_ptr<platform::UILabel> messageLabel_;
    std::shared_ptr<platform::UIView> containerView_;
    std::vector<std::shared_ptr<platform::UIButton>> buttons_;
    bool layoutDirty_ = false;
};

}  // namespace quorvel
