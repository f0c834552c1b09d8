#include "platform/uikit/drawing/ui_image_view.h"

#include <cairo.h>

#include <algorithm>

#include "platform/uikit/drawing/ui_graphics.h"

namespace platform {

UIImageView::UIImageView() : UIImageView(CGRect()) {}

UIImageView::UIImageView(const CGRect& frame) : UIView(frame) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

UIImageView::UIImageView(std::shared_ptr<UIImage> image)
    : UIImageView(CGRect({0, 0}, image ? image->size() : CGSize())) {
    image_ = std::move(image);
}

UIImageView::UIImageView(std::shared_ptr<UIImage> image, std::shared_ptr<UIImage> highlightedImage)
    : UIImageView(std::move(image)) {
    highlightedImage_ = std::move(highlightedImage);
}

void UIImageView::setImage(std::shared_ptr<UIImage> image) {
    if (image == image_) return;
    image_ = std::move(image);
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UIImageView::setHighlightedImage(std::shared_ptr<UIImage> image) {
    highlightedImage_ = std::move(image);
    setNeedsDisplay();
}

void UIImageView::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    setNeedsDisplay();
}

const std::shared_ptr<UIImage>& UIImageView::shownImage() const {
    return highlighted_ && highlightedImage_ ? highlightedImage_ : image_;
}

CGSize UIImageView::sizeThatFits(CGSize size) const {
    (void)size;
    return image_ ? image_->size() : CGSize();
}

CGSize UIImageView::intrinsicContentSize() const {
    if (!image_) return {UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric};
    return image_->size();
}

CGRect UIImageView::placeImage(CGSize s, const CGRect& b, UIViewContentMode mode) {
    const CGFloat w = s.width, h = s.height;
    const CGFloat left = b.minX(), top = b.minY(), right = b.maxX() - w, bottom = b.maxY() - h;
    const CGFloat cx = b.midX() - w / 2, cy = b.midY() - h / 2;
    switch (mode) {
        case UIViewContentMode::scaleAspectFit:
        case UIViewContentMode::scaleAspectFill: {
            if (w <= 0 || h <= 0) return b;
            const CGFloat sx = b.size.width / w, sy = b.size.height / h;
            const CGFloat k = mode == UIViewContentMode::scaleAspectFit ? std::min(sx, sy) : std::max(sx, sy);
            return CGRectMake(b.midX() - w * k / 2, b.midY() - h * k / 2, w * k, h * k);
        }
        case UIViewContentMode::center:
            return CGRectMake(cx, cy, w, h);
        case UIViewContentMode::top:
            return CGRectMake(cx, top, w, h);
        case UIViewContentMode::bottom:
            return CGRectMake(cx, bottom, w, h);
        case UIViewContentMode::left:
            return CGRectMake(left, cy, w, h);
        case UIViewContentMode::right:
            return CGRectMake(right, cy, w, h);
        case UIViewContentMode::topLeft:
            return CGRectMake(left, top, w, h);
        case UIViewContentMode::topRight:
            return CGRectMake(right, top, w, h);
        case UIViewContentMode::bottomLeft:
            return CGRectMake(left, bottom, w, h);
        case UIViewContentMode::bottomRight:
            return CGRectMake(right, bottom, w, h);
        default:
            return b;
    }
}

void UIImageView::drawRect(const CGRect& rect) {
    (void)rect;
    const auto& image = shownImage();
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!image || !context) return;
    cairo_t* cr = context->cairo();
    cairo_save(cr);
    if (clipsToBounds() || contentMode() == UIViewContentMode::scaleAspectFill) {
        context->clipToRect(bounds());
    }
    const CGRect placed = placeImage(image->size(), bounds(), contentMode());
    if (image->renderingMode() == UIImageRenderingMode::alwaysTemplate) {
        // The image's alpha, painted in the tint colour.
        cairo_push_group(cr);
        image->paint(cr, placed);
        cairo_pattern_t* mask = cairo_pop_group(cr);
        if (const auto tint = tintColor()) CGContext::setSourceColor(cr, *tint);
        cairo_mask(cr, mask);
        cairo_pattern_destroy(mask);
    } else {
        image->paint(cr, placed);
    }
    cairo_restore(cr);
}

}  // namespace platform
