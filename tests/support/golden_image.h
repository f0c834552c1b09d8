#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/uikit/drawing/ui_image.h"

namespace quorvel::testing {

// The share of pixels whose colour differs by more than a little: text may be anti-aliased a shade
// differently on another machine, the drawing may not. Pixels inside `ignored` (in pixels), such as
// text that shows today's date, are left out.
inline double differingShare(const platform::UIImage& a, const platform::UIImage& b,
                             const std::vector<platform::CGRect>& ignored = {}) {
    if (a.pixelWidth() != b.pixelWidth() || a.pixelHeight() != b.pixelHeight()) return 1;
    long differing = 0;
    for (int y = 0; y < a.pixelHeight(); ++y) {
        for (int x = 0; x < a.pixelWidth(); ++x) {
            const platform::CGPoint at{x + 0.5, y + 0.5};
            if (std::any_of(ignored.begin(), ignored.end(), [&](const platform::CGRect& r) { return r.contains(at); }))
                continue;
            const auto p = a.pixelAt(x, y), q = b.pixelAt(x, y);
            if (std::abs(p.r - q.r) > 24 || std::abs(p.g - q.g) > 24 || std::abs(p.b - q.b) > 24) ++differing;
        }
    }
    return double(differing) / (double(a.pixelWidth()) * a.pixelHeight());
}

// How far a rendered PNG is from the golden image of the same name; QUORVEL_UPDATE_GOLDENS=1 copies the
// rendered image over the golden one first. 1 when either cannot be read.
inline double goldenDifference(const std::filesystem::path& rendered, const std::filesystem::path& golden,
                               const std::vector<platform::CGRect>& ignored = {}) {
    if (std::getenv("QUORVEL_UPDATE_GOLDENS")) {
        std::filesystem::copy_file(rendered, golden, std::filesystem::copy_options::overwrite_existing);
    }
    const auto expected = platform::UIImage::imageWithContentsOfFile(golden);
    const auto image = platform::UIImage::imageWithContentsOfFile(rendered);
    return expected && image ? differingShare(*image, *expected, ignored) : 1;
}

}  // namespace quorvel::testing
