#include "platform/graphics/flattened_path.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "platform/coregraphics/cg_context.h"

namespace platform {

FlattenedPath::FlattenedPath(cairo_t* cr, const CGPath& path) {
    cairo_new_path(cr);
    CGContext::appendPath(cr, path);
    cairo_path_t* flat = cairo_copy_path_flat(cr);
    cairo_new_path(cr);
    CGPoint current, first;
    bool opens = true;
    for (int i = 0; i < flat->num_data; i += flat->data[i].header.length) {
        const cairo_path_data_t* d = &flat->data[i];
        switch (d->header.type) {
            case CAIRO_PATH_MOVE_TO:
                current = first = {d[1].point.x, d[1].point.y};
                opens = true;
                break;
            case CAIRO_PATH_LINE_TO: {
                const CGPoint p{d[1].point.x, d[1].point.y};
                segments_.push_back({current, p, opens});
                opens = false;
                current = p;
                break;
            }
            case CAIRO_PATH_CLOSE_PATH:
                if (!(current == first)) segments_.push_back({current, first, opens});
                opens = false;
                current = first;
                break;
            default:
                break;
        }
    }
    cairo_path_destroy(flat);
    for (const auto& s : segments_) total_ += std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
}

void FlattenedPath::forEachPiece(double start, double end,
                                 const std::function<void(CGPoint, CGPoint, bool)>& piece) const {
    const double from = start * total_, to = end * total_;
    double position = 0;
    bool drawing = false;
    for (const auto& s : segments_) {
        const double length = std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
        if (s.opensSubpath) drawing = false;
        if (length > 0 && position + length >= from && position <= to) {
            const double t0 = std::max(0.0, (from - position) / length);
            const double t1 = std::min(1.0, (to - position) / length);
            auto at = [&](double t) {
                return CGPoint{s.a.x + (s.b.x - s.a.x) * t, s.a.y + (s.b.y - s.a.y) * t};
            };
            piece(at(t0), at(t1), !drawing);
            drawing = true;
        }
        position += length;
    }
}

void FlattenedPath::appendPart(cairo_t* cr, double start, double end) const {
    forEachPiece(start, end, [cr](CGPoint from, CGPoint to, bool starts) {
        if (starts) cairo_move_to(cr, from.x, from.y);
        cairo_line_to(cr, to.x, to.y);
    });
}

CGRect FlattenedPath::boxOfPart(double start, double end) const {
    CGRect box = CGRect::null();
    forEachPiece(start, end, [&box](CGPoint from, CGPoint to, bool) {
        box = box.unionWith(CGRect(from, CGSize{0, 0})).unionWith(CGRect(to, CGSize{0, 0}));
    });
    return box;
}

}  // namespace platform
