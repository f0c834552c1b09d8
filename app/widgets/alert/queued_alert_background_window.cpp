#include "app/widgets/alert/queued_alert_background_window.h"

#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/views/ui_view_animation.h"

namespace quorvel {

using namespace platform;

namespace {

// Never destroyed, so the window does not outlive the window registry at exit.
struct Shared {
    std::shared_ptr<QueuedAlertBackgroundWindow> window;
    bool fading = false;
    // Each fade or release takes a new number, so the end of a fade that was turned back does nothing.
    unsigned generation = 0;
};

Shared& sharedState() {
    static Shared& state = *new Shared;
    return state;
}

void release() {
    Shared& state = sharedState();
    ++state.generation;
    state.fading = false;
    if (auto window = std::move(state.window)) window->setHidden(true);
}

}  // namespace

QueuedAlertBackgroundWindow::QueuedAlertBackgroundWindow(const CGRect& frame,
                                                         QueuedAlertViewBackgroundStyle style)
    : UIWindow(frame), style_(style) {
    setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setOpaque(false);
    setWindowLevel(kLevel);
}

void QueuedAlertBackgroundWindow::setStyle(QueuedAlertViewBackgroundStyle style) {
    style_ = style;
    setNeedsDisplay();
}

void QueuedAlertBackgroundWindow::drawRect(const CGRect& rect) {
    const bool dims =
        style_ == QueuedAlertViewBackgroundStyleGradient || style_ == QueuedAlertViewBackgroundStyleSolid;
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!dims || !context) return;
    context->setFillColor(UIColor::colorWithWhite(0, 0.75));
    context->fillRect(rect);
}

const std::shared_ptr<QueuedAlertBackgroundWindow>& QueuedAlertBackgroundWindow::shared() {
    return sharedState().window;
}

void QueuedAlertBackgroundWindow::showShared(const CGRect& frame, QueuedAlertViewBackgroundStyle style) {
    Shared& state = sharedState();
    if (auto window = state.window) {
        if (!state.fading) return;
        state.fading = false;
        ++state.generation;
        UIView::animateWithDuration(
            kFadeDuration, 0, UIViewAnimationOptionBeginFromCurrentState, [&] { window->setAlpha(1); },
            nullptr);
        return;
    }
    auto window = std::make_shared<QueuedAlertBackgroundWindow>(frame, style);
    state.window = window;
    window->makeKeyAndVisible();
    window->setAlpha(0);
    UIView::animateWithDuration(kFadeDuration, [&] { window->setAlpha(1); });
}

void QueuedAlertBackgroundWindow::hideShared(bool animated) {
    Shared& state = sharedState();
    if (!state.window) return;
    if (!animated) return release();
    if (state.fading) return;
    state.fading = true;
    const unsigned generation = ++state.generation;
    auto window = state.window;
    UIView::animateWithDuration(
        kFadeDuration, 0, 0, [&] { window->setAlpha(0); },
        [generation](bool) {
            if (sharedState().generation == generation) release();
        });
}

}  // namespace quorvel
