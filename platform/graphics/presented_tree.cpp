#include "platform/graphics/presented_tree.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "platform/graphics/layer_renderer.h"
#include "platform/graphics/shadow_blur.h"
#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

PresentedTree::Shown PresentedTree::shown(const CALayer& model) const {
    if (!model.hasAnimations()) return {&model, nullptr};
    auto& copy = presented_[&model];
    if (!copy) copy = model.presentationLayer(time_);
    return {copy.get(), copy};
}

std::shared_ptr<UIView> PresentedTree::drawingView(const CALayer& model) {
    auto view = UIView::viewForLayer(model);
    if (const UIView* raw = view.get(); raw && typeid(*raw) == typeid(UIView)) return nullptr;
    return view;
}

bool PresentedTree::shadowsDrawing(const CALayer& model, const CALayer& look) {
    if (look.shadowPath()) return false;
    return !model.sublayers().empty() || dynamic_cast<const CAShapeLayer*>(&look) ||
           drawingView(model);
}

namespace {

// The bounds, and the outline of a shape layer's stroke.
CGRect drawnBox(const CALayer& look) {
    CGRect box = look.bounds();
    if (const auto* shape = dynamic_cast<const CAShapeLayer*>(&look); shape && shape->path()) {
        const CGFloat w = shape->lineWidth();
        box = box.unionWith(shape->path()->boundingBox().insetBy(-w, -w));
    }
    return box;
}

// What a shadow cast by `base` covers, blur included.
CGRect shadowBox(const CALayer& look, const CGRect& base) {
    const CGFloat grow = ShadowBlur::spread(std::max<CGFloat>(0, look.shadowRadius()));
    return base.offsetBy(look.shadowOffset().width, look.shadowOffset().height).insetBy(-grow, -grow);
}

}  // namespace

CGRect PresentedTree::ownExtent(const CALayer& model, const CALayer& look) const {
    CGRect box = drawnBox(look);
    if (look.shadowOpacity() > 0) {
        const CGRect base = look.shadowPath()               ? look.shadowPath()->boundingBox()
                            : shadowsDrawing(model, look) ? extent(model, look)
                                                            : look.bounds();
        box = box.unionWith(shadowBox(look, base));
    }
    return box.insetBy(-1, -1);
}

CGRect PresentedTree::extent(const CALayer& model, const CALayer& look) const {
    CGRect box = drawnBox(look);
    if (look.shadowOpacity() > 0)
        box = box.unionWith(shadowBox(look, look.shadowPath() ? look.shadowPath()->boundingBox() : look.bounds()));
    if (look.masksToBounds()) return box;
    for (const auto& sub : model.sublayers()) {
        const Shown s = shown(*sub);
        if (s.layer->isHidden() || s.layer->opacity() <= 0) continue;
        const auto t = LayerRenderer::projectedTransform(s.layer->transformIn(&look), s.layer->bounds());
        if (t) box = box.unionWith(t->apply(extent(*sub, *s.layer)));
    }
    return box.insetBy(-1, -1);
}

CGRect PresentedTree::groupExtent(const CALayer& model, const CALayer& look) const {
    const CGRect box = extent(model, look);
    const auto& mask = model.mask();
    if (!mask) return box;
    const Shown s = shown(*mask);
    const auto t = LayerRenderer::projectedTransform(s.layer->transformIn(nullptr), s.layer->bounds());
    return t ? box.unionWith(t->apply(extent(*mask, *s.layer))) : box;
}

}  // namespace platform
