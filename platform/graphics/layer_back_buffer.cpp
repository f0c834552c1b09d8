#include "platform/graphics/layer_back_buffer.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "platform/graphics/layer_renderer.h"
#include "platform/quartzcore/ca_shape_layer.h"

namespace platform {

LayerBackBuffer::LayerBackBuffer(int width, int height, const CGAffineTransform& pointsToPixels,
                                 Background background, const CGRect& treeArea)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 1), std::max(height, 1))),
      pixels_(0, 0, std::max(width, 1), std::max(height, 1)),
      treeArea_(treeArea.isNull() ? pixels_ : treeArea.intersection(pixels_)),
      pointsToPixels_(pointsToPixels),
      background_(std::move(background)) {
    damage_.setLimit(treeArea_);
}

LayerBackBuffer::~LayerBackBuffer() {
    cairo_surface_destroy(surface_);
    if (scratch_) cairo_surface_destroy(scratch_);
}

CGAffineTransform LayerBackBuffer::toPixels(const Placement& placement) const {
    return CGAffineTransform::makeTranslation(placement.origin.x, placement.origin.y).concat(pointsToPixels_);
}

void LayerBackBuffer::collectDamage(const std::vector<Placement>& trees, const PresentedTree& presented) {
    damage_.clear();
    if (trees != placed_) {
        placed_ = trees;
        trackers_.assign(trees.size(), DamageTracker());
        fullRedraw_ = true;
    }
    const bool unchanged = CALayer::lastRevision() == drawnRevision_ &&
                           CAShapeLayer::lastStrokeRevision() == drawnStrokeRevision_ && !animating_;
    if (unchanged && !fullRedraw_) return;
    animating_ = false;
    for (std::size_t i = 0; i < trees.size(); ++i) {
        trackers_[i].collect(*trees[i].root, toPixels(trees[i]), presented, damage_);
        animating_ = animating_ || trackers_[i].sawAnimation();
    }
    if (fullRedraw_) {
        damage_.clear();
        damage_.setLimit(pixels_);
        damage_.add(pixels_);
        damage_.setLimit(treeArea_);
        fullRedraw_ = false;
    }
}

const DamageRegion& LayerBackBuffer::draw(const std::vector<Placement>& trees, double mediaTime) {
    const PresentedTree presented(mediaTime);
    collectDamage(trees, presented);
    drawnRevision_ = CALayer::lastRevision();
    drawnStrokeRevision_ = CAShapeLayer::lastStrokeRevision();
    cairo_surface_flush(surface_);
    for (const CGRect& r : damage_.rects()) repaint(r, trees, presented);
    cairo_surface_mark_dirty(surface_);
    return damage_;
}

void LayerBackBuffer::repaint(const CGRect& rect, const std::vector<Placement>& trees,
                              const PresentedTree& presented) {
    // The whole picture is drawn in place. A part is drawn into a scratch picture, of which only the
    // damaged pixels are kept, because a repaint must give the very pixels a full redraw gives: Cairo
    // rounds the edges of shapes cut by a clip a little differently (hence a margin), rasterises a
    // pixel row of a shape anew all along it when a clip's side cuts the shape in that row (hence whole
    // rows, cut only between them), and places the filters of images and groups by where their drawing
    // is cut and where it lies on its surface (hence those meeting the damage drawn whole, on a surface
    // the picture's size).
    if (rect == pixels_) return drawTrees(surface_, pixels_, rect, trees, presented);
    CGRect padded = rect.insetBy(-kMargin, -kMargin);
    for (const DamageTracker& tracker : trackers_) padded = tracker.wholeDrawingsMeeting(rect).unionWith(padded);
    padded = CGRect(pixels_.minX(), padded.minY(), pixels_.size.width, padded.size.height)
                 .integral()
                 .intersection(pixels_);
    if (!scratch_) {
        scratch_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(pixels_.size.width),
                                              int(pixels_.size.height));
    }
    drawTrees(scratch_, padded, rect, trees, presented);
    const int stride = cairo_image_surface_get_stride(surface_);
    const std::ptrdiff_t first = std::ptrdiff_t(rect.origin.y) * stride + std::ptrdiff_t(rect.origin.x) * 4;
    for (int row = 0; row < int(rect.size.height); ++row) {
        std::memcpy(cairo_image_surface_get_data(surface_) + first + std::ptrdiff_t(row) * stride,
                    cairo_image_surface_get_data(scratch_) + first + std::ptrdiff_t(row) * stride,
                    std::size_t(rect.size.width) * 4);
    }
}

void LayerBackBuffer::drawTrees(cairo_surface_t* target, const CGRect& clip, const CGRect& damaged,
                                const std::vector<Placement>& trees, const PresentedTree& presented) {
    cairo_t* cr = cairo_create(target);
    cairo_rectangle(cr, clip.origin.x, clip.origin.y, clip.size.width, clip.size.height);
    cairo_clip(cr);
    background_(cr);
    if (!treeArea_.isEmpty()) {
        cairo_rectangle(cr, treeArea_.origin.x, treeArea_.origin.y, treeArea_.size.width,
                        treeArea_.size.height);
        cairo_clip(cr);
        DamageRegion only;
        only.add(damaged);
        for (std::size_t i = 0; i < trees.size(); ++i) {
            const CGAffineTransform t = toPixels(trees[i]);
            const cairo_matrix_t m{t.a, t.b, t.c, t.d, t.tx, t.ty};
            cairo_set_matrix(cr, &m);
            LayerRenderer::renderDamage(*trees[i].root, cr, presented, trackers_[i], only);
        }
    }
    cairo_destroy(cr);
    cairo_surface_flush(target);
}

}  // namespace platform
