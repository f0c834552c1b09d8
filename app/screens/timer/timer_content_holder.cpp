#include "app/screens/timer/timer_content_holder.h"

#include "app/screens/timer/device_groups.h"
#include "platform/devicekit/device.h"
#include "platform/foundation/console.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/layout/ns_layout_anchor.h"

namespace quorvel {

using namespace platform;

TimerContentHolder::~TimerContentHolder() {
    Console::print("deinit -  " + className());
}

void TimerContentHolder::updateForRotation(UIDeviceOrientation orientation, Split split) {
    splitStatus_ = split;
    // A section taken out loses its height constraint with it.
    for (const auto& subview : std::vector(subviews())) subview->removeFromSuperview();
    const std::vector<std::shared_ptr<UIView>> sections =
        stackViews_.value_or(std::vector<std::shared_ptr<UIView>>{});
    for (const auto& section : sections) addArrangedSubview(section);
    if (const auto fractions = heightFractions(orientation, split)) {
        std::vector<std::shared_ptr<NSLayoutConstraint>> heights;
        for (size_t i = 0; i < sections.size(); ++i) {
            if (i < fractions->size()) {
                heights.push_back(sections[i]->heightAnchor().constraintEqualToAnchorMultiplier(
                    heightAnchor(), (*fractions)[i]));
            } else {
                sections[i]->removeFromSuperview();
            }
        }
        NSLayoutConstraint::activateConstraints(heights);
    }
    if (bottomConstraint_) bottomConstraint_->setConstant(0);
    layoutIfNeeded();
}

std::optional<std::vector<CGFloat>> TimerContentHolder::heightFractions(UIDeviceOrientation orientation,
                                                                        Split split) {
    const bool fullSize = split == Split::fullSize;
    // Standing, the interface idiom decides; lying sideways, the hardware family.
    if (!UIDeviceOrientationIsLandscape(orientation)) {
        if (UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiom::phone) return {{0.30, 0.10, 0.36, 0.24}};
        if (fullSize) return {{0.32, 0.13, 0.35, 0.20}};
        return {{0.32, 0.08, 0.36, 0.24}};
    }
    const Device device = Device::current();
    if (device.isPad()) {
        if (fullSize) return {{0.33, 0.15, 0.30, 0.22}};
        return {{0.30, 0.10, 0.36, 0.24}};
    }
    if (device.isPhone()) {
        if (DeviceGroups::currentIsNotchedPhone()) return {{0.61, 0.39}};
        return {{0.65, 0.35}};
    }
    return std::nullopt;
}

}  // namespace quorvel
