#include "platform/graphics/layer_renderer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "platform/coregraphics/cg_context.h"
#include "platform/graphics/damage_tracker.h"
#include "platform/graphics/flattened_path.h"
#include "platform/graphics/shadow_blur.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

namespace {

bool visible(const CGColorRef& color) {
    return color && color->alpha() > 0;
}

void setSource(cairo_t* cr, const CGColor& color, double alpha = 1) {
    if (const auto& image = color.patternImage()) {
        // Tiled at the image's own scale, from the origin of the layer being drawn.
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(image->surface());
        cairo_matrix_t scale;
        cairo_matrix_init_scale(&scale, image->scale(), image->scale());
        cairo_pattern_set_matrix(pattern, &scale);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_set_source(cr, pattern);
        cairo_pattern_destroy(pattern);
        return;  // a pattern is opaque as drawn; a fading alpha applies only to plain colours
    }
    double r = 0, g = 0, b = 0, a = 0;
    color.getRed(&r, &g, &b, &a);
    cairo_set_source_rgba(cr, r, g, b, a * alpha);
}

CGPath boundsShape(const CGRect& bounds, CGFloat radius) {
    CGPath path;
    if (radius > 0) {
        path.addRoundedRect(bounds, radius, radius);
    } else {
        path.addRect(bounds);
    }
    return path;
}

// Pixels per user unit of the context, for masks drawn at the resolution they are shown at.
double deviceScale(cairo_t* cr) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    return std::max(0.01, std::sqrt(std::abs(m.xx * m.yy - m.xy * m.yx)));
}

// A layer turned so nearly edge-on that it spans less than this of a device pixel per point across
// shows nothing. Cairo could not invert its matrix for the patterns of images and shadows, and would
// stop drawing into the surface altogether.
constexpr double kThinnest = 1e-4;

bool tooThinToShow(cairo_t* cr) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    // The determinant over the Frobenius norm is at most the smallest singular value.
    const double norm = std::sqrt(m.xx * m.xx + m.xy * m.xy + m.yx * m.yx + m.yy * m.yy);
    return !(std::abs(m.xx * m.yy - m.xy * m.yx) >= kThinnest * norm);
}

