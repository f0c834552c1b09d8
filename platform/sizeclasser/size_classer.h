#pragma once

#include <optional>

#include "platform/uikit/device/ui_trait_collection.h"

namespace platform {

// The share of the screen a trait collection's window has in split view, as bits: one of the three
// split shares, or none for the whole screen. Main thread.
class SizeClasser {
public:
    static constexpr int splitOneThird = UITraitCollection::kSplitOneThird;
    static constexpr int splitOneHalf = UITraitCollection::kSplitOneHalf;
    static constexpr int splitTwoThirds = UITraitCollection::kSplitTwoThirds;

    // Nothing without a trait collection, or for one that describes no interface at all (no idiom and
    // no size class).
    static std::optional<SizeClasser> initWithTraitCollection(const UITraitCollection* traitCollection);

    int rawValue() const { return bits_; }
    bool contains(int bits) const { return (bits_ & bits) == bits; }

private:
    explicit SizeClasser(int bits) : bits_(bits) {}

    int bits_;
};

}  // namespace platform
