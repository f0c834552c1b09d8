#include "platform/graphics/shadow_blur.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/coregraphics/cg_context.h"

namespace platform {

namespace {

constexpr std::size_t kCacheLimit = 128;
constexpr double kMaxMaskPixels = 8192;

constexpr CGFloat kCoarsestScale = 0.5;

// How far a blur of `radius` user units spreads a shape.
CGFloat reach(CGFloat radius) {
    return std::ceil(radius * 1.5) + 2;
}

// One box pass of half-width r from `src` to `dst` along rows (horizontal) or down columns, summing
// with running totals and dividing by a fixed-point reciprocal. Pixels outside the image count as 0.
void boxPass(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int stride, int r, bool horizontal) {
    const std::uint32_t inverse = (1u << 24) / (2 * r + 1);
    auto out = [inverse](std::uint32_t sum) {
        return static_cast<std::uint8_t>((sum * inverse + (1u << 23)) >> 24);
    };
    if (horizontal) {
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* in = src + y * stride;
            std::uint8_t* o = dst + y * stride;
            std::uint32_t sum = 0;
            for (int x = 0; x < std::min(r, w); ++x) sum += in[x];
            for (int x = 0; x < w; ++x) {
                if (x + r < w) sum += in[x + r];
                o[x] = out(sum);
                if (x - r >= 0) sum -= in[x - r];
            }
        }
        return;
    }
    // Down the columns a row at a time, keeping one running total per column: memory is read in order.
    std::vector<std::uint32_t> sums(w, 0);
    for (int y = 0; y < std::min(r, h); ++y) {
        for (int x = 0; x < w; ++x) sums[x] += src[y * stride + x];
    }
    for (int y = 0; y < h; ++y) {
        if (y + r < h) {
            const std::uint8_t* add = src + (y + r) * stride;
            for (int x = 0; x < w; ++x) sums[x] += add[x];
        }
        std::uint8_t* o = dst + y * stride;
        for (int x = 0; x < w; ++x) o[x] = out(sums[x]);
        if (y - r >= 0) {
            const std::uint8_t* drop = src + (y - r) * stride;
            for (int x = 0; x < w; ++x) sums[x] -= drop[x];
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
    drawn_.clear();
}

std::vector<int> ShadowBlur::boxWidths(double sigma) {
    constexpr int n = 3;
    if (!(sigma > 0)) return {1, 1, 1};
    // Wider than any mask (at most 8192 pixels) a blur is flat already, and much wider the sums below
    // would overflow an int.
    sigma = std::min(sigma, 1e4);
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
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(stride) * h);
    for (int width : boxWidths(radiusPixels / 2)) {
        const int r = (width - 1) / 2;
        if (r <= 0) continue;
        boxPass(data, scratch.data(), w, h, stride, r, true);
        boxPass(scratch.data(), data, w, h, stride, r, false);
    }
    cairo_surface_mark_dirty(a8);
}

CGFloat ShadowBlur::maskScale(CGFloat radius, CGFloat deviceScale) {
    // A soft edge looks the same from a coarser mask; a few pixels of blur per point are enough.
    if (radius <= 0) return deviceScale;
    return std::min(deviceScale, std::max<CGFloat>(kCoarsestScale, 6 / radius));
}

CGFloat ShadowBlur::spread(CGFloat radius) {
    // The mask ends on a whole coarse pixel past the blur's reach.
    return reach(radius) + 1 / kCoarsestScale;
}

ShadowBlur::Mask ShadowBlur::coarseMask(const CGRect& rect, CGFloat radius, CGFloat deviceScale) {
    const CGFloat scale = maskScale(radius, deviceScale);
    const CGFloat grow = reach(radius);
    const CGRect area = rect.standardized().insetBy(-grow, -grow);
    // The origin on the device's pixel grid, so the enlarged mask lands on whole pixels.
    const CGPoint origin{std::floor(area.origin.x * deviceScale) / deviceScale,
                         std::floor(area.origin.y * deviceScale) / deviceScale};
    // A shadow wider than any screen is cut to a size a mask can hold.
    auto pixels = [scale](CGFloat points) {
        const double p = std::ceil(points * scale);
        return p >= 1 ? static_cast<int>(std::min(p, kMaxMaskPixels)) : 1;
    };
    const int w = pixels(area.maxX() - origin.x), h = pixels(area.maxY() - origin.y);
    return {cairo_image_surface_create(CAIRO_FORMAT_A8, w, h), origin, scale};
}

ShadowBlur::Cache::iterator ShadowBlur::finish(std::string key, Mask coarse, CGFloat radius,
                                              CGFloat deviceScale) {
    if (cache_.size() >= kCacheLimit) clear();
    blur(coarse.surface, radius * coarse.scale);
    Mask mask = coarse;
    const double w = std::ceil(cairo_image_surface_get_width(coarse.surface) * deviceScale / coarse.scale);
    const double h = std::ceil(cairo_image_surface_get_height(coarse.surface) * deviceScale / coarse.scale);
    // Enlarged once when it fits; a huge mask stays coarse and is scaled as it is painted.
    if (coarse.scale != deviceScale && w <= kMaxMaskPixels && h <= kMaxMaskPixels) {
        mask.surface = cairo_image_surface_create(CAIRO_FORMAT_A8, static_cast<int>(w), static_cast<int>(h));
        mask.scale = deviceScale;
        cairo_t* cr = cairo_create(mask.surface);
        cairo_scale(cr, deviceScale / coarse.scale, deviceScale / coarse.scale);
        cairo_set_source_surface(cr, coarse.surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(coarse.surface);
    }
    return cache_.emplace(std::move(key), mask).first;
}

namespace {

void appendValues(std::string& key, std::initializer_list<double> values) {
    for (double v : values) key.append(reinterpret_cast<const char*>(&v), sizeof v);
}

}  // namespace

const ShadowBlur::Mask& ShadowBlur::maskForPath(const CGPath& path, CGFloat radius, CGFloat deviceScale) {
    std::string key = "p";
    appendValues(key, {radius, deviceScale});
    for (const auto& e : path.elements()) {
        appendValues(key, {double(e.type), e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y,
                           e.points[2].x, e.points[2].y});
    }
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;
    Mask coarse = coarseMask(path.boundingBox(), radius, deviceScale);
    cairo_t* cr = cairo_create(coarse.surface);
    cairo_scale(cr, coarse.scale, coarse.scale);
    cairo_translate(cr, -coarse.origin.x, -coarse.origin.y);
    CGContext::appendPath(cr, path);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_fill(cr);
    cairo_destroy(cr);
    return finish(std::move(key), coarse, radius, deviceScale)->second;
}

const ShadowBlur::Mask& ShadowBlur::maskForDrawing(const CGRect& area, CGFloat radius, CGFloat deviceScale,
                                                   const std::function<void(cairo_t*)>& draw, const void* owner,
                                                   std::uint64_t stamp) {
    const Drawn drawn{stamp, area, radius, deviceScale, cache_.end()};
    if (owner) {
        const auto memo = drawn_.find(owner);
        if (memo != drawn_.end() && memo->second.sameDrawing(drawn)) return memo->second.mask->second;
    }
    Mask coarse = coarseMask(area, radius, deviceScale);
    cairo_t* cr = cairo_create(coarse.surface);
    cairo_scale(cr, coarse.scale, coarse.scale);
    cairo_translate(cr, -coarse.origin.x, -coarse.origin.y);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(coarse.surface);
    // What was drawn is the key: the same pixels give the same shadow.
    std::string key = "d";
    appendValues(key, {radius, deviceScale, coarse.origin.x, coarse.origin.y,
                       double(cairo_image_surface_get_width(coarse.surface)),
                       double(cairo_image_surface_get_height(coarse.surface))});
    key.append(reinterpret_cast<const char*>(cairo_image_surface_get_data(coarse.surface)),
               static_cast<std::size_t>(cairo_image_surface_get_stride(coarse.surface)) *
                   cairo_image_surface_get_height(coarse.surface));
    auto it = cache_.find(key);
    if (it != cache_.end()) {
        cairo_surface_destroy(coarse.surface);
    } else {
        it = finish(std::move(key), coarse, radius, deviceScale);
    }
    if (owner) {
        if (drawn_.size() >= 4 * kCacheLimit) drawn_.clear();
        drawn_[owner] = {stamp, area, radius, deviceScale, it};
    }
    return it->second;
}

void ShadowBlur::paint(cairo_t* cr, const Mask& mask, CGSize offset) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    const double ux = mask.origin.x + offset.width, uy = mask.origin.y + offset.height;
    if (m.xy == 0 && m.yx == 0 && std::abs(m.xx - mask.scale) < 1e-9 && std::abs(m.yy - mask.scale) < 1e-9) {
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_mask_surface(cr, mask.surface, std::round(m.xx * ux + m.x0), std::round(m.yy * uy + m.y0));
        cairo_restore(cr);
        return;
    }
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(mask.surface);
    cairo_matrix_t toMask;
    cairo_matrix_init_scale(&toMask, mask.scale, mask.scale);
    cairo_matrix_translate(&toMask, -ux, -uy);
    cairo_pattern_set_matrix(pattern, &toMask);
    cairo_mask(cr, pattern);
    cairo_pattern_destroy(pattern);
}

}  // namespace platform
