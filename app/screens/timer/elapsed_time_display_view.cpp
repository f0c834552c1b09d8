#include "app/screens/timer/elapsed_time_display_view.h"

#include "app/screens/timer/shared_fonts.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

using namespace platform;

void ElapsedTimeDisplayView::setWidthConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
    widthConstraint_ = constraint;
    fitWidthToTitle();
}

void ElapsedTimeDisplayView::subviewLayoutInputsChanged(UIView* subview) {
    UIView::subviewLayoutInputsChanged(subview);
    const auto button = timerControlButton();
    if (button && subview == button.get()) fitWidthToTitle();
}

void ElapsedTimeDisplayView::fitWidthToTitle() {
    const auto constraint = widthConstraint();
    if (!constraint) return;
    const auto button = timerControlButton();
    const auto title = button ? button->titleLabel() : nullptr;
    constraint->setConstant(title ? title->intrinsicContentSize().width : 0);
}

void ElapsedTimeDisplayView::setTimerControlButton(const std::shared_ptr<UIButton>& button) {
    timerControlButton_ = button;
    if (!button) return;
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    if (const auto& title = button->titleLabel()) {
        title->setAdjustsFontSizeToFitWidth(true);
        title->setMinimumScaleFactor(0.3);
    }
}

void ElapsedTimeDisplayView::setStaticsticsHolder(const std::shared_ptr<UIStackView>& holder) {
    staticsticsHolder_ = holder;
    if (!holder) return;
    for (const auto& subview : holder->subviews()) {
        if (auto label = std::dynamic_pointer_cast<UILabel>(subview)) {
            label->setFont(elapsedTimeLabelFont());
            label->setTextColor(UIColor::whiteColor());
        }
    }
    holder->setHidden(true);
}

void ElapsedTimeDisplayView::toggleTimer() {
    if (auto settable = delegate()) settable->toggleTimer(currentTimerStatus_);
}

void ElapsedTimeDisplayView::updateSessionCounts(const std::string& round, const std::string& roundLimit,
                                                 const std::string& goal, const std::string& goalLimit) {
    if (auto label = roundDisplayLabel()) label->setText("Round " + round + "/" + roundLimit);
    if (auto label = goalDisplayLabel()) label->setText("Goal " + goal + "/" + goalLimit);
}

void ElapsedTimeDisplayView::updateForRotation(UIDeviceOrientation orientation, Split split) {
    splitStatus_ = split;
    const bool phoneLyingSideways = UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiom::phone &&
                                    UIDeviceOrientationIsLandscape(orientation);
    if (auto holder = staticsticsHolder()) holder->setHidden(!phoneLyingSideways);
}

}  // namespace quorvel
