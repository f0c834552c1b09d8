#include "app/screens/settings/volume_alert_view_controller.h"

#include <cstdio>
#include <mutex>

#include "platform/uikit/controllers/ui_presentation_controller.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/layout/ui_layout_guide.h"
#include "platform/uikit/nibs/ui_nib.h"
#include "platform/uikit/nibs/ui_nib_builder.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {
namespace {

using platform::UIColor;
using platform::UIView;

constexpr platform::CGFloat kContentHeight = 210;
constexpr platform::CGFloat kInset = 20;

std::shared_ptr<platform::NSLayoutConstraint> withPriority(std::shared_ptr<platform::NSLayoutConstraint> c,
                                                           float priority) {
    c->setPriority(priority);
    return c;
}

// The sheet's layout: a white card the width of the screen resting on its bottom edge (750) unless the
// top constraint (its top on the screen's bottom edge) outranks that; inside it the title, the value,
// the slider, a close button and Done.
void buildNib(platform::UINibBuilder& nib) {
    auto owner = std::dynamic_pointer_cast<VolumeAlertViewController>(nib.owner());
    auto root = nib.add(std::make_shared<UIView>(platform::CGRect(0, 0, 375, 667)));
    root->setBackgroundColor(UIColor::clearColor());
    auto content = nib.add(std::make_shared<UIView>());
    content->setBackgroundColor(UIColor::whiteColor());
    content->layer()->setCornerRadius(12);
    auto title = nib.add(std::make_shared<platform::UILabel>());
    title->setFont(platform::UIFont::boldSystemFontOfSize(17));
    title->setTextAlignment(platform::NSTextAlignment::center);
    auto subtitle = nib.add(std::make_shared<platform::UILabel>());
    subtitle->setFont(platform::UIFont::systemFontOfSize(28));
    subtitle->setTextAlignment(platform::NSTextAlignment::center);
    auto slider = nib.add(std::make_shared<platform::UISlider>());
    auto done = nib.add(platform::UIButton::buttonWithType(platform::UIButtonType::system));
    done->setTitle("Done", platform::UIControlStateNormal);
    auto close = nib.add(platform::UIButton::buttonWithType(platform::UIButtonType::system));
    close->setTitle("Cancel", platform::UIControlStateNormal);

    root->addSubview(content);
    for (const std::shared_ptr<UIView>& view : {std::static_pointer_cast<UIView>(title),
                                                std::static_pointer_cast<UIView>(subtitle),
                                                std::static_pointer_cast<UIView>(slider),
                                                std::static_pointer_cast<UIView>(done),
                                                std::static_pointer_cast<UIView>(close)}) {
        content->addSubview(view);
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
    }
    content->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto top = withPriority(content->topAnchor().constraintEqualToAnchor(root->bottomAnchor()),
                            VolumeAlertViewController::kContentOut);
    // The card runs from edge to edge; what is on it keeps clear of a landscape phone's sensor housing.
    const platform::UILayoutGuide safe = root->safeAreaLayoutGuide();
    // Its foot runs under a notched phone's home indicator; Done stands above it. (The inset of the
    // orientation it opens in: Done's title, centred in the button, stays clear after a turn as well.)
    const platform::CGFloat foot = platform::UIScreen::mainScreen().safeAreaInsets().bottom;
    platform::NSLayoutConstraint::activateConstraints({
        top,
        withPriority(content->bottomAnchor().constraintEqualToAnchor(root->bottomAnchor()), 750),
        content->leadingAnchor().constraintEqualToAnchor(root->leadingAnchor()),
        content->trailingAnchor().constraintEqualToAnchor(root->trailingAnchor()),
        content->heightAnchor().constraintEqualToConstant(kContentHeight + foot),
        title->topAnchor().constraintEqualToAnchor(content->topAnchor(), 22),
        title->leadingAnchor().constraintEqualToAnchor(safe.leadingAnchor(), kInset),
        title->trailingAnchor().constraintEqualToAnchor(safe.trailingAnchor(), -kInset),
        title->heightAnchor().constraintEqualToConstant(24),
        subtitle->topAnchor().constraintEqualToAnchor(title->bottomAnchor(), 8),
        subtitle->leadingAnchor().constraintEqualToAnchor(safe.leadingAnchor(), kInset),
        subtitle->trailingAnchor().constraintEqualToAnchor(safe.trailingAnchor(), -kInset),
        subtitle->heightAnchor().constraintEqualToConstant(36),
        slider->topAnchor().constraintEqualToAnchor(subtitle->bottomAnchor(), 12),
        slider->leadingAnchor().constraintEqualToAnchor(safe.leadingAnchor(), kInset),
        slider->trailingAnchor().constraintEqualToAnchor(safe.trailingAnchor(), -kInset),
        slider->heightAnchor().constraintEqualToConstant(31),
        done->bottomAnchor().constraintEqualToAnchor(content->bottomAnchor(), -18 - foot),
        done->centerXAnchor().constraintEqualToAnchor(content->centerXAnchor()),
        done->widthAnchor().constraintEqualToConstant(120),
        done->heightAnchor().constraintEqualToConstant(40),
        close->topAnchor().constraintEqualToAnchor(content->topAnchor(), 10),
        close->trailingAnchor().constraintEqualToAnchor(safe.trailingAnchor(), -10),
        close->widthAnchor().constraintEqualToConstant(70),
        close->heightAnchor().constraintEqualToConstant(30),
    });

    nib.setOwnerView(root);
    if (!owner) return;
    nib.connectOwner([=] {
        owner->setTitleLabel(title);
        owner->setSubtitleLabel(subtitle);
        owner->setDoneButton(done);
        owner->setVolumeSlider(slider);
        owner->setContentViewTopConstraint(top);
        slider->addTarget(owner, &VolumeAlertViewController::onValueChanged, platform::UIControlEventValueChanged);
        done->addTarget(owner, &VolumeAlertViewController::onDone, platform::UIControlEventTouchUpInside);
        close->addTarget(owner, &VolumeAlertViewController::onClose, platform::UIControlEventTouchUpInside);
    });
}

}  // namespace