// Clips to the whole device pixels that `area` (in user space) covers. A clip along the area itself,
// turned or between pixels, would cut the sloping edges of what is drawn inside, and Cairo rasterises
// every pixel row a cut passes through a little differently, so the pixels would depend on the area.
void clipToPixelsOf(cairo_t* cr, const CGRect& area) {
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (CGPoint corner : {CGPoint{area.minX(), area.minY()}, CGPoint{area.maxX(), area.minY()},
                           CGPoint{area.minX(), area.maxY()}, CGPoint{area.maxX(), area.maxY()}}) {
        double x = corner.x, y = corner.y;
        cairo_user_to_device(cr, &x, &y);
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    cairo_matrix_t user;
    cairo_get_matrix(cr, &user);
    cairo_identity_matrix(cr);
    cairo_rectangle(cr, std::floor(left), std::floor(top), std::ceil(right) - std::floor(left),
                    std::ceil(bottom) - std::floor(top));
    cairo_clip(cr);
    cairo_set_matrix(cr, &user);
}

void applyTransform(cairo_t* cr, const CGAffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(cr, &m);
}

// A value that changes whenever anything the layer's subtree draws may have: the layers in it, in
// order, with their revisions, stroke ends and masks. Zero (no reuse) while one of them animates, whose
// look follows the clock instead.
std::uint64_t drawingStamp(const CALayer& layer) {
    if (layer.hasAnimations()) return 0;
    std::uint64_t stamp = std::hash<const void*>()(&layer) ^ (layer.revision() * 0x9E3779B97F4A7C15ull);
    auto mix = [&stamp](std::uint64_t value) {
        stamp ^= value + 0x9E3779B97F4A7C15ull + (stamp << 6) + (stamp >> 2);
    };
    if (const auto* shape = dynamic_cast<const CAShapeLayer*>(&layer)) mix(shape->strokeRevision());
    if (const auto& mask = layer.mask()) {
        const std::uint64_t m = drawingStamp(*mask);
        if (!m) return 0;
        mix(m);
    }
    for (const auto& sub : layer.sublayers()) {
        const std::uint64_t s = drawingStamp(*sub);
        if (!s) return 0;
        mix(s);
    }
    return stamp ? stamp : 1;
}

class Renderer {
public:
    // Draws every layer, or with `tracker` and `damage` only those that drew into the damage last
    // collected (the caller clips to it).
    Renderer(const PresentedTree& tree, const DamageTracker* tracker, const DamageRegion* damage)
        : tree_(tree), tracker_(tracker), damage_(damage) {}

    // Draws a layer in its own coordinates (the caller has applied its transform).
    void layer(const CALayer& model, const CALayer& look, cairo_t* cr) {
        if (look.isHidden() || look.opacity() <= 0) return;
        const double opacity = std::min(1.0f, look.opacity());
        const bool group = opacity < 1 || model.mask();
        if (!group) {
            shadow(model, look, cr);
            body(model, look, cr);
            return;
        }
        cairo_save(cr);
        // The mask's outline is not cut either, though only its part over the drawing shows.
        clipToPixelsOf(cr, tree_.groupExtent(model, look));
        cairo_push_group(cr);
        // All of it: how Cairo composites a group, to the level, depends on everything drawn into it.
        unculled([&] {
            shadow(model, look, cr);
            body(model, look, cr);
        });
        cairo_pattern_t* content = cairo_pop_group(cr);
        if (const auto& mask = model.mask()) {
            cairo_push_group(cr);
            unculled([&] { sublayer(*mask, nullptr, cr); });
            cairo_pattern_t* alpha = cairo_pop_group(cr);
            cairo_push_group(cr);
            cairo_set_source(cr, content);
            cairo_mask(cr, alpha);
            cairo_pattern_destroy(alpha);
            cairo_pattern_destroy(content);
            content = cairo_pop_group(cr);
        }
        cairo_set_source(cr, content);
        cairo_paint_with_alpha(cr, opacity);
        cairo_pattern_destroy(content);
        cairo_restore(cr);
    }

private:
    // Draws `model` as a sublayer of the layer showing as `parent` (null for a mask).
    void sublayer(const CALayer& model, const CALayer* parent, cairo_t* cr) {
        if (culling_ && !tracker_->drawsInto(model, *damage_)) return;
        const PresentedTree::Shown s = tree_.shown(model);
        if (s.layer->isHidden() || s.layer->opacity() <= 0) return;
        const auto t = LayerRenderer::projectedTransform(s.layer->transformIn(parent), s.layer->bounds());
        if (!t || (!s.layer->isDoubleSided() && t->determinant() < 0)) return;
        cairo_save(cr);
        applyTransform(cr, *t);
        if (!tooThinToShow(cr)) layer(model, *s.layer, cr);
        cairo_restore(cr);
    }

    // Masks and shadows of drawings are drawn whole: what lies outside the damage shapes what is inside.
    template <typename Draw>
    void unculled(Draw draw) {
        const bool was = culling_;
        culling_ = false;
        draw();
        culling_ = was;
    }

    void shadow(const CALayer& model, const CALayer& look, cairo_t* cr) {
        if (look.shadowOpacity() <= 0 || !visible(look.shadowColor())) return;
        const CGFloat radius = std::max<CGFloat>(0, look.shadowRadius());
        const CGSize offset = look.shadowOffset();
        const double scale = deviceScale(cr);
        const ShadowBlur::Mask* mask = nullptr;
        if (look.shadowPath()) {
            mask = &ShadowBlur::shared().maskForPath(*look.shadowPath(), radius, scale);
        } else if (!PresentedTree::shadowsDrawing(model, look)) {
            if (!visible(look.backgroundColor()) && !(look.borderWidth() > 0 && visible(look.borderColor())))
                return;
            mask = &ShadowBlur::shared().maskForPath(boundsShape(look.bounds(), look.cornerRadius()), radius,
                                                     scale);
        } else {
            // The shadow of whatever the layer draws: its body drawn once more as an alpha mask.
            const std::uint64_t stamp = drawingStamp(model);
            mask = &ShadowBlur::shared().maskForDrawing(
                tree_.extent(model, look), radius, scale,
                [&](cairo_t* mcr) { unculled([&] { body(model, look, mcr); }); }, stamp ? &model : nullptr,
                stamp);
        }
        cairo_save(cr);
        setSource(cr, *look.shadowColor(), std::clamp(look.shadowOpacity(), 0.0f, 1.0f));
        ShadowBlur::paint(cr, *mask, offset);
        cairo_restore(cr);
    }

    void shape(const CAShapeLayer& look, cairo_t* cr) {
        if (!look.path()) return;
        const CGPath& path = *look.path();
        if (visible(look.fillColor())) {
            CGContext::appendPath(cr, path);
            cairo_set_fill_rule(cr, look.fillRule() == CGPathFillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD
                                                                               : CAIRO_FILL_RULE_WINDING);
            setSource(cr, *look.fillColor());
            cairo_fill(cr);
        }
        const double start = std::clamp<double>(look.strokeStart(), 0, 1);
        const double end = std::clamp<double>(look.strokeEnd(), 0, 1);
        if (!visible(look.strokeColor()) || look.lineWidth() <= 0 || end <= start) return;
        if (start == 0 && end == 1) {
            CGContext::appendPath(cr, path);
        } else {
            FlattenedPath(cr, path).appendPart(cr, start, end);
        }
        cairo_set_line_width(cr, look.lineWidth());
        setSource(cr, *look.strokeColor());
        cairo_stroke(cr);
    }

    void body(const CALayer& model, const CALayer& look, cairo_t* cr) {
        const CGRect b = look.bounds();
        const CGFloat radius = look.cornerRadius();
        if (visible(look.backgroundColor())) {
            CGContext::appendPath(cr, boundsShape(b, radius));
            setSource(cr, *look.backgroundColor());
            cairo_fill(cr);
        }
        cairo_save(cr);
        if (look.masksToBounds()) {
            CGContext::appendPath(cr, boundsShape(b, radius));
            cairo_clip(cr);
        }
        if (const auto* s = dynamic_cast<const CAShapeLayer*>(&look)) shape(*s, cr);
        if (const auto view = PresentedTree::drawingView(model)) {
            CGContext context(cr);
            UIGraphicsPushContext(&context);
            cairo_save(cr);
            // A view draws into a picture of its bounds, as on a device: the extents and the damage
            // count on nothing drawn past them.
            cairo_rectangle(cr, b.origin.x, b.origin.y, b.size.width, b.size.height);
            cairo_clip(cr);
            view->drawRect(view->bounds());
            cairo_restore(cr);
            UIGraphicsPopContext();
        }
        // A view's drawRect may change the layer tree (a shadow layer put behind it, say): walk a copy.
        const std::vector<std::shared_ptr<CALayer>> sublayers = model.sublayers();
        for (const auto& sub : sublayers) sublayer(*sub, &look, cr);
        cairo_restore(cr);
        if (look.borderWidth() > 0 && visible(look.borderColor())) {
            const CGFloat w = look.borderWidth();
            CGContext::appendPath(cr,
                                  boundsShape(b.insetBy(w / 2, w / 2), std::max<CGFloat>(0, radius - w / 2)));
            cairo_set_line_width(cr, w);
            setSource(cr, *look.borderColor());
            cairo_stroke(cr);
        }
    }

    const PresentedTree& tree_;
    const DamageTracker* tracker_;
    const DamageRegion* damage_;
    bool culling_ = tracker_ && damage_;
};

}  // namespace

