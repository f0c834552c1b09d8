#include "app/screens/timer/progress_button.h"

#include "app/screens/timer/released_line.h"
#include "app/widgets/icons/icon_font.h"
#include "app/core/color_image.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr const char* kPlayIcon = "\uF215";
constexpr const char* kPauseIcon = "\uF210";
constexpr double kIconSize = 32;

const std::shared_ptr<UIImage>& restingBackground() {
    static const auto image = ColorImage::imageWithColor(UIColor::colorWithWhite(250.0 / 255, 0.18));
    return image;
}

const std::shared_ptr<UIImage>& pressedBackground() {
    static const auto image = ColorImage::imageWithColor(UIColor::colorWithWhite(0, 0.8));
    return image;
}

}  // namespace

ProgressButton::~ProgressButton() {
    printReleased("ProgressButton");
}

ProgressButton::ProgressButton() {
    setUpProgressButton();
}

ProgressButton::ProgressButton(const CGRect& frame) : UIButton(frame) {
    setUpProgressButton();
}

void ProgressButton::setUpProgressButton() {
    // Set up again (for the designer) the button still taps once.
    removeTarget(this, UIControlEventTouchUpInside);
    addTarget(
        this, [this](UIControl&) { setTimerStatus(); }, UIControlEventTouchUpInside);
    setBackgroundImage(restingBackground(), UIControlStateNormal);
    setBackgroundImage(pressedBackground(), UIControlStateHighlighted);
    setImage(IconFont::imageWithIcon(kPlayIcon, kIconSize, UIColor::whiteColor()), UIControlStateNormal);
}

void ProgressButton::prepareForInterfaceBuilder() {
    setUpProgressButton();
    setNeedsDisplay();
}

void ProgressButton::layoutSubviews() {
    UIButton::layoutSubviews();
    layer()->setCornerRadius(bounds().size.width / 2);
    setClipsToBounds(true);
}

void ProgressButton::setBorderColor(std::shared_ptr<UIColor> color) {
    borderColor_ = std::move(color);
    layer()->setBorderColor(borderColor_ ? borderColor_->CGColor() : nullptr);
}

void ProgressButton::setBorderWidth(double width) {
    borderWidth_ = width;
    layer()->setBorderWidth(width);
}

void ProgressButton::setTimerStatus() {
    if (auto settable = delegate()) settable->toggleTimer(currentTimerStatus_);
}

void ProgressButton::updateTimerStatus(TimerStatus status) {
    currentTimerStatus_ = status;
    const char* icon = status == TimerStatus::Running ? kPauseIcon : kPlayIcon;
    setImage(IconFont::imageWithIcon(icon, kIconSize, UIColor::whiteColor()), UIControlStateNormal);
}

}  // namespace quorvel
