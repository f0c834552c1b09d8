#include "platform/graphics/shadow_blur.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/uikit/cg_context.h"

namespace platform {

namespace {

constexpr std::size_t kCacheLimit = 128;

// How far a blur of `radius` user units spreads a shape.
CGFloat reach(CGFloat radius) {
    return std::ceil(radius * 1.5) + 2;
}

// One box pass along rows (step 1) or columns (step stride) of an 8-bit image.
void boxPass(std::uint8_t* data, int lines, int length, int lineStep, int step, int r,
             std::vector<int>& buffer) {
    if (r <= 0) return;
    const int width = 2 * r + 1;
    buffer.resize(length);
    for (int line = 0; line < lines; ++line) {
        std::uint8_t* p = data + line * lineStep;
        for (int i = 0; i < length; ++i) buffer[i] = p[i * step];
        int sum = 0;
        for (int i = 0; i <= r && i < length; ++i) sum += buffer[i];
        for (int i = 0; i < length; ++i) {
            p[i * step] = static_cast<std::uint8_t>((sum + width / 2) / width);
            const int add = i + r + 1, drop = i - r;
            if (add < length) sum += buffer[add];
            if (drop >= 0) sum -= buffer[drop];
        }
    }
}

}  // namespace

ShadowBlur& ShadowBlur::shared() {
    static ShadowBlur blur;
    return blur;
}

ShadowBlur::~ShadowBlur() {
    clear();
}

void ShadowBlur::clear() {
    for (auto& [key, mask] : cache_) cairo_surface_destroy(mask.surface);
    cache_.clear();
}

std::vector<int> ShadowBlur::boxWidths(double sigma) {
    constexpr int n = 3;
    if (sigma <= 0) return {1, 1, 1};
    const double ideal = std::sqrt(12 * sigma * sigma / n + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    const int upper = lower + 2;
    const double m = (12 * sigma * sigma - n * lower * lower - 4 * n * lower - 3 * n) / (-4.0 * lower - 4);
    const int withLower = static_cast<int>(std::lround(m));
    std::vector<int> widths;
    for (int i = 0; i < n; ++i) widths.push_back(i < withLower ? lower : upper);
    return widths;
}

void ShadowBlur::blur(cairo_surface_t* a8, double radiusPixels) {
    cairo_surface_flush(a8);
    std::uint8_t* data = cairo_image_surface_get_data(a8);
    const int w = cairo_image_surface_get_width(a8);
    const int h = cairo_image_surface_get_height(a8);
    const int stride = cairo_image_surface_get_stride(a8);
    std::vector<int> buffer;
    for (int width : boxWidths(radiusPixels / 2)) {
        const int r = (width - 1) / 2;
        boxPass(data, h, w, stride, 1, r, buffer);
        boxPass(data, w, h, 1, stride, r, buffer);
    }
    cairo_surface_mark_dirty(a8);
}

ShadowBlur::Mask ShadowBlur::emptyMask(const CGRect& rect, CGFloat radius, CGFloat scale) {
    const CGFloat grow = reach(radius);
    const CGRect area = rect.standardized().insetBy(-grow, -grow);
    const int w = std::max(1, static_cast<int>(std::ceil(area.size.width * scale)));
    const int h = std::max(1, static_cast<int>(std::ceil(area.size.height * scale)));
    Mask mask;
    mask.surface = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_surface_set_device_scale(mask.surface, scale, scale);
    mask.origin = area.origin;
    return mask;
}

const ShadowBlur::Mask& ShadowBlur::maskForPath(const CGPath& path, CGFloat radius, CGFloat scale) {
    std::string key(reinterpret_cast<const char*>(&radius), sizeof radius);
    key.append(reinterpret_cast<const char*>(&scale), sizeof scale);
    for (const auto& e : path.elements()) {
        const double values[7] = {double(e.type), e.points[0].x, e.points[0].y, e.points[1].x,
                                  e.points[1].y,  e.points[2].x, e.points[2].y};
        key.append(reinterpret_cast<const char*>(values), sizeof values);
    }
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;
    if (cache_.size() >= kCacheLimit) clear();

    Mask mask = emptyMask(path.boundingBox(), radius, scale);
    cairo_t* cr = cairo_create(mask.surface);
    cairo_translate(cr, -mask.origin.x, -mask.origin.y);
    CGContext::appendPath(cr, path);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_fill(cr);
    cairo_destroy(cr);
    blur(mask.surface, radius * scale);
    return cache_.emplace(std::move(key), mask).first->second;
}

}  // namespace platform
