#include "app/widgets/alert/queued_alert_button_style.h"

#include <cmath>

#include "app/core/theme_colors.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_defaults_accessors.h"
#include "app/core/color_image.h"

namespace quorvel {

using namespace platform;

namespace {

// A one-colour background that stretches over any button.
std::shared_ptr<UIImage> background(const std::shared_ptr<UIColor>& color) {
    const auto image = ColorImage::imageWithColor(color);
    if (!image) return nullptr;
    const CGSize size = image->size();
    const CGFloat vertical = std::floor(size.height / 2);
    const CGFloat horizontal = std::floor(size.width / 2);
    return image->resizableImageWithCapInsets(UIEdgeInsets{vertical, horizontal, vertical, horizontal});
}

// The stored focus theme colour; its default when none is stored or it cannot be read.
std::shared_ptr<UIImage> themeBackground() {
    auto color = readFocusThemeColor();
    return background(color ? color : defaultFocusThemeColor());
}

// A grey level kept in single precision, as the platform stores it.
std::shared_ptr<UIImage> greyBackground(double white) {
    return background(UIColor::colorWithWhite(static_cast<float>(white), 1));
}

bool toggleIsOn(QueuedAlertViewButtonType type) {
    const SoundSettingData sound = UserDataManager::getSoundSettingData();
    return type == QueuedAlertViewButtonTypeAlarmToggle ? sound.alarmEnabled : sound.tickingEnabled;
}

std::shared_ptr<UIImage> toggleBackground(bool on) {
    return on ? themeBackground() : greyBackground(0.3);
}

}  // namespace

QueuedAlertViewButtonType QueuedAlertButtonStyle::kind(QueuedAlertViewButtonType type) {
    return type >= QueuedAlertViewButtonTypeDefault && type <= QueuedAlertViewButtonTypeTickingToggle
               ? type
               : QueuedAlertViewButtonTypeDefault;
}

bool QueuedAlertButtonStyle::isToggle(QueuedAlertViewButtonType type) {
    return type == QueuedAlertViewButtonTypeAlarmToggle || type == QueuedAlertViewButtonTypeTickingToggle;
}

void QueuedAlertButtonStyle::apply(UIButton& button, QueuedAlertViewButtonType type,
                                   const TitleColors& colors) {
    const QueuedAlertViewButtonType styledAs = kind(type);
    if (styledAs == QueuedAlertViewButtonTypeCancel) {
        button.setBackgroundImage(greyBackground(230.0 / 255.0), UIControlStateNormal);
        button.setBackgroundImage(greyBackground(180.0 / 255.0), UIControlStateHighlighted);
        setTitleColor(button, colors.cancel);
        return;
    }
    button.setBackgroundImage(isToggle(styledAs) ? toggleBackground(toggleIsOn(styledAs)) : themeBackground(),
                              UIControlStateNormal);
    button.setBackgroundImage(themeBackground(), UIControlStateHighlighted);
    setTitleColor(button,
                  styledAs == QueuedAlertViewButtonTypeDestructive ? colors.destructive : colors.button);
}

void QueuedAlertButtonStyle::restyleToggle(UIButton& button, QueuedAlertViewButtonType type) {
    const bool on = toggleIsOn(type);
    button.setBackgroundImage(toggleBackground(on), UIControlStateNormal);
    const char* name = type == QueuedAlertViewButtonTypeAlarmToggle ? "Alarm" : "Ticking";
    button.setTitle(std::string(name) + (on ? " On" : " Off"), UIControlStateNormal);
}

void QueuedAlertButtonStyle::setTitleColor(UIButton& button, const std::shared_ptr<UIColor>& color) {
    button.setTitleColor(color, UIControlStateNormal);
    button.setTitleColor(color ? color->colorWithAlphaComponent(0.8) : nullptr, UIControlStateHighlighted);
}

}  // namespace quorvel