std::optional<CGAffineTransform> LayerRenderer::projectedTransform(const CATransform3D& m,
                                                                   const CGRect& bounds) {
    // A finite, non-zero determinant means finite linear terms too: what Cairo accepts.
    auto drawable = [](const CGAffineTransform& t) -> std::optional<CGAffineTransform> {
        const CGFloat det = t.determinant();
        if (!std::isfinite(det) || det == 0 || !std::isfinite(t.tx) || !std::isfinite(t.ty))
            return std::nullopt;
        return t;
    };
    if (m.m14 == 0 && m.m24 == 0 && m.m44 == 1) return drawable(m.affineTransform());
    const CGPoint c = bounds.center();
    const CGFloat dx = std::max<CGFloat>(bounds.width() / 2, 1),
                  dy = std::max<CGFloat>(bounds.height() / 2, 1);
    CGPoint p[3];
    const CGPoint sources[3] = {c, {c.x + dx, c.y}, {c.x, c.y + dy}};
    for (int i = 0; i < 3; ++i) {
        const CGPoint s = sources[i];
        const CGFloat w = s.x * m.m14 + s.y * m.m24 + m.m44;
        if (!(w > 1e-6)) return std::nullopt;
        p[i] = {(s.x * m.m11 + s.y * m.m21 + m.m41) / w, (s.x * m.m12 + s.y * m.m22 + m.m42) / w};
    }
    CGAffineTransform t;
    t.a = (p[1].x - p[0].x) / dx;
    t.b = (p[1].y - p[0].y) / dx;
    t.c = (p[2].x - p[0].x) / dy;
    t.d = (p[2].y - p[0].y) / dy;
    t.tx = p[0].x - t.a * c.x - t.c * c.y;
    t.ty = p[0].y - t.b * c.x - t.d * c.y;
    return drawable(t);
}