std::shared_ptr<VolumeAlertViewController> VolumeAlertViewController::loadFromNib() {
    static std::once_flag registered;
    std::call_once(registered, [] { platform::UINib::registerNib(kNibName, buildNib); });
    return std::make_shared<VolumeAlertViewController>();
}

VolumeAlertViewController::VolumeAlertViewController() : UIViewController(kNibName) {}

std::string VolumeAlertViewController::valueText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.01f", static_cast<double>(value * 10));
    return text;
}

void VolumeAlertViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    refreshView();
    if (contentViewTopConstraint_) contentViewTopConstraint_->setPriority(kContentOut);
}

void VolumeAlertViewController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    animateIn();
}

void VolumeAlertViewController::sliderValueChanged(const platform::UISlider& slider) {
    value_ = slider.value();
    if (subtitleLabel_) subtitleLabel_->setText(valueText(value_));
}

void VolumeAlertViewController::show(platform::UIViewController& presenter, std::optional<std::string> title,
                                     float value) {
    alertTitle_ = std::move(title);
    value_ = value;
    loadViewIfNeeded();
    refreshView();
    setModalPresentationStyle(platform::UIModalPresentationStyle::overFullScreen);
    auto self = std::static_pointer_cast<platform::UIViewController>(weak_from_this().lock());
    presenter.presentViewController(self, false, nullptr);
}

void VolumeAlertViewController::animateIn() {
    if (contentViewTopConstraint_) contentViewTopConstraint_->setPriority(kContentIn);
    const auto& root = view();
    UIView::animateWithDuration(0.1, [root] {
        root->layoutIfNeeded();
        root->setBackgroundColor(UIColor::colorWithWhite(0, 0.3));
    });
}

void VolumeAlertViewController::animateOut(std::function<void()> completion) {
    if (closing_) return;
    closing_ = true;
    if (willDismiss_) willDismiss_();
    if (contentViewTopConstraint_) contentViewTopConstraint_->setPriority(kContentOut);
    const auto& root = view();
    auto weak = std::weak_ptr<UIViewController>(weak_from_this());
    UIView::animateWithDuration(
        0.2,
        [root] {
            root->layoutIfNeeded();
            root->setBackgroundColor(UIColor::colorWithWhite(0, 0));
        },
        [weak, completion = std::move(completion)](bool) {
            auto self = std::static_pointer_cast<VolumeAlertViewController>(weak.lock());
            if (!self) return;
            self->UIViewController::dismissViewControllerAnimated(false, [weak, completion] {
                if (auto sheet = std::static_pointer_cast<VolumeAlertViewController>(weak.lock())) {
                    sheet->closing_ = false;
                }
                if (completion) completion();
            });
        });
}

void VolumeAlertViewController::refreshView() {
    if (volumeSlider_) volumeSlider_->setValue(value_);
    if (titleLabel_) titleLabel_->setText(alertTitle_.value_or(""));
    if (auto root = viewIfLoaded()) root->setTintColor(tintColor_);
    if (subtitleLabel_) subtitleLabel_->setText(valueText(value_));
}

void VolumeAlertViewController::onDone() {
    // A second tap while the content slides out neither closes nor reports again.
    if (closing_) return;
    dismissViewControllerAnimated(false);
    if (didChangeValue_) didChangeValue_(value_);
}

void VolumeAlertViewController::onClose() {
    dismissViewControllerAnimated(false);
}

void VolumeAlertViewController::dismissViewControllerAnimated(bool, std::function<void()> completion) {
    animateOut(std::move(completion));
}

}  // namespace quorvel
