#include "platform/graphics/damage_tracker.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/graphics/flattened_path.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/graphics/shadow_blur.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/drawing/ui_image_view.h"

namespace platform {

namespace {

// The newest revision among the layer and its mask's layers: a mask changes what the layer shows.
std::uint64_t revisionWithMask(const CALayer& layer) {
    std::uint64_t revision = layer.revision();
    if (const auto& mask = layer.mask()) {
        revision = std::max(revision, revisionWithMask(*mask));
        for (const auto& sub : mask->sublayers()) revision = std::max(revision, revisionWithMask(*sub));
    }
    return revision;
}

// The views whose drawRect paints images: an image view, a button with its image or background.
bool drawsImages(const CALayer& model) {
    const auto view = UIView::viewForLayer(model);
    return dynamic_cast<const UIImageView*>(view.get()) || dynamic_cast<const UIButton*>(view.get());
}

bool animates(const CALayer& layer) {
    if (layer.hasAnimations()) return true;
    const auto& mask = layer.mask();
    return mask && animates(*mask);
}

}  // namespace

void DamageTracker::collect(const CALayer& root, const CGAffineTransform& toPixels, const PresentedTree& tree,
                            DamageRegion& damage) {
    tree_ = &tree;
    damage_ = &damage;
    ++frame_;
    sawAnimation_ = false;
    const PresentedTree::Shown shown = tree.shown(root);
    const CGPoint origin = shown.layer->bounds().origin;
    visit(root, *shown.layer, nullptr,
          CGAffineTransform::makeTranslation(-origin.x, -origin.y).concat(toPixels), CGRect::infinite(), false);
    // What showed last time and was not met now: removed, hidden or gone transparent.
    std::vector<const CALayer*> gone;
    for (const auto& [layer, record] : records_) {
        if (record.frame != frame_) gone.push_back(layer);
    }
    for (const CALayer* layer : gone) {
        const Record& record = records_.at(layer);
        damage.add(record.own);
        damageShadowsAbove(record.parent, record.drawn);
    }
    for (const CALayer* layer : gone) records_.erase(layer);
    tree_ = nullptr;
    damage_ = nullptr;
}

void DamageTracker::damageShadowsAbove(const CALayer* parent, const CGRect& box) {
    for (auto it = records_.find(parent); it != records_.end(); it = records_.find(it->second.parent)) {
        const CGFloat grow = it->second.shadowGrow;
        if (grow > 0) damage_->add(box.insetBy(-grow, -grow));
    }
}

DamageTracker::Visited DamageTracker::visit(const CALayer& model, const CALayer& look, const CALayer* parent,
                                            const CGAffineTransform& toPixels, const CGRect& clip,
                                            bool aboveChanged) {
    if (look.isHidden() || look.opacity() <= 0) return {};
    const auto found = records_.find(&model);
    const Record* old = found == records_.end() ? nullptr : &found->second;
    const CGRect oldOwn = old ? old->own : CGRect::null();
    const CGRect oldDrawn = old ? old->drawn : CGRect::null();
    const std::uint64_t revision = revisionWithMask(model);
    const bool animated = animates(model);
    sawAnimation_ = sawAnimation_ || animated;
    const bool changed = aboveChanged || !old || old->revision != revision || animated;
    const CGRect drawn = toPixels.apply(tree_->ownExtent(model, look));
    const CGRect own = drawn.intersection(clip);
    const auto* shape = dynamic_cast<const CAShapeLayer*>(&look);
    const bool strokeMoved = shape && old && old->strokeRevision != shape->strokeRevision();
    Visited visited{own, CGRect::null()};
    if (changed || !(oldDrawn == drawn) || !(oldOwn == own)) {
        damage_->add(oldOwn);
        damage_->add(own);
        visited.changed = oldDrawn.unionWith(drawn);
    } else if (strokeMoved) {
        // Cairo rasterises a pixel row of a shape anew wherever in the row one of its edges changed, so
        // the rows of the moved stretch repaint across the whole stroke.
        const CGRect moved = movedStroke(*shape, *old, toPixels);
        visited.changed = moved.isNull() ? drawn
                                         : CGRect(drawn.origin.x, moved.origin.y, drawn.size.width,
                                                  moved.size.height)
                                               .intersection(drawn);
        damage_->add(visited.changed.intersection(clip));
    }

    const CGRect inner = look.masksToBounds() ? clip.intersection(toPixels.apply(look.bounds())) : clip;
    for (const auto& sub : model.sublayers()) {
        const PresentedTree::Shown s = tree_->shown(*sub);
        const auto t = LayerRenderer::projectedTransform(s.layer->transformIn(&look), s.layer->bounds());
        if (!t) continue;
        const Visited below = visit(*sub, *s.layer, &model, t->concat(toPixels), inner, changed);
        visited.box = visited.box.unionWith(below.box);
        visited.changed = visited.changed.unionWith(below.changed);
    }
    // A group is composited whole, and Cairo rounds its pixels by where its surface starts: when the
    // group's pixels change place or size, all of it repaints.
    const bool group = look.opacity() < 1 || model.mask();
    const CGRect groupBox = group ? toPixels.apply(tree_->groupExtent(model, look)).integral() : CGRect::null();
    if (group && old && !(old->groupBox == groupBox)) {
        damage_->add(old->subtree);
        damage_->add(visited.box);
    }
    // A shadow cast by whatever the subtree draws changes, within its blur, wherever the subtree did.
    CGFloat shadowGrow = 0;
    if (look.shadowOpacity() > 0 && PresentedTree::shadowsDrawing(model, look)) {
        const CGFloat scale = std::max(std::hypot(toPixels.a, toPixels.b), std::hypot(toPixels.c, toPixels.d));
        const CGSize offset = look.shadowOffset();
        shadowGrow = (ShadowBlur::spread(std::max<CGFloat>(0, look.shadowRadius())) +
                      std::max(std::abs(offset.width), std::abs(offset.height))) *
                     scale;
        if (!visited.changed.isNull()) damage_->add(visited.changed.insetBy(-shadowGrow, -shadowGrow));
    }
    // Drawings whose pixels depend on where they are cut (see wholeDrawingsMeeting): scaled images and
    // patterns, whose filter Cairo places by the drawing's extent, and groups, which are drawn apart on
    // a surface cut to their extent: a turned layer's smoothed edge in a group shades a level off when
    // the clip cuts that surface short.
    // A shadow's mask is painted on whole pixels unless the layer is turned.
    const bool turned = toPixels.b != 0 || toPixels.c != 0;
    const bool paints = (look.shadowOpacity() > 0 && turned) ||
                        (look.backgroundColor() && look.backgroundColor()->patternImage()) ||
                        drawsImages(model);
    const CGRect whole = group ? groupBox.unionWith(visited.box) : paints ? own : CGRect::null();
    Record& record = records_[&model];
    record = {revision, own, drawn, visited.box, whole, groupBox, parent, shadowGrow};
    if (shape) {
        record.strokeStart = shape->strokeStart();
        record.strokeEnd = shape->strokeEnd();
        record.strokeRevision = shape->strokeRevision();
    }
    record.frame = frame_;
    return visited;
}

CGRect DamageTracker::movedStroke(const CAShapeLayer& shape, const Record& old, const CGAffineTransform& toPixels) {
    auto drawn = [](double start, double end) {
        return std::clamp(end, 0.0, 1.0) > std::clamp(start, 0.0, 1.0);
    };
    const double start = shape.strokeStart(), end = shape.strokeEnd();
    if (!shape.path() || !drawn(start, end) || !drawn(old.strokeStart, old.strokeEnd)) return CGRect::null();
    // Flattened as finely as the renderer flattens it on the picture.
    static cairo_surface_t* const surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    static cairo_t* const cr = cairo_create(surface);
    const cairo_matrix_t m{toPixels.a, toPixels.b, toPixels.c, toPixels.d, toPixels.tx, toPixels.ty};
    cairo_set_matrix(cr, &m);
    const FlattenedPath outline(cr, *shape.path());
    auto between = [&outline](double a, double b) {
        if (a == b) return CGRect::null();
        return outline.boxOfPart(std::clamp(std::min(a, b), 0.0, 1.0), std::clamp(std::max(a, b), 0.0, 1.0));
    };
    const CGRect moved = between(old.strokeStart, start).unionWith(between(old.strokeEnd, end));
    // The line's width and a miter at a corner near an end (Cairo's limit is ten half-widths), and a
    // point for the two flattenings of the outline differing a little.
    const CGFloat grow = std::max<CGFloat>(0, shape.lineWidth()) * 5 + 1;
    return toPixels.apply(moved.insetBy(-grow, -grow));
}

CGRect DamageTracker::wholeDrawingsMeeting(const CGRect& area) const {
    CGRect grown = area;
    for (const auto& [layer, record] : records_) {
        if (record.whole.intersects(area)) grown = grown.unionWith(record.whole);
    }
    return grown;
}

bool DamageTracker::drawsInto(const CALayer& layer, const DamageRegion& damage) const {
    const auto found = records_.find(&layer);
    return found == records_.end() || damage.intersects(found->second.subtree);
}

}  // namespace platform
