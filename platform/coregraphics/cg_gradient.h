#pragma once

#include <memory>
#include <vector>

#include "platform/coregraphics/cg_color.h"
#include "platform/coregraphics/cg_context.h"
#include "platform/coregraphics/cg_geometry.h"

namespace platform {

// Colours at locations from 0 to 1 along a line, blended in RGB between them.
class CGGradient {
public:
    struct Stop {
        CGFloat location;
        CGColorRef color;
    };

    // Colours spread evenly when `locations` is empty; none when the two lists differ in length or a
    // colour is missing or a pattern.
    static std::shared_ptr<CGGradient> withColors(const std::vector<CGColorRef>& colors,
                                                  const std::vector<CGFloat>& locations = {});

    const std::vector<Stop>& stops() const { return stops_; }

private:
    explicit CGGradient(std::vector<Stop> stops) : stops_(std::move(stops)) {}
    std::vector<Stop> stops_;
};

// Paints the context's clip with the gradient running from `start` to `end`; beyond them the end colours
// continue.
void CGContextDrawLinearGradient(CGContext& context, const CGGradient& gradient, CGPoint start, CGPoint end);

}  // namespace platform
