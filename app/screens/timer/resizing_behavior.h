#pragma once

#include <optional>

#include "platform/coregraphics/cg_geometry.h"

namespace quorvel {

// How one rectangle is fitted into another: scaled to fit inside, scaled to cover, stretched to the
// target, or kept at its size; the result is centred on the target.
class ResizingBehavior {
public:
    enum Case : int { aspectFit = 0, aspectFill = 1, stretch = 2, center = 3 };

    constexpr ResizingBehavior(Case value) : value_(value) {}
    // None for a raw value outside 0…3.
    static std::optional<ResizingBehavior> initWithRawValue(int rawValue);

    constexpr int rawValue() const { return value_; }
    constexpr bool operator==(const ResizingBehavior&) const = default;

    // `rect` scaled as the behaviour says and centred on `target`; unchanged when it equals the target or
    // the target is the zero rectangle. A side of `rect` with no length scales by 1.
    platform::CGRect apply(const platform::CGRect& rect, const platform::CGRect& target) const;

private:
    Case value_;
};

}  // namespace quorvel
