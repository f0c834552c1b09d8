#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/controls/ui_slider.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

// The sheet in which the user sets the alarm or the ticking volume. It slides its content in over a
// dimmed background when it appears and out when it closes; Done reports the value. Main thread only.
class VolumeAlertViewController : public platform::UIViewController {
public:
    static constexpr const char* kNibName = "VolumeAlertViewController";
    // The top constraint's priorities: above the competing 750 it keeps the content out of view.
    static constexpr float kContentOut = 751;
    static constexpr float kContentIn = 749;

    // Made from its nib.
    static std::shared_ptr<VolumeAlertViewController> loadFromNib();
    VolumeAlertViewController();

    const std::shared_ptr<platform::UILabel>& titleLabel() const { return titleLabel_; }
    const std::shared_ptr<platform::UILabel>& subtitleLabel() const { return subtitleLabel_; }
    const std::shared_ptr<platform::UIButton>& doneButton() const { return doneButton_; }
    const std::shared_ptr<platform::UISlider>& volumeSlider() const { return volumeSlider_; }
    const std::shared_ptr<platform::NSLayoutConstraint>& contentViewTopConstraint() const {
        return contentViewTopConstraint_;
    }

    void setDidChangeValue(std::function<void(float)> callback) { didChangeValue_ = std::move(callback); }
    void setWillDismiss(std::function<void()> callback) { willDismiss_ = std::move(callback); }
    const std::optional<std::string>& alertTitle() const { return alertTitle_; }
    void setAlertTitle(std::optional<std::string> title) { alertTitle_ = std::move(title); }
    float value() const { return value_; }
    void setValue(float value) { value_ = value; }
    const std::shared_ptr<platform::UIColor>& tintColor() const { return tintColor_; }
    void setTintColor(std::shared_ptr<platform::UIColor> color) { tintColor_ = std::move(color); }

    virtual void sliderValueChanged(const platform::UISlider& slider);
    // Presents the sheet from `presenter` over the full screen, without animation.
    virtual void show(platform::UIViewController& presenter, std::optional<std::string> title, float value);
    virtual void animateIn();
    virtual void animateOut(std::function<void()> completion);
    virtual void refreshView();

    // The slider's value-changed action.
    void onValueChanged(platform::UISlider& sender) { sliderValueChanged(sender); }
    // Done: closes, and reports the value at once while the content slides out.
    void onDone();
    // The close action: closes without reporting.
    void onClose();
    // Every dismissal of the sheet slides its content out first.
    void dismissViewControllerAnimated(bool animated, std::function<void()> completion = nullptr) override;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    // "7.5" for 0.75: the volume on a scale of 0.0 to 10.0.
    static std::string valueText(float value);

    // Outlets, as the nib connects them.
    void setTitleLabel(std::shared_ptr<platform::UILabel> l) { titleLabel_ = std::move(l); }
    void setSubtitleLabel(std::shared_ptr<platform::UILabel> l) { subtitleLabel_ = std::move(l); }
    void setDoneButton(std::shared_ptr<platform::UIButton> b) { doneButton_ = std::move(b); }
    void setVolumeSlider(std::shared_ptr<platform::UISlider> s) { volumeSlider_ = std::move(s); }
    void setContentViewTopConstraint(std::shared_ptr<platform::NSLayoutConstraint> c) {
        contentViewTopConstraint_ = std::move(c);
    }

private:
    std::shared_ptr<platform::UILabel> titleLabel_;
    std::shared_ptr<platform::UILabel> subtitleLabel_;
    std::shared_ptr<platform::UIButton> doneButton_;
    std::shared_ptr<platform::UISlider> volumeSlider_;
    std::shared_ptr<platform::NSLayoutConstraint> contentViewTopConstraint_;
    std::function<void(float)> didChangeValue_;
    std::function<void()> willDismiss_;
    std::optional<std::string> alertTitle_;
    float value_ = 1.0f;
    std::shared_ptr<platform::UIColor> tintColor_;
    // Set while the content slides out, so that a second close in that time closes nothing twice.
    bool closing_ = false;
};

}  // namespace quorvel
