// Random layer trees changed at random, each repaint compared pixel for pixel with a full redraw.
#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "platform/graphics/layer_back_buffer.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {
namespace {

constexpr int kPixels = 64;
constexpr int kSeeds = 800;
// Scenes whose every new layer is turned, in two or three dimensions.
constexpr int kTurnedSeeds = 1600;
constexpr int kChangesPerSeed = 8;

void paintMidGray(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_paint(cr);
}

// A view whose drawRect paints a disc hanging over its left edge, as a colour palette's thumb does.
class OverhangingDisc : public UIView {
public:
    using UIView::UIView;
    void drawRect(const CGRect&) override {
        CGContext* context = UIGraphicsGetCurrentContext();
        const CGRect b = bounds();
        context->setFillColor(UIColor::colorWithRed(0.9, 0.8, 0.1, 1));
        context->fillEllipseInRect(CGRect(b.minX() - b.size.height / 2, b.minY(), b.size.height, b.size.height));
    }
};

class RandomScene {
public:
    // `turnChance`: how likely each new layer is turned.
    RandomScene(unsigned seed, double turnChance) : random_(seed), turnChance_(turnChance) {
        root_->setBounds(CGRect(0, 0, 32, 32));
        root_->setBackgroundColor(color());
        for (int i = 0; i < 6; ++i) addSomewhere();
    }

    std::vector<LayerBackBuffer::Placement> placed() const { return {{root_, {0, 0}}}; }

    // One change of one layer's place, look or order; its name says what it was.
    std::string change() {
        const auto target = pick();
        switch (below(13)) {
            case 0: target->setPosition({between(-8, 40), between(-8, 40)}); return "move";
            case 1: target->setBounds(CGRect(0, 0, between(1, 30), between(1, 30))); return "resize";
            case 2: target->setHidden(!target->isHidden()); return "hide";
            case 3:
                if (target == root_) return "nothing";
                target->removeFromSuperlayer();
                return "remove";
            case 4: addSomewhere(); return "add";
            case 5: {
                const auto parent = target->superlayer();
                if (!parent) return "nothing";
                parent->insertSublayerAtIndex(target, below(int(parent->sublayers().size())));
                return "restack";
            }
            case 6: turn(*target); return "transform";
            case 7: target->setOpacity(chance(0.5) ? 1.0f : float(between(0.1, 0.9))); return "opacity";
            case 8: target->setMasksToBounds(!target->masksToBounds()); return "clip";
            case 9: mask(*target); return "mask";
            case 10: shadow(*target); return "shadow";
            case 11: target->setBackgroundColor(color()); return "colour";
            default:
                if (auto shape = std::dynamic_pointer_cast<CAShapeLayer>(target)) {
                    shape->setStrokeEnd(between(0, 1));
                    return "stroke end";
                }
                target->setCornerRadius(between(0, 8));
                return "corners";
        }
    }

private:
    double between(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random_); }
    int below(int n) { return n > 0 ? std::uniform_int_distribution<int>(0, n - 1)(random_) : 0; }
    bool chance(double p) { return between(0, 1) < p; }
    CGColorRef color() {
        return CGColorCreateGenericRGB(between(0, 1), between(0, 1), between(0, 1), chance(0.7) ? 1 : 0.5);
    }

    // Any layer of the tree, the root included.
    std::shared_ptr<CALayer> pick() {
        std::vector<std::shared_ptr<CALayer>> all;
        std::function<void(const std::shared_ptr<CALayer>&)> walk = [&](const std::shared_ptr<CALayer>& layer) {
            all.push_back(layer);
            for (const auto& sub : layer->sublayers()) walk(sub);
        };
        walk(root_);
        return all[std::size_t(below(int(all.size())))];
    }

    // A plain layer, a shape or a drawing view's layer, often partly outside its new superlayer.
    void addSomewhere() {
        std::shared_ptr<CALayer> layer;
        switch (below(4)) {
            case 0: {
                auto shape = CAShapeLayer::layer();
                auto path = std::make_shared<CGPath>();
                path->addEllipseInRect(CGRect(between(-4, 8), between(-4, 8), between(2, 20), between(2, 20)));
                shape->setPath(path);
                shape->setFillColor(chance(0.5) ? color() : nullptr);
                shape->setStrokeColor(color());
                shape->setLineWidth(between(0.5, 4));
                shape->setStrokeEnd(between(0.2, 1));
                layer = shape;
                break;
            }
            case 1: {
                auto view = std::make_shared<OverhangingDisc>(CGRect(0, 0, 12, 12));
                views_.push_back(view);
                layer = view->layer();
                break;
            }
            default: layer = CALayer::layer();
        }
        layer->setFrame(CGRect(between(-8, 28), between(-8, 28), between(2, 24), between(2, 24)));
        layer->setBackgroundColor(chance(0.8) ? color() : nullptr);
        if (chance(0.3)) layer->setCornerRadius(between(0, 8));
        if (chance(0.2)) {
            layer->setBorderWidth(between(0.5, 3));
            layer->setBorderColor(color());
        }
        if (chance(0.2)) layer->setMasksToBounds(true);
        if (chance(0.2)) layer->setOpacity(float(between(0.2, 0.9)));
        if (chance(turnChance_)) turn(*layer);
        if (chance(0.1)) mask(*layer);
        if (chance(0.15)) shadow(*layer);
        pick()->addSublayer(layer);
    }

