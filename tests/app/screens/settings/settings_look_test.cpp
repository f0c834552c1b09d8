#include <gtest/gtest.h>

#include <filesystem>

#include "app/core/navigation_bar_style.h"
#include "app/screens/settings/option_table_view_cell.h"
#include "app/screens/settings/option_view_model.h"
#include "app/screens/settings/value_selection_cell.h"
#include "app/screens/settings/value_table_controller.h"
#include "app/screens/settings/volume_alert_view_controller.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/tables/ui_table_view_controller.h"
#include "tests/app/screens/settings/settings_screen_test.h"

using namespace quorvel;
using platform::CGRect;
using platform::UIImage;

namespace {

// The settings list in a grouped table, served straight from the list model.
class SettingsListController : public platform::UITableViewController {
public:
    SettingsListController() : UITableViewController(platform::UITableViewStyle::grouped) {}
    void viewDidLoad() override {
        UITableViewController::viewDidLoad();
        setTitle("Settings");
        tableView()->registerClass<OptionTableViewCell>(OptionTableViewCell::kReuseIdentifier);
        model.buildOptions();
    }
    void viewWillAppear(bool animated) override {
        UITableViewController::viewWillAppear(animated);
        if (auto navigation = navigationController()) styleNavigationBar(false, navigation->navigationBar());
    }
    long numberOfSectionsInTableView(platform::UITableView&) override { return long(model.options().size()); }
    long tableViewNumberOfRowsInSection(platform::UITableView&, long s) override {
        return long(model.options()[std::size_t(s)].count());
    }
    std::shared_ptr<platform::UITableViewCell> tableViewCellForRowAtIndexPath(platform::UITableView& t,
                                                                            const platform::NSIndexPath& p) override {
        return model.cellForRow(t, p);
    }
    std::optional<std::string> tableViewTitleForHeaderInSection(platform::UITableView&, long s) override {
        return OptionSection::headerTitle(model.options()[std::size_t(s)].kind());
    }
    OptionViewModel model;
};

class SettingsLook : public quorvel::testing::SettingsScreenTest {
protected:
    void showInNavigation(const std::shared_ptr<platform::UIViewController>& root) {
        window->setRootViewController(platform::UINavigationController::withRootViewController(root));
        window->makeKeyAndVisible();
        clock->advance(0.5);
        window->layoutIfNeeded();
    }
    std::shared_ptr<UIImage> write(const std::string& name) {
        window->layoutIfNeeded();
        const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / name;
        std::filesystem::create_directories(out.parent_path());
        EXPECT_TRUE(platform::LayerRenderer::writeViewPNG(*window, out, 2));
        return platform::LayerRenderer::renderView(*window, 2);
    }
    static bool near(UIImage::Pixel p, int r, int g, int b) {
        return std::abs(p.r - r) <= 3 && std::abs(p.g - g) <= 3 && std::abs(p.b - b) <= 3;
    }
    UIImage::Pixel at(const UIImage& image, platform::CGPoint point) {
        return image.pixelAt(int(point.x * 2), int(point.y * 2));
    }

    std::shared_ptr<platform::UIWindow> window = std::make_shared<platform::UIWindow>(CGRect(0, 0, 375, 667));
};

}  // namespace

// Written as PNGs for a person to look at: the top of the list, then the volume and switch rows.
TEST_F(SettingsLook, SettingsListInANavigationController) {
    UserDefaultProperties::save(UserDefaultProperties::alarmVolume(0.55f));
    auto list = std::make_shared<SettingsListController>();
    showInNavigation(list);
    auto image = write("settings_list.png");
    auto badge = std::dynamic_pointer_cast<OptionTableViewCell>(
                     list->tableView()->cellForRowAtIndexPath(platform::NSIndexPath::indexPathForRow(0, 0)))
                     ->badgeLabel();
    const CGRect frame = badge->convertRectToView(badge->bounds(), nullptr);
    EXPECT_TRUE(near(at(*image, {frame.minX() + 3, frame.midY()}), 230, 230, 230)) << "the grey badge";

    list->tableView()->scrollToRowAtIndexPath(platform::NSIndexPath::indexPathForRow(0, 4),
                                              platform::UITableViewScrollPosition::top, false);
    image = write("settings_list_rows.png");
    auto colour = std::dynamic_pointer_cast<OptionTableViewCell>(
                      list->tableView()->cellForRowAtIndexPath(platform::NSIndexPath::indexPathForRow(0, 4)))
                      ->badgeLabel();
    const CGRect colourFrame = colour->convertRectToView(colour->bounds(), nullptr);
    EXPECT_TRUE(near(at(*image, {colourFrame.minX() + 4, colourFrame.midY()}), 255, 64, 64)) << "the focus colour";
}

TEST_F(SettingsLook, AutoResetHourList) {
    UserDefaultProperties::save(UserDefaultProperties::autoResetHour(7));
    auto list = std::make_shared<ValueTableController>();
    showInNavigation(list);
    clock->advance(0.6);
    auto image = write("auto_reset_list.png");
    auto cell = std::dynamic_pointer_cast<ValueSelectionCell>(
        list->tableView()->cellForRowAtIndexPath(platform::NSIndexPath::indexPathForRow(8, 0)));
    const CGRect circle = cell->grayCirle()->convertRectToView(cell->grayCirle()->bounds(), nullptr);
    EXPECT_TRUE(near(at(*image, {circle.midX(), circle.midY()}), 255, 64, 64)) << "the marked hour's circle";
}

TEST_F(SettingsLook, VolumeSheetOverTheList) {
    auto list = std::make_shared<SettingsListController>();
    showInNavigation(list);
    auto sheet = VolumeAlertViewController::loadFromNib();
    sheet->setTintColor(platform::UIColor::colorWithRed(1, 0.2509804, 0.2509804, 1));
    sheet->show(*window->rootViewController(), "Volume of Ticking", 0.75f);
    clock->advance(0.5);
    auto image = write("volume_sheet.png");
    EXPECT_EQ(sheet->subtitleLabel()->text(), "7.5");
    EXPECT_TRUE(near(at(*image, {187, 667 - 100}), 255, 255, 255)) << "the card";
    EXPECT_FALSE(near(at(*image, {187, 200}), 255, 255, 255)) << "the dimmed list";
}
