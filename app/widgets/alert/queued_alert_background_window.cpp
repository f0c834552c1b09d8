#include "app/widgets/alert/queued_alert_background_window.h"

#include "platform/uikit/ui_graphics.h"

namespace quorvel {

using namespace platform;

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

}  // namespace quorvel