void LayerRenderer::render(const CALayer& root, cairo_t* cr, double mediaTime) {
    draw(root, cr, PresentedTree(mediaTime), nullptr, nullptr);
}

void LayerRenderer::renderDamage(const CALayer& root, cairo_t* cr, const PresentedTree& tree,
                                 const DamageTracker& tracker, const DamageRegion& damage) {
    draw(root, cr, tree, &tracker, &damage);
}

void LayerRenderer::draw(const CALayer& root, cairo_t* cr, const PresentedTree& tree,
                         const DamageTracker* tracker, const DamageRegion* damage) {
    Renderer renderer(tree, tracker, damage);
    const PresentedTree::Shown s = tree.shown(root);
    cairo_save(cr);
    cairo_translate(cr, -s.layer->bounds().origin.x, -s.layer->bounds().origin.y);
    renderer.layer(root, *s.layer, cr);
    cairo_restore(cr);
}

std::shared_ptr<UIImage> LayerRenderer::renderView(UIView& view, CGFloat scale) {
    if (!(scale > 0)) scale = UIScreen::mainScreen().scale();
    view.layoutIfNeeded();
    const CGSize size = view.bounds().size;
    // At least one pixel, at most what a Cairo surface holds (NaN becomes one pixel).
    auto pixels = [scale](CGFloat points) {
        const double p = std::round(points * scale);
        return p >= 1 ? static_cast<int>(std::min(p, 32767.0)) : 1;
    };
    const int w = pixels(size.width), h = pixels(size.height);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    render(*view.layer(), cr, CACurrentMediaTime());
    cairo_destroy(cr);
    auto image = std::make_shared<UIImage>(surface, scale);
    cairo_surface_destroy(surface);
    return image;
}

bool LayerRenderer::writeViewPNG(UIView& view, const std::filesystem::path& path, CGFloat scale) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    return renderView(view, scale)->writePNG(path);
}

}  // namespace platform
