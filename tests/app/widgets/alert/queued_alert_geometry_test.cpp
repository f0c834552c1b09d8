#include "app/widgets/alert/queued_alert_geometry.h"

#include <gtest/gtest.h>

#include "platform/uikit/device/interface_driver.h"
#include "platform/uikit/text/ui_font.h"
#include "tests/app/widgets/alert/alert_test.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::AlertTest;

constexpr auto kDefault = QueuedAlertViewButtonTypeDefault;
constexpr auto kCancel = QueuedAlertViewButtonTypeCancel;

QueuedAlertGeometry buttons(const std::vector<QueuedAlertViewButtonType>& types,
                            QueuedAlertViewButtonsListStyle style = QueuedAlertViewButtonsListStyleNormal) {
    return QueuedAlertGeometry(std::nullopt, std::nullopt, types, style);
}

TEST(QueuedAlertGeometryButtons, OneTwoSideBySideAndRowsWithATrailingCancelSetApart) {
    EXPECT_EQ(buttons({kDefault}).buttonFrames(), std::vector{CGRect(10, 12, 280, 44)});
    EXPECT_EQ(buttons({kDefault}).height(), 66);
    EXPECT_EQ(buttons({kDefault, kCancel}).buttonFrames(),
              (std::vector{CGRect(10, 12, 135, 44), CGRect(155, 12, 135, 44)}));
    EXPECT_EQ(buttons({kDefault, kCancel}).height(), 66);

    const auto three = buttons({kDefault, kDefault, kCancel});
    EXPECT_EQ(three.buttonFrames(),
              (std::vector{CGRect(10, 12, 280, 44), CGRect(10, 66, 280, 44), CGRect(10, 125, 280, 44)}));
    EXPECT_EQ(three.height(), 179) << "5 points taller than three plain rows";
    EXPECT_EQ(buttons({kDefault, kDefault, kDefault}).height(), 174);

    // Two rows end with the cancel row set apart too, and the card grows with it: the bottom padding
    // stays 10.
    const auto rows = buttons({kDefault, kCancel}, QueuedAlertViewButtonsListStyleRows);
    EXPECT_EQ(rows.buttonFrames().back(), CGRect(10, 71, 280, 44));
    EXPECT_EQ(rows.height(), 125);
}

using QueuedAlertCard = AlertTest;

TEST_F(QueuedAlertCard, MeasuredTextsStackInACentredCard) {
    auto alert = makeAlert("Reset the counts?");
    alert->setMessage("Short");
    alert->addButtonWithTitle("Reset", kDefault);
    alert->addButtonWithTitle("Cancel", kCancel);
    alert->show();
    clock->advance(kSettle);

    const auto& card = alert->containerView();
    ASSERT_TRUE(card);
    const CGRect title = alert->titleLabel()->frame();
    EXPECT_EQ(title.origin, CGPointMake(10, 12));
    EXPECT_EQ(title.size.width, 280);
    EXPECT_NEAR(title.size.height, UIFont::boldSystemFontOfSize(20)->lineHeight(), 2)
        << "one line of the title";
    EXPECT_EQ(title.size.height, std::ceil(title.size.height));

    const CGRect message = alert->messageLabel()->frame();
    EXPECT_EQ(message.origin.y, title.maxY() + 10);
    EXPECT_DOUBLE_EQ(message.size.height, 3 * UIFont::systemFontOfSize(17)->lineHeight())
        << "a short message still gets three lines";

    const auto& buttons = alert->buttons();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0]->frame(), CGRect(10, message.maxY() + 10, 135, 44));
    EXPECT_EQ(buttons[1]->frame(), CGRect(155, message.maxY() + 10, 135, 44));
    const CGFloat height = message.maxY() + 10 + 44 + 10;
    EXPECT_EQ(card->frame(), CGRect(37.5, (667 - height) / 2, 300, height));
    EXPECT_EQ(alert->preferredHeight(), height);
}

// The empty music library's notice: a message of four lines and no title. The card holds the lines
// and the button with the paddings and the gap, and no empty band around the text.
TEST_F(QueuedAlertCard, AMessageLongerThanThreeLinesTakesTheHeightOfItsLines) {
    auto alert = std::make_shared<QueuedAlertView>(
        std::nullopt,
        "We could not find songs from your media library.\nPlease check your media library or permission.");
    alert->addButtonWithTitle("Okay", kDefault);
    alert->show();
    clock->advance(kSettle);

    const CGRect message = alert->messageLabel()->frame();
    const CGFloat lines = alert->messageLabel()->sizeThatFits({280, 1000}).height;
    EXPECT_GT(lines, 3 * UIFont::systemFontOfSize(17)->lineHeight())
        << "more than the three lines any message gets";
    EXPECT_EQ(message.origin, CGPointMake(10, 12));
    EXPECT_EQ(message.height(), std::ceil(lines));
    EXPECT_EQ(alert->buttons().at(0)->frame().minY(), message.maxY() + 10);
    EXPECT_EQ(alert->containerView()->frame().height(), message.maxY() + 10 + 44 + 10);
}

TEST_F(QueuedAlertCard, TurningTheDeviceLaysTheCardAndWindowsOutForTheNewSize) {
    auto alert = makeAlert("Turn");
    alert->addButtonWithTitle("OK", kDefault);
    alert->show();
    clock->advance(kSettle);
    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft));
    clock->advance(kSettle);

    EXPECT_EQ(alert->alertWindow()->frame(), CGRect(0, 0, 667, 375));
    EXPECT_EQ(QueuedAlertView::backgroundWindow()->frame(), CGRect(0, 0, 667, 375))
        << "the whole screen stays dimmed";
    EXPECT_EQ(alert->containerView()->frame().origin.x, (667 - 300) / 2.0);
    EXPECT_EQ(alert->containerView()->frame().midY(), 375 / 2.0);
}

}  // namespace
}  // namespace quorvel
