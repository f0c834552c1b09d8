#include "app/screens/timer/progress_view.h"

#include "app/screens/timer/progress_ring_side.h"
#include "app/screens/timer/released_line.h"

namespace quorvel {

using namespace platform;

ProgressView::~ProgressView() {
    printReleased("ProgressView");
}

ProgressView::ProgressView() {
    setBackgroundColor(UIColor::clearColor());
}

void ProgressView::setProgressViewDisplay(std::shared_ptr<CircularProgress> ring) {
    progressViewDisplay_ = std::move(ring);
    if (!progressViewDisplay_) return;
    progressViewDisplay_->setValue(1.0f, 0);
    progressViewDisplay_->setProgressColor(UIColor::whiteColor());
    progressViewDisplay_->progressLayer()->setStrokeColor(UIColor::whiteColor()->CGColor());
    progressViewDisplay_->setLineWidth(2.0);
    redrawRing();
}

void ProgressView::drawRect(const CGRect& rect) {
    UIView::drawRect(rect);
    redrawRing();
}

void ProgressView::redrawRing() {
    if (!progressViewDisplay_) return;
    progressViewDisplay_->progressLayer()->removeFromSuperlayer();
    progressViewDisplay_->tracklayer()->removeFromSuperlayer();
    progressViewDisplay_->drawRing();
}

void ProgressView::updateForRotation(UIDeviceOrientation orientation, Split split) {
    splitStatus_ = split;
    const auto ring = progressViewDisplay_;
    if (!ring) return;
    const CGFloat side = ProgressRingSide::sideLength(orientation, split);
    const auto height = ring->heightConstraint();
    const auto width = ring->widthConstraint();
    if (height) height->setConstant(side);
    if (width) width->setConstant(side);
    CGRect frame = ring->frame();
    frame.size = {width ? width->constant() : side, height ? height->constant() : side};
    frame.origin = {(bounds().size.width - side) * 0.5, (bounds().size.height - side) * 0.5};
    ring->setFrame(frame);
    ring->setNeedsUpdateConstraints();
    redrawRing();
    layoutIfNeeded();
}

}  // namespace quorvel
