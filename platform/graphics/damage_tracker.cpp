#include "platform/graphics/damage_tracker.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/graphics/layer_renderer.h"
#include "platform/graphics/shadow_blur.h"
#include "platform/uikit/ui_button.h"
#include "platform/uikit/ui_image_view.h"

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
        damageShadowsAbove(record.parent, record.own);
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
    const std::uint64_t revision = revisionWithMask(model);
    const bool animated = animates(model);
    sawAnimation_ = sawAnimation_ || animated;
    const bool changed = aboveChanged || !old || old->revision != revision || animated;
    const CGRect own = toPixels.apply(tree_->ownExtent(model, look)).intersection(clip);
    Visited visited{own, CGRect::null()};
    if (changed || !(oldOwn == own)) {
        damage_->add(oldOwn);
        damage_->add(own);
        visited.changed = oldOwn.unionWith(own);
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
    // patterns, whose filter Cairo places by the drawing's extent, and groups, which are drawn apart.
    // A shadow's mask is painted on whole pixels unless the layer is turned.
    const bool turned = toPixels.b != 0 || toPixels.c != 0;
    const bool group = look.opacity() < 1 || model.mask();
    const bool paints = look.contents() || (look.shadowOpacity() > 0 && turned) ||
                        (look.backgroundColor() && look.backgroundColor()->patternImage()) ||
                        drawsImages(model);
    const CGRect whole = group ? visited.box : paints ? own : CGRect::null();
    records_[&model] = {revision, own, visited.box, whole, parent, shadowGrow, frame_};
    return visited;
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
