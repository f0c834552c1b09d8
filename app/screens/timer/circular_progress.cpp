#include "app/screens/timer/circular_progress.h"

#include <cmath>
#include <numbers>

#include "app/screens/timer/device_pixel_steps.h"
#include "platform/quartzcore/ca_basic_animation.h"
#include "platform/quartzcore/ca_media_timing_function.h"
#include "platform/uikit/drawing/ui_bezier_path.h"

namespace quorvel {

using namespace platform;

namespace {

// The ring's radius: the stroke's middle, inside the frame.
double radiusIn(const CGRect& box) {
    return (box.size.width - 1.5) * 0.5;
}

}  // namespace

CircularProgress::CircularProgress() {
    drawRing();
}

CircularProgress::CircularProgress(const CGRect& frame) : UIView(frame) {
    drawRing();
}

void CircularProgress::drawRing() {
    setBackgroundColor(UIColor::clearColor());
    const CGRect box = frame();
    layer()->setCornerRadius(box.size.width / 2);
    constexpr double pi = std::numbers::pi;
    const auto circle =
        UIBezierPath::bezierPathWithArcCenter(CGPoint{box.size.width * 0.5, box.size.height * 0.5},
                                              radiusIn(box), -pi / 2, 3 * pi / 2, true);
    const auto style = [&](const std::shared_ptr<CAShapeLayer>& ring, UIColor& stroke, double strokeEnd) {
        ring->setPath(circle->CGPath());
        ring->setFillColor(UIColor::clearColor()->CGColor());
        ring->setStrokeColor(stroke.CGColor());
        ring->setLineWidth(lineWidth_);
        ring->setStrokeEnd(strokeEnd);
        layer()->addSublayer(ring);
    };
    style(tracklayer_, *trackColor_, 1.0);
    style(progressLayer_, *progressColor_, onPixelGrid(value_));
}

void CircularProgress::setValue(float value, double duration) {
    showValue(value);
    if (value == 0 && duration == 0) {
        showValue(1.0);
        animateRing(0.4);
    } else if (std::isnan(value)) {
        showValue(1.0);
    } else if (duration != 0) {
        animateRing(duration);
    }
}

void CircularProgress::showValue(double value) {
    value_ = value;
    progressLayer_->setStrokeEnd(onPixelGrid(value));
}

double CircularProgress::onPixelGrid(double value) const {
    return roundedToDevicePixels(value, 2 * std::numbers::pi * radiusIn(frame()));
}

void CircularProgress::animateRing(double duration) {
    auto animation = CABasicAnimation::animationWithKeyPath("strokeEnd");
    animation->setDuration(duration);
    animation->setFromValue(0.0);
    animation->setToValue(progressLayer_->strokeEnd());
    animation->setTimingFunction(CAMediaTimingFunction::functionWithName(CAMediaTimingFunctionName::linear));
    progressLayer_->addAnimation(animation, "animateCircle");
}

}  // namespace quorvel
