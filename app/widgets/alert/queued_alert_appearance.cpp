#include "app/widgets/alert/queued_alert_appearance.h"

namespace quorvel {

using namespace platform;

const QueuedAlertAppearance& QueuedAlertAppearance::defaults() {
    static const QueuedAlertAppearance appearance = [] {
        QueuedAlertAppearance a;
        a.viewBackgroundColor = UIColor::whiteColor();
        a.titleColor = UIColor::blackColor();
        a.messageColor = UIColor::darkGrayColor();
        a.titleFont = UIFont::boldSystemFontOfSize(20);
        a.messageFont = UIFont::systemFontOfSize(17);
        a.buttonFont = UIFont::systemFontOfSize(UIFont::buttonFontSize());
        a.buttonColor = UIColor::colorWithWhite(0.4, 1);
        a.cancelButtonColor = UIColor::colorWithWhite(0.3, 1);
        a.destructiveButtonColor = UIColor::whiteColor();
        a.cornerRadius = 3.0;
        a.backgroundStyle = QueuedAlertViewBackgroundStyleSolid;
        return a;
    }();
    return appearance;
}

}  // namespace quorvel
