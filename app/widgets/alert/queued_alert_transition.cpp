#include "app/widgets/alert/queued_alert_transition.h"

#include <random>
#include <string>
#include <vector>

#include "platform/quartzcore/ca_keyframe_animation.h"
#include "platform/uikit/views/ui_view_animation.h"

namespace quorvel {

using namespace platform;

namespace {

using Completion = QueuedAlertTransition::Completion;
using Timing = CAMediaTimingFunctionName;

std::shared_ptr<CAMediaTimingFunction> curve(Timing name) {
    return CAMediaTimingFunction::functionWithName(name);
}

void keyframes(UIView& card, const std::string& keyPath, std::vector<CAValue> values,
               std::vector<double> keyTimes, std::vector<std::shared_ptr<CAMediaTimingFunction>> timing,
               double duration, const std::string& key, const std::shared_ptr<CAAnimationDelegate>& delegate,
               Completion completion) {
    auto animation = CAKeyframeAnimation::animationWithKeyPath(keyPath);
    animation->setValues(std::move(values));
    animation->setKeyTimes(std::move(keyTimes));
    animation->setTimingFunctions(std::move(timing));
    animation->setDuration(duration);
    animation->setDelegate(delegate);
    animation->setValue(QueuedAlertTransition::kHandlerKey, std::move(completion));
    card.layer()->addAnimation(animation, key);
}

void animate(double duration, unsigned options, const std::function<void()>& changes, Completion completion) {
    UIView::animateWithDuration(duration, 0, options, changes, [completion = std::move(completion)](bool) {
        if (completion) completion();
    });
}

CGRect movedTo(CGRect frame, CGFloat y) {
    frame.origin.y = y;
    return frame;
}

// A whole number from 0 to 99.
int randomPercent() {
    static std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<int>(0, 99)(generator);
}

}  // namespace

void QueuedAlertTransition::transitionIn(QueuedAlertViewTransitionStyle style, UIView& view, UIView& card,
                                         const std::shared_ptr<CAAnimationDelegate>& delegate,
                                         Completion completion) {
    const CGRect frame = card.frame();
    const CGFloat viewHeight = view.bounds().size.height;
    switch (style) {
        case QueuedAlertViewTransitionStyleSlideFromBottom:
        case QueuedAlertViewTransitionStyleSlideFromTop:
            card.setFrame(movedTo(frame, style == QueuedAlertViewTransitionStyleSlideFromBottom
                                             ? viewHeight
                                             : -frame.size.height));
            return animate(
                0.3, 0, [&] { card.setFrame(frame); }, std::move(completion));
        case QueuedAlertViewTransitionStyleFade:
            card.setAlpha(0);
            return animate(
                0.3, 0, [&] { card.setAlpha(1); }, std::move(completion));
        case QueuedAlertViewTransitionStyleBounce:
            return keyframes(card, "transform.scale", {0.01, 1.2, 0.9, 1.0}, {0, 0.4, 0.6, 1},
                             {curve(Timing::linear), curve(Timing::linear), curve(Timing::easeOut)}, 0.5,
                             "bouce", delegate, std::move(completion));
        case QueuedAlertViewTransitionStyleDropDown: {
            const CGFloat y = card.center().y;
            return keyframes(card, "position.y", {y - viewHeight, y + 20, y - 10, y}, {0, 0.5, 0.75, 1},
                             {curve(Timing::easeOut), curve(Timing::linear), curve(Timing::easeOut)}, 0.4,
                             "dropdown", delegate, std::move(completion));
        }
        default:
            if (completion) completion();
    }
}

void QueuedAlertTransition::transitionOut(QueuedAlertViewTransitionStyle style, UIView& view, UIView& card,
                                          const std::shared_ptr<CAAnimationDelegate>& delegate,
                                          Completion completion) {
    const CGRect frame = card.frame();
    const CGFloat viewHeight = view.bounds().size.height;
    switch (style) {
        case QueuedAlertViewTransitionStyleSlideFromBottom:
        case QueuedAlertViewTransitionStyleSlideFromTop: {
            const CGFloat y =
                style == QueuedAlertViewTransitionStyleSlideFromBottom ? viewHeight : -frame.size.height;
            return animate(
                0.3, UIViewAnimationOptionCurveEaseIn, [&] { card.setFrame(movedTo(frame, y)); },
                std::move(completion));
        }
        case QueuedAlertViewTransitionStyleFade:
            return animate(
                0.25, 0, [&] { card.setAlpha(0); }, std::move(completion));
        case QueuedAlertViewTransitionStyleBounce:
            keyframes(card, "transform.scale", {1.0, 1.2, 0.01}, {0, 0.4, 1},
                      {curve(Timing::easeInEaseOut), curve(Timing::easeOut)}, 0.35, "bounce", delegate,
                      std::move(completion));
            // The card stays shrunk once the animation is over.
            card.setTransform(CGAffineTransformMakeScale(0.01, 0.01));
            return;
        case QueuedAlertViewTransitionStyleDropDown: {
            const CGPoint center{card.center().x, card.center().y + viewHeight};
            const CGFloat angle = (randomPercent() - 50) / 100.0;
            return animate(
                0.3, UIViewAnimationOptionCurveEaseIn,
                [&] {
                    card.setCenter(center);
                    card.setTransform(CGAffineTransformMakeRotation(angle));
                },
                std::move(completion));
        }
        default:
            if (completion) completion();
    }
}

void QueuedAlertTransition::runStoredHandler(const CAAnimation& animation) {
    const std::any stored = animation.valueForKey(kHandlerKey);
    if (const auto* handler = std::any_cast<Completion>(&stored); handler && *handler) (*handler)();
}

}  // namespace quorvel
