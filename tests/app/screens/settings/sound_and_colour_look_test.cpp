#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/screens/settings/color_picker_view_controller.h"
#include "app/screens/settings/sound_options_view_controller.h"
#include "app/screens/settings/value_selection_cell.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/graphics/layer_back_buffer.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/mediaplayer/mp_media_picker_controller.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "tests/app/screens/settings/settings_screen_test.h"
#include "tests/support/touch_driver.h"

using namespace quorvel;
using platform::CGRect;
using platform::UIImage;

namespace {

// A screen pushed over a root in a phone-sized window, written as a PNG for a person to look at.
class SoundAndColourLook : public quorvel::testing::SettingsScreenTest {
protected:
    std::shared_ptr<UIImage> showAndWrite(const std::shared_ptr<platform::UIViewController>& screen,
                                          const std::string& name) {
        auto navigation = platform::UINavigationController::withRootViewController(
            std::make_shared<platform::UIViewController>());
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        navigation->pushViewController(screen, false);
        clock->advance(1);
        window->layoutIfNeeded();
        const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / name;
        std::filesystem::create_directories(out.parent_path());
        EXPECT_TRUE(platform::LayerRenderer::writeViewPNG(*window, out, 2));
        return platform::LayerRenderer::renderView(*window, 2);
    }
    UIImage::Pixel at(const UIImage& image, const platform::UIView& view, platform::CGPoint point) {
        const auto p = view.convertPointToView(point, nullptr);
        return image.pixelAt(int(p.x * 2), int(p.y * 2));
    }

    std::shared_ptr<platform::UIWindow> window = std::make_shared<platform::UIWindow>(CGRect(0, 0, 375, 667));
};

}  // namespace

TEST_F(SoundAndColourLook, TickingListWithTheStoredSoundMarked) {
    auto list = std::make_shared<SoundOptionsViewController>();
    list->setFunction(SoundOptionFunction::ticking(SoundOptionFunction::TickingSoundType::focus));
    const auto image = showAndWrite(list, "sound_options.png");
    // The marked row ("Ticking") shows its circle in the focus colour; the others stay grey.
    auto table = list->tableView();
    auto marked = table->cellForRowAtIndexPath(platform::NSIndexPath::indexPathForRow(2, 0));
    auto other = table->cellForRowAtIndexPath(platform::NSIndexPath::indexPathForRow(3, 0));
    ASSERT_TRUE(marked && other);
    const auto circle = [&](const platform::UITableViewCell& cell) {
        const auto& view = *dynamic_cast<const ValueSelectionCell&>(cell).grayCirle();
        return at(*image, view, {view.bounds().size.width / 2, view.bounds().size.height / 2});
    };
    EXPECT_EQ(circle(*marked), (UIImage::Pixel{255, 64, 64, 255}));
    EXPECT_EQ(circle(*other), (UIImage::Pixel{166, 172, 169, 255}));
}

TEST_F(SoundAndColourLook, ColourScreenWithItsButtonPaletteAndSlider) {
    auto screen = std::make_shared<ColorPickerViewController>();
    screen->setColourPickerFunction(ColourPickerFunction::shortBreakColour);
    const auto image = showAndWrite(screen, "colour_picker.png");
    const auto button = screen->colourButton();
    const auto centre = at(*image, *button, {8, button->bounds().size.height / 2});
    EXPECT_EQ(centre, (UIImage::Pixel{106, 130, 238, 255})) << "the button in the short-break colour";
    const auto palette = screen->paletteControl();
    EXPECT_GT(palette->bounds().size.height, 150) << "the palette fills the space between button and slider";
}

// The thumb of the stored red sits on the palette's left edge, half over it; a tap moves it away, and
// the repaint leaves none of it behind.
TEST_F(SoundAndColourLook, ATapOnThePaletteRepaintsAsAWholeRedrawWould) {
    auto screen = std::make_shared<ColorPickerViewController>();
    screen->setColourPickerFunction(ColourPickerFunction::focusColour);
    showAndWrite(screen, "colour_picker_focus.png");
    auto buffer = [&] {
        return std::make_unique<platform::LayerBackBuffer>(
            375 * 2, 667 * 2, platform::CGAffineTransform::makeScale(2, 2), [](cairo_t*) {});
    };
    const std::vector<platform::LayerBackBuffer::Placement> trees = {{window->layer(), {0, 0}}};
    auto shown = buffer();
    shown->draw(trees, clock->now());
    const auto palette = screen->paletteControl();
    const auto size = palette->bounds().size;
    quorvel::testing::TouchDriver(clock).tap(
        palette->convertPointToView(platform::CGPoint{size.width / 2, size.height / 2}, nullptr));
    clock->advance(1);
    window->layoutIfNeeded();
    shown->draw(trees, clock->now());
    auto whole = buffer();
    whole->draw(trees, clock->now());
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
    cairo_surface_write_to_png(shown->surface(), (out / "colour_picker_tapped_repainted.png").c_str());
    const auto pixels = [](cairo_surface_t* s) {
        return std::string_view(reinterpret_cast<const char*>(cairo_image_surface_get_data(s)),
                                std::size_t(cairo_image_surface_get_stride(s)) * cairo_image_surface_get_height(s));
    };
    EXPECT_TRUE(pixels(shown->surface()) == pixels(whole->surface()));
}

TEST_F(SoundAndColourLook, SongPickerOverTheTickingList) {
    const auto music = root.path() / "Music";
    std::filesystem::create_directories(music / "Album");
    const auto song = platform::NSBundle::mainBundle()->URLForResource("Rain", "mp3").value();
    for (const auto* name : {"Album/Blue Hour.mp3", "Morning Walk.mp3", "Summer Song.mp3"})
        std::filesystem::copy_file(song, music / name);
    platform::MPMediaLibrary::setMusicFolderForTesting(music);
    auto list = std::make_shared<SoundOptionsViewController>();
    list->setFunction(SoundOptionFunction::ticking(SoundOptionFunction::TickingSoundType::longBreak));
    showAndWrite(list, "sound_options_long_break.png");
    list->tableViewDidSelectRowAtIndexPath(*list->tableView(), platform::NSIndexPath::indexPathForRow(0, 0));
    clock->advance(1);
    auto picker = std::dynamic_pointer_cast<platform::MPMediaPickerController>(list->presentedViewController());
    ASSERT_TRUE(picker);
    window->layoutIfNeeded();
    const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "song_picker.png";
    EXPECT_TRUE(platform::LayerRenderer::writeViewPNG(*window, out, 2));
    EXPECT_EQ(picker->view()->frame(), window->bounds()) << "the list fills the window";
    platform::MPMediaLibrary::setMusicFolderForTesting({});
}
