#pragma once

#include <cstdint>
#include <string>

namespace platform {

using UIAccessibilityTraits = std::uint64_t;
inline constexpr UIAccessibilityTraits UIAccessibilityTraitNone = 0;
inline constexpr UIAccessibilityTraits UIAccessibilityTraitButton = 1 << 0;

// What assistive technology would read of an element: whether it is one, its label, hint and traits.
// Every view carries it. No screen reader runs here, so the values are stored for the app to set and
// for tests to read.
class UIAccessibility {
public:
    virtual ~UIAccessibility() = default;

    void setIsAccessibilityElement(bool element) { accessibilityElement_ = element; }
    const std::string& accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(std::string label) { accessibilityLabel_ = std::move(label); }
    const std::string& accessibilityHint() const { return accessibilityHint_; }
    void setAccessibilityHint(std::string hint) { accessibilityHint_ = std::move(hint); }
    UIAccessibilityTraits accessibilityTraits() const { return accessibilityTraits_; }
    void setAccessibilityTraits(UIAccessibilityTraits traits) { accessibilityTraits_ = traits; }

private:
    bool accessibilityElement_ = false;
    std::string accessibilityLabel_;
    std::string accessibilityHint_;
    UIAccessibilityTraits accessibilityTraits_ = UIAccessibilityTraitNone;
};

}  // namespace platform
