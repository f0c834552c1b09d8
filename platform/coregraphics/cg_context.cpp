#include "platform/coregraphics/cg_context.h"

#include <cairo.h>

#include "platform/coregraphics/cg_image.h"

namespace platform {

namespace {

cairo_operator_t cairoOperator(CGBlendMode mode) {
    switch (mode) {
        case CGBlendMode::multiply:
            return CAIRO_OPERATOR_MULTIPLY;
        case CGBlendMode::clear:
            return CAIRO_OPERATOR_CLEAR;
        case CGBlendMode::copy:
            return CAIRO_OPERATOR_SOURCE;
        case CGBlendMode::sourceIn:
            return CAIRO_OPERATOR_IN;
        case CGBlendMode::sourceOut:
            return CAIRO_OPERATOR_OUT;
        case CGBlendMode::sourceAtop:
            return CAIRO_OPERATOR_ATOP;
        case CGBlendMode::destinationOut:
            return CAIRO_OPERATOR_DEST_OUT;
        case CGBlendMode::normal:
            break;
    }
    return CAIRO_OPERATOR_OVER;
}

}  // namespace

CGContext::CGContext(cairo_t* cairo) : cairo_(cairo) {
    state_.fill = CGColorCreateGenericGray(0, 1);
    state_.stroke = state_.fill;
}

void CGContext::saveGState() {
    cairo_save(cairo_);
    saved_.push_back(state_);
}

void CGContext::restoreGState() {
    if (saved_.empty()) return;
    cairo_restore(cairo_);
    state_ = saved_.back();
    saved_.pop_back();
}

void CGContext::translateCTM(CGFloat tx, CGFloat ty) {
    cairo_translate(cairo_, tx, ty);
}

void CGContext::setFillColor(const CGColorRef& color) {
    state_.fill = color;
}
void CGContext::setStrokeColor(const CGColorRef& color) {
    state_.stroke = color;
}
void CGContext::setLineWidth(CGFloat width) {
    cairo_set_line_width(cairo_, width);
}
// Also Cairo's operator, so that text drawn straight through Cairo (Pango) blends the same way.
void CGContext::setBlendMode(CGBlendMode mode) {
    state_.blend = mode;
    cairo_set_operator(cairo_, cairoOperator(mode));
}
void CGContext::setAlpha(CGFloat alpha) {
    state_.alpha = alpha;
}

void CGContext::setSourceColor(cairo_t* cairo, const CGColor& color) {
    double r = 0, g = 0, b = 0, a = 0;
    color.getRed(&r, &g, &b, &a);
    cairo_set_source_rgba(cairo, r, g, b, a);
}

// Fills the current path. Cairo's IN and ATOP-like operators act on the whole clip, not just the shape,
// so the shape becomes the clip and the paint covers it.
void CGContext::paintWith(const CGColorRef& color) {
    cairo_save(cairo_);
    if (color) {
        setSourceColor(cairo_, *color);
    } else {
        cairo_set_source_rgba(cairo_, 0, 0, 0, 0);
    }
    cairo_set_operator(cairo_, cairoOperator(state_.blend));
    cairo_clip(cairo_);
    if (state_.alpha < 1) {
        cairo_paint_with_alpha(cairo_, state_.alpha);
    } else {
        cairo_paint(cairo_);
    }
    cairo_restore(cairo_);
}

void CGContext::fillRect(const CGRect& rect) {
    cairo_new_path(cairo_);
    cairo_rectangle(cairo_, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    paintWith(state_.fill);
}

void CGContext::clearRect(const CGRect& rect) {
    cairo_save(cairo_);
    cairo_new_path(cairo_);
    cairo_rectangle(cairo_, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_set_operator(cairo_, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cairo_);
    cairo_restore(cairo_);
}

void CGContext::fillEllipseInRect(const CGRect& rect) {
    CGPath path;
    path.addEllipseInRect(rect);
    appendPath(cairo_, path);
    paintWith(state_.fill);
}

void CGContext::addPath(const CGPath& path) {
    for (const auto& e : path.elements()) {
        const CGPoint* p = e.points;
        switch (e.type) {
            case CGPathElementType::moveToPoint:
                cairo_move_to(cairo_, p[0].x, p[0].y);
                break;
            case CGPathElementType::addLineToPoint:
                cairo_line_to(cairo_, p[0].x, p[0].y);
                break;
            case CGPathElementType::addQuadCurveToPoint: {
                double x0 = p[1].x, y0 = p[1].y;
                if (cairo_has_current_point(cairo_)) cairo_get_current_point(cairo_, &x0, &y0);
                cairo_curve_to(cairo_, x0 + 2.0 / 3 * (p[0].x - x0), y0 + 2.0 / 3 * (p[0].y - y0),
                               p[1].x + 2.0 / 3 * (p[0].x - p[1].x), p[1].y + 2.0 / 3 * (p[0].y - p[1].y),
                               p[1].x, p[1].y);
                break;
            }
            case CGPathElementType::addCurveToPoint:
                cairo_curve_to(cairo_, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
                break;
            case CGPathElementType::closeSubpath:
                cairo_close_path(cairo_);
                break;
        }
    }
}

void CGContext::appendPath(cairo_t* cairo, const CGPath& path) {
    cairo_new_path(cairo);
    CGContext(cairo).addPath(path);
}

void CGContext::fillPath(CGPathFillRule rule) {
    cairo_set_fill_rule(cairo_,
                        rule == CGPathFillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    paintWith(state_.fill);
    cairo_new_path(cairo_);
}

void CGContext::strokePath() {
    cairo_save(cairo_);
    if (state_.stroke) setSourceColor(cairo_, *state_.stroke);
    cairo_set_operator(cairo_, cairoOperator(state_.blend));
    if (state_.alpha < 1) {
        cairo_push_group(cairo_);
        cairo_stroke(cairo_);
        cairo_pop_group_to_source(cairo_);
        cairo_paint_with_alpha(cairo_, state_.alpha);
    } else {
        cairo_stroke(cairo_);
    }
    cairo_restore(cairo_);
}

void CGContext::clipToRect(const CGRect& rect) {
    cairo_new_path(cairo_);
    cairo_rectangle(cairo_, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_clip(cairo_);
}

void CGContext::drawImage(const CGRect& rect, const CGImage& image) {
    cairo_save(cairo_);
    cairo_set_operator(cairo_, cairoOperator(state_.blend));
    image.paint(cairo_, rect, state_.alpha);
    cairo_restore(cairo_);
}

}  // namespace platform
