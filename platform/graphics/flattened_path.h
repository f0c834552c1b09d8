#pragma once

#include <functional>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/coregraphics/cg_path.h"

typedef struct _cairo cairo_t;

namespace platform {

// A path as straight segments, measured along its length, for drawing or bounding the part of its
// outline between two fractions of that length (a shape layer's strokeStart and strokeEnd).
class FlattenedPath {
public:
    // Flattened as finely as the context's transform asks; the points stay in the context's user space.
    FlattenedPath(cairo_t* cairo, const CGPath& path);

    // Appends the part from fraction `start` to `end` of the length to the context's path.
    void appendPart(cairo_t* cairo, double start, double end) const;
    // The box of the points of that part; null when it is empty.
    CGRect boxOfPart(double start, double end) const;

private:
    struct Segment {
        CGPoint a, b;
        bool opensSubpath;
    };
    // Calls `piece` for each stretch of the part, in order, saying whether it starts a new line.
    void forEachPiece(double start, double end, const std::function<void(CGPoint, CGPoint, bool)>& piece) const;

    std::vector<Segment> segments_;
    double total_ = 0;
};

}  // namespace platform
