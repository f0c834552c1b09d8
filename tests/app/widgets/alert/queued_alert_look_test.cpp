#include <gtest/gtest.h>

#include <filesystem>

#include "app/core/user_default_properties.h"
#include "app/widgets/alert/queued_alert_background_window.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "tests/app/widgets/alert/alert_test.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::AlertTest;
using Pixel = UIImage::Pixel;

constexpr CGFloat kScale = 2;

// The shown windows from the lowest level up, as the screen shows them.
std::shared_ptr<UIImage> screenshot() {
    const CGRect screen = UIScreen::mainScreen().bounds();
    UIGraphicsBeginImageContextWithOptions(screen.size, true, kScale);
    for (const auto& window : UIWindow::windows()) {
        if (!window->isHidden()) LayerRenderer::renderView(*window, kScale)->drawInRect(window->frame());
    }
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

Pixel at(const UIImage& image, CGPoint p) {
    return image.pixelAt(int(p.x * kScale), int(p.y * kScale));
}

bool near(Pixel p, int r, int g, int b) {
    return std::abs(p.r - r) < 6 && std::abs(p.g - g) < 6 && std::abs(p.b - b) < 6;
}

using QueuedAlertLook = AlertTest;

// The sound options as the app shows them, written as a PNG for a person to look at.
TEST_F(QueuedAlertLook, CardOverDimmedApp) {
    UserDefaultProperties::save(UserDefaultProperties::alarmEnabled(true));
    appWindow->setBackgroundColor(UIColor::whiteColor());
    auto alert = makeAlert("Sound Options");
    alert->setMessage("Choose which sounds play while a session runs.");
    alert->setButtonsListStyle(QueuedAlertViewButtonsListStyleRows);
    alert->addButtonWithTitle("Alarm On", QueuedAlertViewButtonTypeAlarmToggle);
    alert->addButtonWithTitle("Ticking Off", QueuedAlertViewButtonTypeTickingToggle);
    alert->addButtonWithTitle("Done", QueuedAlertViewButtonTypeCancel);
    alert->show();
    clock->advance(kSettle);

    const auto image = screenshot();
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "queued_alert.png";
    std::filesystem::create_directories(out.parent_path());
    ASSERT_TRUE(image->writePNG(out));

    const CGRect card = alert->containerView()->frame();
    EXPECT_TRUE(near(at(*image, {5, 5}), 64, 64, 64)) << "white under black at 0.75";
    EXPECT_TRUE(near(at(*image, {card.minX() + 5, card.minY() + 40}), 255, 255, 255)) << "the card";
    const CGRect alarm = alert->buttons()[0]->convertRectToView(alert->buttons()[0]->bounds(), nullptr);
    EXPECT_TRUE(near(at(*image, {alarm.minX() + 4, alarm.midY()}), 255, 64, 64))
        << "alarm on: the default focus colour, as none is stored";
    const CGRect ticking = alert->buttons()[1]->convertRectToView(alert->buttons()[1]->bounds(), nullptr);
    EXPECT_TRUE(near(at(*image, {ticking.minX() + 4, ticking.midY()}), 77, 77, 77)) << "ticking off: grey";
    const CGRect done = alert->buttons()[2]->convertRectToView(alert->buttons()[2]->bounds(), nullptr);
    EXPECT_TRUE(near(at(*image, {done.minX() + 4, done.midY()}), 230, 230, 230));
}

TEST_F(QueuedAlertLook, ClearBackgroundStyleDimsNothing) {
    appWindow->setBackgroundColor(UIColor::whiteColor());
    auto alert = makeAlert("Clear");
    alert->setBackgroundStyle(static_cast<QueuedAlertViewBackgroundStyle>(2));
    alert->show();
    clock->advance(kSettle);
    EXPECT_TRUE(near(at(*screenshot(), {5, 5}), 255, 255, 255));
}

}  // namespace
}  // namespace quorvel
