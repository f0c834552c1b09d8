#include "app/screens/settings/settings_storyboard.h"

#include "app/core/timer_view_model.h"
#include "app/screens/settings/color_picker_view_controller.h"
#include "app/screens/settings/option_table_view_cell.h"
#include "app/screens/settings/option_view_controller.h"
#include "app/screens/settings/sound_options_view_controller.h"
#include "app/screens/settings/value_table_controller.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/nibs/ui_storyboard.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr const char* kAutoResetScene = "ValueTableController";
constexpr const char* kSoundListScene = "SoundOptionsViewController";
constexpr const char* kColourScene = "ColorPickerViewController";

// The grouped table over the whole screen, on its own light ground: the section titles stay readable
// whatever the theme colour behind it.
void buildSettingsView(UINibBuilder& nib) {
    auto screen = std::static_pointer_cast<OptionViewController>(nib.owner());
    auto root = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto table = nib.add(std::make_shared<UITableView>(root->bounds(), UITableViewStyle::grouped));
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    table->registerClass<OptionTableViewCell>(OptionTableViewCell::kReuseIdentifier);
    root->addSubview(table);
    nib.setOwnerView(root);
    nib.connectOwner([screen, table] {
        screen->setTableView(table);
        table->setDataSource(std::static_pointer_cast<UITableViewDataSource>(screen));
        table->setDelegate(std::static_pointer_cast<UITableViewDelegate>(screen));
    });
}

}  // namespace

void SettingsStoryboard::registerScenes() {
    UIStoryboard::registerScene(
        kName, kScreen,
        [] {
            auto screen = std::make_shared<OptionViewController>();
            screen->setTitle("Settings");
            return screen;
        },
        buildSettingsView);
    UIStoryboard::setInitialScene(kName, kScreen);
    UIStoryboard::registerScene(kName, kAutoResetScene, [] { return std::make_shared<ValueTableController>(); });
    UIStoryboard::registerScene(kName, kSoundListScene, [] { return std::make_shared<SoundOptionsViewController>(); });
    UIStoryboard::registerScene(kName, kColourScene, [] { return std::make_shared<ColorPickerViewController>(); });
    using Segue = OptionViewController::SegueIdentifier;
    UIStoryboard::registerSegue(kName, kScreen, Segue::autoReset, kAutoResetScene, UIStoryboardSegueKind::show);
    UIStoryboard::registerSegue(kName, kScreen, Segue::soundOptions, kSoundListScene, UIStoryboardSegueKind::show);
    UIStoryboard::registerSegue(kName, kScreen, Segue::colourPicker, kColourScene, UIStoryboardSegueKind::show);
    OptionTableViewCell::setIconBadgeUpdater([](bool enabled) { TimerViewModel::shared()->updateBadge(enabled); });
}

}  // namespace quorvel
