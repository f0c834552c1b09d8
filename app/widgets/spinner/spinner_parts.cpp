#include "app/widgets/spinner/spinner_parts.h"

#include <cmath>
#include <numbers>

#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_bezier_path.h"

namespace quorvel {

using namespace platform;

std::shared_ptr<CALayer> SpinnerParts::square(const CGRect& frame, const std::shared_ptr<UIColor>& color) {
    auto layer = CALayer::layer();
    layer->setFrame(frame);
    layer->setAnchorPoint({0.5, 0.5});
    layer->setBackgroundColor(color);
    return layer;
}

std::shared_ptr<CALayer> SpinnerParts::circle(const CGRect& frame, const std::shared_ptr<UIColor>& color) {
    auto layer = square(frame, color);
    layer->setCornerRadius(frame.size.height / 2);
    return layer;
}

void SpinnerParts::rasterize(CALayer& layer) {
    layer.setShouldRasterize(true);
    layer.setRasterizationScale(UIScreen::mainScreen().scale());
}

CGRect SpinnerParts::inset(CGSize size) {
    return CGRectMake(0, 0, size.width, size.height).insetBy(2, 2);
}

CGRect SpinnerParts::onRing(CGSize size, double angle, CGFloat side) {
    const CGFloat radius = size.width / 2;
    return CGRectMake(radius + radius * std::sin(angle), radius - radius * std::cos(angle), side, side);
}

void SpinnerParts::addFlipping(CALayer& host, const std::shared_ptr<CALayer>& plane) {
    plane->setAnchorPointZ(0.5);
    rasterize(*plane);
    CATransform3D perspective = CATransform3DIdentity;
    perspective.m34 = 1.0 / 120;
    plane->addAnimation(
        keyframes("transform", 1.2, host.localTime(), {0, 0.5, 1.0},
                  {perspective.rotatedBy(0, 0, 0, 0), perspective.rotatedBy(std::numbers::pi, 0, 1, 0),
                   perspective.rotatedBy(std::numbers::pi, 0, 0, 1)},
                  timing(CAMediaTimingFunctionName::easeInEaseOut, 3)),
        kAnimationKey);
    host.addSublayer(plane);
}

SpinnerParts::Ring SpinnerParts::ring(CGSize size, const std::shared_ptr<UIColor>& color, double endAngle) {
    const CGRect frame = CGRectMake(0, 0, size.width, size.height);
    const CGFloat radius = (size.width - 4) / 2;
    Ring ring{square(frame, color), CAShapeLayer::layer()};
    ring.layer->setCornerRadius(size.width / 2);
    ring.mask->setFrame(frame);
    ring.mask->setPath(
        UIBezierPath::bezierPathWithArcCenter(frame.center(), radius, 0, endAngle, false)->CGPath());
    ring.mask->setStrokeColor(UIColor::blackColor());
    ring.mask->setFillColor(UIColor::clearColor());
    ring.mask->setLineWidth(2.0);
    ring.mask->setCornerRadius(radius);
    ring.mask->setAnchorPoint({0.5, 0.5});
    ring.layer->setMask(ring.mask);
    return ring;
}

CATransform3D SpinnerParts::scale(double x, double y, double z) {
    return CATransform3DMakeScale(x, y, z);
}

std::vector<CAValue> SpinnerParts::quarterTurns() {
    std::vector<CAValue> turns;
    for (int quarter = 0; quarter <= 4; ++quarter) {
        turns.emplace_back(CATransform3DMakeRotation(quarter * std::numbers::pi / 2, 0, 0, 1));
    }
    return turns;
}

std::vector<std::shared_ptr<CAMediaTimingFunction>> SpinnerParts::timing(CAMediaTimingFunctionName name,
                                                                         std::size_t count) {
    return std::vector(count, CAMediaTimingFunction::functionWithName(name));
}

namespace {

void loopForever(CAAnimation& animation, double duration, double beginTime) {
    animation.setDuration(duration);
    animation.setBeginTime(beginTime);
    animation.setRepeatCount(CAAnimation::kRepeatForever);
    animation.setRemovedOnCompletion(false);
}

}  // namespace

std::shared_ptr<CAKeyframeAnimation> SpinnerParts::keyframes(
    const std::string& keyPath, double duration, double beginTime, std::vector<double> keyTimes,
    std::vector<CAValue> values, std::vector<std::shared_ptr<CAMediaTimingFunction>> timing) {
    auto animation = CAKeyframeAnimation::animationWithKeyPath(keyPath);
    loopForever(*animation, duration, beginTime);
    animation->setKeyTimes(std::move(keyTimes));
    animation->setValues(std::move(values));
    animation->setTimingFunctions(std::move(timing));
    return animation;
}

std::shared_ptr<CAAnimationGroup> SpinnerParts::group(
    double duration, double beginTime,
    const std::vector<std::pair<std::string, std::vector<CAValue>>>& tracks) {
    auto group = CAAnimationGroup::animation();
    loopForever(*group, duration, beginTime);
    std::vector<std::shared_ptr<CAAnimation>> children;
    for (const auto& [keyPath, values] : tracks) {
        auto child = CAKeyframeAnimation::animationWithKeyPath(keyPath);
        child->setValues(values);
        children.push_back(child);
    }
    group->setAnimations(std::move(children));
    return group;
}

std::shared_ptr<CAKeyframeAnimation> SpinnerParts::pop(double duration, double beginTime) {
    return keyframes("transform", duration, beginTime, {0, 0.5, 1},
                     {scale(0, 0, 0), scale(1, 1, 0), scale(0, 0, 0)},
                     timing(CAMediaTimingFunctionName::easeInEaseOut, 3));
}

}  // namespace quorvel
