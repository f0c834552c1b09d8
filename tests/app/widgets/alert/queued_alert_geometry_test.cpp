#include "app/widgets/alert/queued_alert_geometry.h"

#include <gtest/gtest.h>

#include "platform/uikit/interface_driver.h"
#include "platform/uikit/ui_font.h"
#include "tests/app/widgets/alert/alert_test.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::AlertTest;

constexpr auto kDefault = QueuedAlertViewButtonTypeDefault;
constexpr auto kCancel = QueuedAlertViewButtonTypeCancel;

TEST(QueuedAlertGeometryButtons, OneButtonAndTwoSideBySide) {
    const QueuedAlertGeometry one(std::nullopt, std::nullopt, {kDefault},
                                  QueuedAlertViewButtonsListStyleNormal);
    EXPECT_EQ(one.buttonFrames(), std::vector{CGRect(10, 12, 280, 44)});
    EXPECT_EQ(one.height(), 66);

    const QueuedAlertGeometry two(std::nullopt, std::nullopt, {kDefault, kCancel},
                                  QueuedAlertViewButtonsListStyleNormal);
    EXPECT_EQ(two.buttonFrames(), (std::vector{CGRect(10, 12, 135, 44), CGRect(155, 12, 135, 44)}));
    EXPECT_EQ(two.height(), 66);
}

TEST(QueuedAlertGeometryButtons, RowsAtAPitchOf54WithATrailingCancelSetApart) {
    const QueuedAlertGeometry three(std::nullopt, std::nullopt, {kDefault, kDefault, kCancel},
                                    QueuedAlertViewButtonsListStyleNormal);
    EXPECT_EQ(three.buttonFrames(),
              (std::vector{CGRect(10, 12, 280, 44), CGRect(10, 66, 280, 44), CGRect(10, 125, 280, 44)}));
    EXPECT_EQ(three.height(), 179) << "5 points taller than three plain rows";

    const QueuedAlertGeometry plain(std::nullopt, std::nullopt, {kDefault, kDefault, kDefault},
                                    QueuedAlertViewButtonsListStyleNormal);
    EXPECT_EQ(plain.buttonFrames().back(), CGRect(10, 120, 280, 44));
    EXPECT_EQ(plain.height(), 174);

    // Two rows end with the cancel row set apart too, and the card grows with it: the bottom padding
    // stays 10.
    const QueuedAlertGeometry rows(std::nullopt, std::nullopt, {kDefault, kCancel},
                                   QueuedAlertViewButtonsListStyleRows);
    EXPECT_EQ(rows.buttonFrames(), (std::vector{CGRect(10, 12, 280, 44), CGRect(10, 71, 280, 44)}));
    EXPECT_EQ(rows.height(), 125);
}

TEST(QueuedAlertGeometryText, TitleAndMessageKeepTheGapAndTheButtonsFollow) {
    const QueuedAlertGeometry geometry(24, 60, {kDefault}, QueuedAlertViewButtonsListStyleNormal);
    EXPECT_EQ(geometry.titleFrame(), CGRect(10, 12, 280, 24));
    EXPECT_EQ(geometry.messageFrame(), CGRect(10, 46, 280, 60));
    EXPECT_EQ(geometry.buttonFrames(), std::vector{CGRect(10, 116, 280, 44)});
    EXPECT_EQ(geometry.height(), 170);

    const QueuedAlertGeometry messageOnly(std::nullopt, 60, {}, QueuedAlertViewButtonsListStyleNormal);
    EXPECT_EQ(messageOnly.messageFrame(), CGRect(10, 12, 280, 60)) << "no gap above the first part";
    EXPECT_EQ(messageOnly.height(), 82);
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

TEST_F(QueuedAlertCard, LongMessageTakesTwiceItsMeasuredHeightOfAtMostFiveLines) {
    auto alert = makeAlert("Notice");
    std::string words;
    for (int i = 0; i < 80; ++i) words += "session ";
    alert->setMessage(words);
    alert->addButtonWithTitle("OK", kDefault);
    alert->show();
    clock->advance(kSettle);

    const CGFloat line = UIFont::systemFontOfSize(17)->lineHeight();
    const CGFloat height = alert->messageLabel()->frame().size.height;
    EXPECT_NEAR(height, 10 * line, 10) << "five lines, twice over";
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
