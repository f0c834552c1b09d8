// One full frame of a phone-sized window (375 × 812 points at scale 3, 1125 × 2436 pixels): about 60
// layers — rounded cards with borders and shadows, a progress ring, a rotated and a perspective layer,
// buttons with images — and 20 labels, drawn into a surface the frame reuses, as the shell does.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <numbers>
#include <string>

#include "platform/graphics/layer_renderer.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/ui_bezier_path.h"
#include "platform/uikit/ui_button.h"
#include "platform/uikit/ui_graphics.h"
#include "platform/uikit/ui_label.h"

using namespace platform;

namespace {

std::shared_ptr<UIImage> swatch() {
    UIGraphicsBeginImageContextWithOptions({24, 24}, false, 3);
    UIGraphicsGetCurrentContext()->setFillColor(UIColor::whiteColor());
    UIGraphicsGetCurrentContext()->fillEllipseInRect(CGRectMake(2, 2, 20, 20));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

std::shared_ptr<UIView> buildWindow() {
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, 375, 812));
    root->setBackgroundColor(UIColor::colorWithRed(1, 64 / 255.0, 64 / 255.0, 1));
    const auto icon = swatch();
    for (int i = 0; i < 10; ++i) {
        auto card = std::make_shared<UIView>(CGRectMake(16, 120 + i * 64, 343, 56));
        card->setBackgroundColor(UIColor::colorWithWhite(1, 0.15));
        card->layer()->setCornerRadius(12);
        card->layer()->setBorderWidth(1);
        card->layer()->setBorderColor(UIColor::colorWithWhite(1, 0.5));
        if (i % 2 == 0) {
            card->layer()->setShadowOpacity(0.3);
            card->layer()->setShadowRadius(6);
            card->layer()->setShadowOffset({0, 3});
        }
        root->addSubview(card);
        for (int j = 0; j < 2; ++j) {
            auto label = std::make_shared<UILabel>(CGRectMake(12 + j * 170, 8, 150, 40));
            label->setFont(UIFont::systemFontOfSize(j ? 15 : 20));
            label->setTextColor(UIColor::whiteColor());
            label->setText(j ? "Round " + std::to_string(i + 1) + " of 4" : "Focus Session");
            card->addSubview(label);
        }
        auto dot = CALayer::layer();
        dot->setFrame(CGRectMake(320, 20, 16, 16));
        dot->setCornerRadius(8);
        dot->setBackgroundColor(UIColor::whiteColor());
        card->layer()->addSublayer(dot);
    }
    for (int i = 0; i < 4; ++i) {
        auto button = UIButton::buttonWithType(UIButtonType::custom);
        button->setFrame(CGRectMake(16 + i * 88, 770, 80, 36));
        button->setImage(icon, UIControlStateNormal);
        root->addSubview(button);
    }
    auto ring = CAShapeLayer::layer();
    ring->setFrame(CGRectMake(137, 20, 100, 100));
    ring->setPath(UIBezierPath::bezierPathWithArcCenter({50, 50}, 45, -std::numbers::pi / 2,
                                                        3 * std::numbers::pi / 2, true)
                      ->CGPath());
    ring->setFillColor(nullptr);
    ring->setStrokeColor(UIColor::whiteColor());
    ring->setLineWidth(2);
    ring->setStrokeEnd(0.7);
    root->layer()->addSublayer(ring);
    auto rotated = CALayer::layer();
    rotated->setFrame(CGRectMake(20, 30, 60, 40));
    rotated->setBackgroundColor(UIColor::whiteColor());
    rotated->setAffineTransform(CGAffineTransform::makeRotation(0.4));
    root->layer()->addSublayer(rotated);
    auto card = CALayer::layer();
    card->setFrame(CGRectMake(280, 30, 60, 60));
    card->setBackgroundColor(UIColor::whiteColor());
    CATransform3D perspective;
    perspective.m34 = -1.0 / 300;
    card->setTransform(CATransform3D::makeRotation(0.8, 0, 1, 0).concat(perspective));
    root->layer()->addSublayer(card);
    root->layoutIfNeeded();
    return root;
}

void BM_RenderPhoneWindow(benchmark::State& state) {
    auto window = buildWindow();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1125, 2436);
    for (auto _ : state) {
        // The window's opaque background covers every pixel, so the surface needs no clearing.
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, 3, 3);
        LayerRenderer::render(*window->layer(), cr, 0);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
    }
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_RenderPhoneWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
