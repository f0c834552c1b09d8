#include <gtest/gtest.h>

#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "tests/app/widgets/alert/alert_test.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::AlertTest;
using Pixel = UIImage::Pixel;

Pixel normalBackground(const UIButton& button) {
    return button.backgroundImageForState(UIControlStateNormal)->pixelAt(0, 0);
}
Pixel highlightedBackground(const UIButton& button) {
    return button.backgroundImageForState(UIControlStateHighlighted)->pixelAt(0, 0);
}
bool isGrey(const std::shared_ptr<UIColor>& color, double white, double alpha) {
    double w = -1, a = -1;
    return color && color->getWhite(&w, &a) && std::abs(w - white) < 1e-6 && std::abs(a - alpha) < 1e-6;
}

bool near(Pixel p, Pixel q) {
    return std::abs(p.r - q.r) <= 1 && std::abs(p.g - q.g) <= 1 && std::abs(p.b - q.b) <= 1 && p.a == q.a;
}

using QueuedAlertButtons = AlertTest;

TEST_F(QueuedAlertButtons, TypesTakeTheirBackgroundsAndTitleColoursFromTheStoredThemeColour) {
    UserDefaultProperties::save(UserDefaultProperties::focusThemeColor(UIColor::blueColor()));
    auto alert = makeAlert("Styles");
    alert->addButtonWithTitle("Default", QueuedAlertViewButtonTypeDefault);
    alert->addButtonWithTitle("Destructive", QueuedAlertViewButtonTypeDestructive);
    alert->addButtonWithTitle("Cancel", QueuedAlertViewButtonTypeCancel);
    alert->addButtonWithTitle("Unknown", static_cast<QueuedAlertViewButtonType>(7));
    alert->show();
    const auto& b = alert->buttons();

    for (int i : {0, 1, 3}) {
        EXPECT_TRUE(near(normalBackground(*b[i]), Pixel{0, 0, 255, 255})) << i;
        EXPECT_TRUE(near(highlightedBackground(*b[i]), Pixel{0, 0, 255, 255})) << i;
    }
    EXPECT_TRUE(near(normalBackground(*b[2]), Pixel{230, 230, 230, 255}));
    EXPECT_TRUE(near(highlightedBackground(*b[2]), Pixel{180, 180, 180, 255}));
    EXPECT_TRUE(isGrey(b[0]->titleColorForState(UIControlStateNormal), 0.4, 1));
    EXPECT_TRUE(isGrey(b[0]->titleColorForState(UIControlStateHighlighted), 0.4, 0.8));
    EXPECT_TRUE(isGrey(b[1]->titleColorForState(UIControlStateNormal), 1, 1));
    EXPECT_TRUE(isGrey(b[2]->titleColorForState(UIControlStateNormal), 0.3, 1));
    EXPECT_TRUE(isGrey(b[3]->titleColorForState(UIControlStateNormal), 0.4, 1)) << "styled like the default";
    EXPECT_EQ(b[2]->tag(), 2);
    EXPECT_EQ(b[2]->layer()->cornerRadius(), 3.0);

    alert->setButtonColor(UIColor::colorWithWhite(0.1, 1));
    EXPECT_TRUE(isGrey(b[0]->titleColorForState(UIControlStateNormal), 0.1, 1));
    EXPECT_TRUE(isGrey(b[0]->titleColorForState(UIControlStateHighlighted), 0.1, 0.8));
    EXPECT_TRUE(isGrey(b[2]->titleColorForState(UIControlStateNormal), 0.3, 1)) << "only the default buttons";
}

TEST_F(QueuedAlertButtons, TogglesRestyleFromTheirSwitchAfterTheHandlerAndKeepTheAlertOpen) {
    UserDefaultProperties::save(UserDefaultProperties::focusThemeColor(UIColor::blueColor()));
    UserDefaultProperties::save(UserDefaultProperties::alarmEnabled(true));
    UserDefaultProperties::save(UserDefaultProperties::tickingEnabled(false));
    auto alert = makeAlert("Sound");
    alert->addButtonWithTitle("Alarm On", QueuedAlertViewButtonTypeAlarmToggle, [](QueuedAlertView&) {
        UserDefaultProperties::save(
            UserDefaultProperties::alarmEnabled(!UserDataManager::getSoundSettingData().alarmEnabled));
    });
    alert->addButtonWithTitle("Ticking Off", QueuedAlertViewButtonTypeTickingToggle, [](QueuedAlertView&) {
        UserDefaultProperties::save(
            UserDefaultProperties::tickingEnabled(!UserDataManager::getSoundSettingData().tickingEnabled));
    });
    alert->addButtonWithTitle("Done", QueuedAlertViewButtonTypeCancel);
    alert->show();
    clock->advance(kSettle);
    ASSERT_EQ(alert->buttons().size(), 3u);
    const auto alarm = alert->buttons()[0];
    const auto ticking = alert->buttons()[1];
    EXPECT_TRUE(near(normalBackground(*alarm), Pixel{0, 0, 255, 255}));
    EXPECT_TRUE(near(normalBackground(*ticking), Pixel{77, 77, 77, 255})) << "off: white 0.3";

    press(*alarm);
    EXPECT_EQ(alarm->titleForState(UIControlStateNormal), "Alarm Off");
    EXPECT_TRUE(near(normalBackground(*alarm), Pixel{77, 77, 77, 255}));
    EXPECT_TRUE(near(highlightedBackground(*alarm), Pixel{0, 0, 255, 255}));
    press(*ticking);
    EXPECT_EQ(ticking->titleForState(UIControlStateNormal), "Ticking On");
    EXPECT_TRUE(near(normalBackground(*ticking), Pixel{0, 0, 255, 255}));
    press(*alarm);
    EXPECT_EQ(alarm->titleForState(UIControlStateNormal), "Alarm On");
    clock->advance(kSettle);
    EXPECT_TRUE(alert->visible());
    EXPECT_TRUE(QueuedAlertView::isAnimating()) << "held until the alert goes";

    // Asked for meanwhile, another alert waits for this one.
    auto next = makeAlert("Next");
    next->show();
    clock->advance(kSettle);
    EXPECT_FALSE(next->visible());
    press(*alert->buttons()[2]);
    clock->advance(kSettle);
    EXPECT_FALSE(alert->visible());
    EXPECT_TRUE(next->visible());
}

}  // namespace
}  // namespace quorvel
