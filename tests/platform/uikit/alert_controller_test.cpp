#include "platform/uikit/controllers/ui_alert_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_popover_presentation_controller.h"
#include "platform/uikit/controls/ui_button.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/platform/uikit/recording_controller.h"

using namespace platform;
using Log = std::vector<std::string>;
using Shown = quorvel::testing::ShownRoot;
// Cases that turn or swap the device put back the default one.
using AlertController = quorvel::testing::DefaultDeviceTest;

namespace {

void pressAlertButton(const std::shared_ptr<UIButton>& button) {
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
}

}  // namespace

TEST_F(AlertController, AnAlertFadesInOverTheScreenAndItsHandlerRunsOnceItIsGone) {
    Shown shown;
    auto alert = UIAlertController::alertControllerWithTitle("Empty Music", "Couldn't find the music.",
                                                             UIAlertControllerStyle::alert);
    Log handled;
    alert->addAction(UIAlertAction::actionWithTitle("Okay", UIAlertActionStyle::cancel, [&](UIAlertAction& action) {
        handled.push_back(action.title() + (shown.root->presentedViewController() ? " while shown" : " after"));
    }));
    shown.root->presentViewController(alert, true);
    auto layer = alert->view()->layer();
    shown.clock->advance(UIPresentationController::kTransitionDuration / 2);
    EXPECT_LT(layer->presentationLayer()->opacity(), 1.0f);
    EXPECT_EQ(layer->presentationLayer()->position(), layer->position());  // fades, does not slide
    shown.clock->advance(1);
    EXPECT_TRUE(shown.log.empty());  // the screen under it stays
    ASSERT_EQ(alert->buttons().size(), 1u);
    alert->view()->layoutIfNeeded();
    CGRect card = alert->buttons()[0]->superview()->frame();
    EXPECT_EQ(card.width(), UIAlertController::kAlertWidth);
    EXPECT_DOUBLE_EQ(card.midX(), 375 / 2.0);

    pressAlertButton(alert->buttons()[0]);
    pressAlertButton(alert->buttons()[0]);  // a second tap while it goes asks for nothing more
    EXPECT_TRUE(handled.empty());
    shown.clock->advance(1);
    EXPECT_EQ(handled, (Log{"Okay after"}));
    EXPECT_EQ(alert->view()->superview(), nullptr);
}

TEST_F(AlertController, TwoButtonsSitSideBySideAndMoreStackWithCancelLast) {
    Shown shown;
    auto two = UIAlertController::alertControllerWithTitle(std::nullopt, "Reset?", UIAlertControllerStyle::alert);
    two->addAction(UIAlertAction::actionWithTitle("Cancel", UIAlertActionStyle::cancel, nullptr));
    two->addAction(UIAlertAction::actionWithTitle("Reset", UIAlertActionStyle::destructive, nullptr));
    shown.root->presentViewController(two, false);
    shown.clock->runUntilIdle();
    const auto& buttons = two->buttons();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0]->currentTitle(), "Reset");
    EXPECT_EQ(buttons[1]->currentTitle(), "Cancel");
    EXPECT_EQ(buttons[0]->frame().minY(), buttons[1]->frame().minY());
    EXPECT_LT(buttons[0]->frame().maxX(), buttons[1]->frame().minX());
    two->dismissViewControllerAnimated(false);
    shown.clock->runUntilIdle();

    auto sheet = UIAlertController::alertControllerWithTitle(std::nullopt, std::nullopt, UIAlertControllerStyle::actionSheet);
    for (const char* title : {"Cancel", "Alarm", "Ticking"})
        sheet->addAction(UIAlertAction::actionWithTitle(
            title, title[0] == 'C' ? UIAlertActionStyle::cancel : UIAlertActionStyle::defaultStyle, nullptr));
    shown.root->presentViewController(sheet, false);
    shown.clock->runUntilIdle();
    Log titles;
    for (const auto& action : sheet->actionsAsShown()) titles.push_back(action->title());
    EXPECT_EQ(titles, (Log{"Alarm", "Ticking", "Cancel"}));
    CGRect card = sheet->buttons()[0]->superview()->frame();
    EXPECT_DOUBLE_EQ(card.maxY(), 667 - 8);  // at the bottom of a phone
    EXPECT_GT(sheet->buttons()[2]->frame().minY(), sheet->buttons()[1]->frame().maxY());
}

TEST_F(AlertController, ADisabledActionDoesNothing) {
    Shown shown;
    auto alert = UIAlertController::alertControllerWithTitle("Save?", std::nullopt, UIAlertControllerStyle::alert);
    bool ran = false;
    auto save = UIAlertAction::actionWithTitle("Save", UIAlertActionStyle::defaultStyle, [&](UIAlertAction&) { ran = true; });
    save->setEnabled(false);
    alert->addAction(save);
    shown.root->presentViewController(alert, false);
    shown.clock->runUntilIdle();
    EXPECT_FALSE(alert->buttons()[0]->isEnabled());
    pressAlertButton(alert->buttons()[0]);
    shown.clock->advance(1);
    EXPECT_FALSE(ran);
    EXPECT_EQ(shown.root->presentedViewController(), alert);
}

TEST_F(AlertController, AnActionSheetOnATabletIsAPanelBesideItsSource) {
    DeviceProfile::setCurrent(*DeviceProfile::named("iPadPro11Inch"));
    Shown shown;
    auto sheet = UIAlertController::alertControllerWithTitle("Sound", std::nullopt, UIAlertControllerStyle::actionSheet);
    sheet->addAction(UIAlertAction::actionWithTitle("Alarm", UIAlertActionStyle::defaultStyle, nullptr));
    auto source = std::make_shared<UIView>(CGRect(400, 300, 40, 40));
    shown.root->view()->addSubview(source);
    sheet->popoverPresentationController()->setSourceView(source);
    sheet->popoverPresentationController()->setSourceRect(source->bounds());
    shown.root->presentViewController(sheet, false);
    shown.clock->runUntilIdle();
    CGRect panel = sheet->view()->frame();
    EXPECT_EQ(panel.width(), UIAlertController::kSheetWidth);
    EXPECT_EQ(panel.minY(), 350);
    EXPECT_EQ(sheet->buttons()[0]->superview()->frame(), sheet->view()->bounds());
}
