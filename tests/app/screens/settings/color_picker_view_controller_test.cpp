#include "app/screens/settings/color_picker_view_controller.h"

#include <gtest/gtest.h>

#include "app/core/app_notification_names.h"
#include "app/core/theme_colors.h"
#include "app/core/user_data_manager.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/drawing/ns_keyed_unarchiver.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/navigation/ui_navigation_item.h"
#include "tests/app/screens/settings/settings_screen_test.h"
#include "tests/support/touch_driver.h"

using namespace quorvel;
using P = UserDefaultProperties;
using platform::UIColor;

namespace {

using quorvel::testing::sameColour;

// The colour screen pushed onto a navigation controller in a window; writes to the settings are
// recorded as "suite key".
class ColourScreen : public quorvel::testing::SettingsScreenTest {
protected:
    ColourScreen() {
        record(NotificationName::colourSet());
        record(NotificationName::sessionDidChange());
    }
    ~ColourScreen() override { platform::NSUserDefaults::setWriteObserver({}); }

    void show(ColourPickerFunction function) {
        screen = std::make_shared<ColorPickerViewController>();
        screen->setColourPickerFunction(function);
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        navigation->pushViewController(screen, false);
        clock->advance(0.5);
        window->layoutIfNeeded();
        platform::NSUserDefaults::setWriteObserver(
            [this](const std::string& suite, const std::string& key, const std::optional<platform::Value>&) {
                writes.push_back(suite + " " + key);
            });
    }
    // A drag across the palette, from its middle to a point at these fractions of its size.
    void dragPalette(double x, double y) {
        auto palette = screen->paletteControl();
        const auto size = palette->bounds().size;
        touches.drag(palette->convertPointToView(platform::CGPoint{size.width / 2, size.height / 2}, nullptr),
                     palette->convertPointToView(platform::CGPoint{size.width * x, size.height * y}, nullptr), 0.2);
    }
    static std::shared_ptr<UIColor> sharedColour(P::Case setting) {
        const auto data = P::appGroupDefaults()->dataForKey(P::key(setting));
        return data ? platform::NSKeyedUnarchiver::unarchiveColor(*data) : nullptr;
    }

    std::shared_ptr<platform::UIWindow> window = std::make_shared<platform::UIWindow>();
    std::shared_ptr<platform::UINavigationController> navigation =
        platform::UINavigationController::withRootViewController(std::make_shared<platform::UIViewController>());
    std::shared_ptr<ColorPickerViewController> screen;
    quorvel::testing::TouchDriver touches{clock};
    std::vector<std::string> writes;
};

}  // namespace

TEST_F(ColourScreen, OpensOnTheStoredColourOfTheEditedType) {
    P::save(P::longBreakThemeColor(UIColor::colorWithRed(0.2, 0.4, 0.6, 1)));
    show(ColourPickerFunction::longBreakColor);
    EXPECT_EQ(screen->title(), "Long Break Colour");
    auto button = screen->colourButton();
    EXPECT_EQ(button->titleForState(platform::UIControlStateNormal), "Long Break Colour");
    EXPECT_TRUE(sameColour(button->backgroundColor(), UIColor::colorWithRed(0.2, 0.4, 0.6, 1)));
    EXPECT_TRUE(sameColour(std::static_pointer_cast<UIColor>(button->layer()->borderColor()), button->backgroundColor()));
    EXPECT_FALSE(button->isUserInteractionEnabled());
    EXPECT_TRUE(sameColour(screen->selectedColor(), button->backgroundColor()));
    auto save = screen->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(save);
    EXPECT_EQ(save->title(), "Save");
    EXPECT_EQ(save->style(), platform::UIBarButtonItemStyle::done);

    // The controls arrive a turn later, fill their containers and fade in.
    auto palette = screen->paletteControl();
    auto slider = screen->brightnessControl();
    EXPECT_EQ(palette->superview(), screen->paletteContainer());
    EXPECT_EQ(slider->superview(), screen->sliderContainer());
    EXPECT_EQ(palette->frame().size, screen->paletteContainer()->bounds().size);
    EXPECT_EQ(palette->alpha(), 1);
    EXPECT_FALSE(slider->expandOnTap());
    EXPECT_FALSE(slider->showPercentage());
    EXPECT_EQ(screen->colorPicker()->rectangularPaletteControl(), palette);
    EXPECT_EQ(screen->colorPicker()->brightnessSliderControl(), slider);
    EXPECT_EQ(screen->colorPicker()->delegate().get(), screen.get());
}

TEST_F(ColourScreen, AMissingColourFallsBackToTheTypesDefault) {
    standard()->removeObjectForKey(P::key(P::Case::shortBreakThemeColor));
    show(ColourPickerFunction::shortBreakColour);
    EXPECT_TRUE(sameColour(screen->currentColour(), defaultThemeColor(SessionType::shortBreak)));
    screen->navigationItem()->rightBarButtonItem()->sendAction();
    EXPECT_TRUE(sameColour(UserDataManager::getPomodoroData().shortBreakThemeColor,
                           defaultThemeColor(SessionType::shortBreak)));
}

TEST_F(ColourScreen, PickingShowsOnTheButtonAndLeavingWithoutSaveStoresNothing) {
    const auto before = UserDataManager::getPomodoroData().focusThemeColor;
    show(ColourPickerFunction::focusColour);
    dragPalette(0.5, 0.1);
    EXPECT_TRUE(sameColour(screen->currentColour(), screen->selectedColor()));
    EXPECT_TRUE(sameColour(screen->colourButton()->backgroundColor(), screen->selectedColor()));
    EXPECT_FALSE(sameColour(screen->currentColour(), before));

    navigation->popViewControllerAnimated(false);
    clock->advance(0.5);
    EXPECT_TRUE(writes.empty());
    EXPECT_TRUE(sameColour(UserDataManager::getPomodoroData().focusThemeColor, before));
    EXPECT_TRUE(posted.empty());
}

TEST_F(ColourScreen, SaveStoresBothCopiesOfTheEditedTypeAnnouncesLogsAndGoesBack) {
    show(ColourPickerFunction::shortBreakColour);
    dragPalette(0.8, 0.3);
    const auto picked = screen->selectedColor();
    screen->navigationItem()->rightBarButtonItem()->sendAction();
    clock->advance(0.5);

    EXPECT_EQ(writes, (std::vector<std::string>{std::string(P::standardDefaults()->suiteName()) + " " +
                                                    P::key(P::Case::shortBreakThemeColor),
                                                std::string(P::kAppGroupSuiteName) + " " +
                                                    P::key(P::Case::sharedShortBreakThemeColor)}));
    EXPECT_TRUE(sameColour(UserDataManager::getPomodoroData().shortBreakThemeColor, picked));
    EXPECT_TRUE(sameColour(sharedColour(P::Case::sharedShortBreakThemeColor), picked));
    ASSERT_EQ(posted.size(), 1u) << "one \"ColourSet\" and no second engine announcing its session";
    EXPECT_EQ(posted[0].name, NotificationName::colourSet());
    EXPECT_FALSE(posted[0].object.has_value());

    const auto logged = loggedEvents();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].name(), "Options_Event");
    const auto* name = logged[0].parameters().at("Colour_Set").stringValue();
    ASSERT_TRUE(name);
    EXPECT_EQ(*name, "Short Break_Type");
    EXPECT_EQ(navigation->topViewController(), navigation->viewControllers().front());
}
