#include "app/screens/timer/designable_shadow.h"

#include "platform/uikit/drawing/ui_bezier_path.h"

namespace quorvel {

using namespace platform;

namespace {

bool sameColor(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) {
    return a == b || (a && b && *a == *b);
}

bool sameStyle(const ShadowStyle& a, const ShadowStyle& b) {
    return a.offset == b.offset && a.opacity == b.opacity && a.radius == b.radius &&
           a.cornerRadius == b.cornerRadius && sameColor(a.color, b.color) &&
           sameColor(a.fillColor, b.fillColor);
}

}  // namespace

bool DesignableShadow::drawingPass(UIView& view, const ShadowStyle& style) {
    if (!style.color || *style.color == *UIColor::clearColor()) return takeOffScreen();
    const auto& own = view.layer();
    own->setMasksToBounds(true);
    own->setCornerRadius(style.cornerRadius);
    if (stillShows(view, style)) return false;

    takeOffScreen();
    const CGRect frame = view.frame();
    const CGPathRef path = UIBezierPath::bezierPathWithRoundedRect(frame, style.cornerRadius)->CGPath();
    auto shadow = CAShapeLayer::layer();
    shadow->setPath(path);
    shadow->setFillColor(style.fillColor ? style.fillColor->CGColor() : nullptr);
    shadow->setShadowColor(style.color->CGColor());
    shadow->setShadowPath(path);
    shadow->setShadowOffset(style.offset);
    shadow->setShadowOpacity(static_cast<float>(style.opacity));
    shadow->setShadowRadius(style.radius);
    const auto superlayer = own->superlayer();
    if (superlayer) superlayer->insertSublayerAtIndex(shadow, 0);
    layer_ = shadow;
    made_ = Made{style, frame, superlayer.get()};
    return true;
}

bool DesignableShadow::takeOffScreen() {
    made_.reset();
    if (!layer_ || !layer_->superlayer()) return false;
    layer_->removeFromSuperlayer();
    return true;
}

bool DesignableShadow::stillShows(const UIView& view, const ShadowStyle& style) const {
    if (!made_ || !layer_) return false;
    const auto superlayer = view.layer()->superlayer();
    return made_->superlayer == superlayer.get() && layer_->superlayer() == superlayer &&
           made_->frame == view.frame() && sameStyle(made_->style, style);
}

}  // namespace quorvel
