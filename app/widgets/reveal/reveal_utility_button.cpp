#include "app/widgets/reveal/reveal_utility_button.h"

#include <cmath>

namespace quorvel {

using namespace platform;

void RevealUtilityButton::setWantsCombinedLayout(bool combined) {
    wantsCombinedLayout_ = combined;
    setNeedsLayout();
}

void RevealUtilityButton::layoutSubviews() {
    UIButton::layoutSubviews();
    if (!wantsCombinedLayout_) return;
    const CGRect b = bounds();
    const CGFloat top = std::ceil((b.size.height - kImageBand - kTitleBand) / 2);
    imageView()->setFrame(CGRect(0, top, b.size.width, kImageBand));
    titleLabel()->setFrame(CGRect(0, top + kImageBand, b.size.width, kTitleBand));
}

}  // namespace quorvel
