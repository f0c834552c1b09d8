#include "platform/coregraphics/cg_gradient.h"

#include <cairo.h>

namespace platform {

std::shared_ptr<CGGradient> CGGradient::withColors(const std::vector<CGColorRef>& colors,
                                                   const std::vector<CGFloat>& locations) {
    if (colors.empty() || (!locations.empty() && locations.size() != colors.size())) return nullptr;
    std::vector<Stop> stops;
    for (std::size_t i = 0; i < colors.size(); ++i) {
        if (!colors[i] || colors[i]->colorSpace() == CGColor::ColorSpace::pattern) return nullptr;
        const CGFloat evenly = colors.size() == 1 ? 0 : CGFloat(i) / CGFloat(colors.size() - 1);
        stops.push_back({locations.empty() ? evenly : locations[i], colors[i]});
    }
    return std::shared_ptr<CGGradient>(new CGGradient(std::move(stops)));
}

void CGContextDrawLinearGradient(CGContext& context, const CGGradient& gradient, CGPoint start, CGPoint end) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    for (const auto& stop : gradient.stops()) {
        double r = 0, g = 0, b = 0, a = 0;
        stop.color->getRed(&r, &g, &b, &a);
        cairo_pattern_add_color_stop_rgba(pattern, stop.location, r, g, b, a);
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_t* cairo = context.cairo();
    cairo_save(cairo);
    cairo_set_source(cairo, pattern);
    cairo_paint(cairo);
    cairo_restore(cairo);
    cairo_pattern_destroy(pattern);
}

}  // namespace platform
