#include "platform/sizeclasser/size_classer.h"

namespace platform {

std::optional<SizeClasser> SizeClasser::initWithTraitCollection(const UITraitCollection* traitCollection) {
    if (!traitCollection) return std::nullopt;
    const UITraitCollection& traits = *traitCollection;
    if (traits.userInterfaceIdiom == UIUserInterfaceIdiom::unspecified &&
        traits.horizontalSizeClass == UIUserInterfaceSizeClass::unspecified &&
        traits.verticalSizeClass == UIUserInterfaceSizeClass::unspecified)
        return std::nullopt;
    return SizeClasser(traits.splitBits());
}

}  // namespace platform