    void turn(CALayer& layer) {
        switch (below(3)) {
            case 0: layer.setAffineTransform(CGAffineTransform::makeRotation(between(-3.2, 3.2))); break;
            case 1: layer.setAffineTransform(CGAffineTransform::makeScale(between(0.3, 1.8), between(0.3, 1.8))); break;
            default: {
                CATransform3D t = CATransform3D::makeRotation(between(-1, 1), 0, 1, 0);
                t.m34 = -1.0 / 60;
                layer.setTransform(t);
            }
        }
    }

    void mask(CALayer& layer) {
        if (chance(0.3)) return layer.setMask(nullptr);
        auto dot = CAShapeLayer::layer();
        auto path = std::make_shared<CGPath>();
        path->addEllipseInRect(CGRect(0, 0, between(4, 20), between(4, 20)));
        dot->setPath(path);
        dot->setFillColor(CGColorCreateGenericGray(0, 1));
        dot->setPosition({between(-4, 16), between(-4, 16)});
        layer.setMask(dot);
    }

    void shadow(CALayer& layer) {
        layer.setShadowOpacity(chance(0.2) ? 0.0f : float(between(0.3, 1)));
        layer.setShadowRadius(between(0, 4));
        layer.setShadowOffset({between(-3, 3), between(-3, 3)});
        if (chance(0.3)) {
            auto path = std::make_shared<CGPath>();
            path->addRect(CGRect(0, 0, between(2, 16), between(2, 16)));
            layer.setShadowPath(path);
        }
    }

    std::mt19937 random_;
    double turnChance_;
    std::shared_ptr<CALayer> root_ = CALayer::layer();
    std::vector<std::shared_ptr<UIView>> views_;
};

// The first differing pixel, or none.
std::optional<std::pair<int, int>> firstDifference(cairo_surface_t* a, cairo_surface_t* b) {
    const int stride = cairo_image_surface_get_stride(a);
    for (int y = 0; y < kPixels; ++y) {
        const auto* ra = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(a) + y * stride);
        const auto* rb = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(b) + y * stride);
        for (int x = 0; x < kPixels; ++x) {
            if (ra[x] != rb[x]) return std::pair{x, y};
        }
    }
    return std::nullopt;
}

// Each scene is changed step by step and repainted; after every step its picture must equal one drawn
// whole. Scales of 1, 1.5 and 2 pixels a point put edges inside pixels too. A scene that differs is
// reported once, with its changes, and written out for a person to compare.
void expectRepaintsEqualFullRedraws(unsigned seeds, double turnChance, const std::string& kind) {
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        const CGFloat scale = 1 + (seed % 3) * 0.5;
        auto bufferAt = [scale] {
            return LayerBackBuffer(kPixels, kPixels, CGAffineTransform::makeScale(scale, scale), paintMidGray);
        };
        RandomScene scene(seed, turnChance);
        LayerBackBuffer buffer = bufferAt();
        buffer.draw(scene.placed(), 0);
        std::string changes;
        for (int step = 0; step < kChangesPerSeed; ++step) {
            changes += scene.change() + "; ";
            buffer.draw(scene.placed(), 0);
            LayerBackBuffer fresh = bufferAt();
            fresh.draw(scene.placed(), 0);
            const auto differs = firstDifference(buffer.surface(), fresh.surface());
            if (!differs) continue;
            ADD_FAILURE() << kind << " seed " << seed << " after " << changes << "pixel " << differs->first
                          << ", " << differs->second;
            const auto dir = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
            std::filesystem::create_directories(dir);
            const std::string name = "random-repaint-" + kind + "-" + std::to_string(seed);
            cairo_surface_write_to_png(buffer.surface(), (dir / (name + "-partial.png")).c_str());
            cairo_surface_write_to_png(fresh.surface(), (dir / (name + "-full.png")).c_str());
            break;
        }
    }
}

TEST(RandomRepaint, EveryRepaintGivesThePixelsOfAFullRedraw) {
    expectRepaintsEqualFullRedraws(kSeeds, 0.15, "mixed");
}

// Turned layers in groups shade their smoothed edges by how the group's surface is cut and by all that
// is drawn into it.
TEST(RandomRepaint, TurnedLayersRepaintToThePixelsOfAFullRedraw) {
    expectRepaintsEqualFullRedraws(kTurnedSeeds, 1.0, "turned");
}

}  // namespace
}  // namespace platform
