#include "shell/app_icon.h"

#include <numbers>

#include "platform/graphics/layer_renderer.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel::shell {

namespace {

using namespace platform;

constexpr CGFloat kSide = 64;
constexpr CGFloat kRingRadius = 20;
constexpr CGFloat kRingWidth = 6;

std::shared_ptr<CAShapeLayer> ring(double whiteAlpha, CGFloat strokeEnd) {
    auto path = std::make_shared<CGPath>();
    // From twelve o'clock, clockwise, as a timer runs.
    path->addArc({kSide / 2, kSide / 2}, kRingRadius, -std::numbers::pi / 2, 3 * std::numbers::pi / 2, false);
    auto layer = std::make_shared<CAShapeLayer>();
    layer->setFrame(CGRect(0, 0, kSide, kSide));
    layer->setPath(path);
    layer->setFillColor(nullptr);
    layer->setStrokeColor(CGColorCreateGenericRGB(1, 1, 1, whiteAlpha));
    layer->setLineWidth(kRingWidth);
    layer->setStrokeEnd(strokeEnd);
    return layer;
}

}  // namespace

std::shared_ptr<UIImage> AppIcon::image(double pixels) {
    auto tile = std::make_shared<UIView>(CGRect(0, 0, kSide, kSide));
    tile->setBackgroundColor(UIColor::colorWithRed(0.90, 0.30, 0.24, 1));
    tile->layer()->setCornerRadius(kSide * 0.22);
    tile->layer()->addSublayer(ring(0.35, 1));
    tile->layer()->addSublayer(ring(1, 0.75));
    return LayerRenderer::renderView(*tile, pixels / kSide);
}

}  // namespace quorvel::shell
