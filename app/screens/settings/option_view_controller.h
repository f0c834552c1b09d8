#pragma once

#include <any>
#include <memory>
#include <optional>
#include <string>

#include "app/core/sound_vocabulary.h"
#include "app/core/user_default_properties.h"
#include "app/screens/settings/carousel_function.h"
#include "app/screens/settings/option_view_model.h"
#include "app/screens/settings/volume_control_type.h"
#include "platform/messageui/mf_mail_compose_view_controller_delegate.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "platform/uikit/tables/ui_table_view_delegate.h"

namespace quorvel {

// The settings screen: a grouped table of the eight sections of the settings list. A tap on a row opens
// what edits it (a picker, a sheet, a list, the colour screen, the reminder screen), resets the theme,
// opens a link or writes the feedback mail; the rows' switches act inside their cells. It rebuilds its
// list on every appearance and after every change it stores. Main thread only.
class OptionViewController : public platform::UIViewController,
                             public platform::UITableViewDataSource,
                             public platform::UITableViewDelegate,
                             public platform::MFMailComposeViewControllerDelegate {
public:
    // The storyboard's segues from this screen.
    struct SegueIdentifier {
        static constexpr const char* autoReset = "autoReset";
        static constexpr const char* soundOptions = "soundOptions";
        static constexpr const char* colourPicker = "colourPicker";
    };
    // The table positions of the sections that the colour screen and the auto-reset list change; the
    // list model always builds its sections in the same order.
    static constexpr long kFocusSessionSection = 1;
    static constexpr long kThemeColorSection = 4;

    ~OptionViewController() override;

    std::shared_ptr<platform::UITableView> tableView() const { return tableView_.lock(); }
    void setTableView(const std::shared_ptr<platform::UITableView>& tableView) { tableView_ = tableView; }
    OptionViewModel& optionViewModel() { return optionViewModel_; }
    const SoundOptionFunction& soundFunction() const { return soundFunction_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Styles the navigation bar, rebuilds the list, shows it and lets go of the selected row.
    void refreshOptions();
    void reloadColourSections();
    void reloadAutoResetSections();
    void reloadSection(long section);

    long numberOfSectionsInTableView(platform::UITableView& tableView) override;
    std::optional<std::string> tableViewTitleForHeaderInSection(platform::UITableView& tableView,
                                                                long section) override;
    long tableViewNumberOfRowsInSection(platform::UITableView& tableView, long section) override;
    std::shared_ptr<platform::UITableViewCell> tableViewCellForRowAtIndexPath(
        platform::UITableView& tableView, const platform::NSIndexPath& indexPath) override;
    bool tableViewShouldHighlightRowAtIndexPath(platform::UITableView& tableView,
                                                const platform::NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(platform::UITableView& tableView,
                                          const platform::NSIndexPath& indexPath) override;
    void prepareForSegue(platform::UIStoryboardSegue& segue, const std::any& sender) override;
    void mailComposeController(platform::MFMailComposeViewController& controller,
                               platform::MFMailComposeResult result,
                               const std::shared_ptr<platform::NSError>& error) override;

    // What a tap on the row does.
    void handleSelection(const platform::NSIndexPath& indexPath);
    // The volume sheet for the stored alarm volume.
    void onShowAlert();

    void showValuePicker(const CarouselFunction& function);
    void showVolumeSheet(const VolumeControlType& type);
    // Stores the volume, rebuilds the list and tells the timer engine which volume changed.
    void saveVolume(UserDefaultProperties (*volumeSetting)(float), bool isTicking, float value);
    // Stores the three default theme colours in both suites when the user agreed.
    void applyDefaultTheme(bool agreed);
    // The composer with the feedback mail, or the "Email Us" alert where mail cannot be sent.
    void sendFeedbackMail();
    // "Quorvel, Version 1.2,\niOS 13.0, Device iPhone".
    static std::string feedbackMailBody();

private:
    std::weak_ptr<OptionViewController> weakSelf();
    // Rebuilds the list and shows it.
    void rebuildOptions();
    void deselectSelectedRow();
    // The section of the list at a table position, if there is one.
    const OptionSection* section(long position) const;
    // A tap on a row of each kind.
    void select(const TimerLengthCell& row);
    void select(const FocusSessionCell& row);
    void select(const TickingSoundCell& row);
    void select(const AlarmSoundCell& row);
    void select(const ThemeColorCell& row);
    void select(const VolumeControlCell& row);
    void select(const GeneralCell& row);
    void select(const FeedbackCell& row);

    std::weak_ptr<platform::UITableView> tableView_;
    OptionViewModel optionViewModel_;
    SoundOptionFunction soundFunction_ = SoundOptionFunction::alarm(SoundOptionFunction::AlarmSoundType::focus);
};

}  // namespace quorvel
