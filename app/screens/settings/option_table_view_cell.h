#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "app/screens/settings/option_section.h"
#include "app/screens/timer/badge_label.h"
#include "platform/uikit/controls/ui_switch.h"
#include "platform/uikit/tables/ns_index_path.h"
#include "platform/uikit/tables/ui_table_view_cell.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

class OptionViewModel;

// The one row view of the settings list: a title on the left and, on the right, a badge or a switch.
// It shows one row value at a time; a flipped switch stores its setting, tells the app and logs it.
// Main thread only.
class OptionTableViewCell : public platform::UITableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "OptionTableViewCell";

    // As the table's prototype makes it, or in code; either way with no row value.
    OptionTableViewCell();
    OptionTableViewCell(platform::UITableViewCellStyle style, const std::string& reuseIdentifier);

    const std::shared_ptr<platform::UILabel>& titleLabel() const { return titleLabel_; }
    // The padded badge on the right.
    const std::shared_ptr<BadgeLabel>& badgeLabel() const { return badgeLabel_; }
    const std::shared_ptr<platform::UISwitch>& switchButton() const { return switchButton_; }

    // The row value of each kind; giving one clears the others.
    std::optional<TimerLengthCell> timerLengthCell() const { return rowValue<TimerLengthCell>(); }
    std::optional<FocusSessionCell> focusSessionCell() const { return rowValue<FocusSessionCell>(); }
    std::optional<TickingSoundCell> tickingSoundCell() const { return rowValue<TickingSoundCell>(); }
    std::optional<AlarmSoundCell> alarmSoundCell() const { return rowValue<AlarmSoundCell>(); }
    std::optional<ThemeColorCell> themeColorCell() const { return rowValue<ThemeColorCell>(); }
    std::optional<VolumeControlCell> volumeControlCell() const { return rowValue<VolumeControlCell>(); }
    std::optional<GeneralCell> generalCell() const { return rowValue<GeneralCell>(); }
    std::optional<FeedbackCell> feedbackCell() const { return rowValue<FeedbackCell>(); }
    template <class Cell>
    std::optional<Cell> rowValue() const {
        if (const Cell* cell = std::get_if<Cell>(&row_)) return *cell;
        return std::nullopt;
    }
    template <class Cell>
    void setRowValue(Cell cell) {
        row_ = std::move(cell);
    }

    // Fills the row for the section of the model at the index path from the row value it was given.
    void configure(const OptionViewModel& model, const platform::NSIndexPath& indexPath);
    void showTimerLength(const TimerLengthCell& row);
    void showFocusSession(const FocusSessionCell& row);
    void showTickingSound(const TickingSoundCell& row);
    void showAlarmSound(const AlarmSoundCell& row);
    void showThemeColor(const ThemeColorCell& row);
    void showVolumeControl(const VolumeControlCell& row);
    void showGeneral(const GeneralCell& row);

    // The switch's value-changed action.
    void switchValueChanged(platform::UISwitch& sender);
    void applySwitchChange(const platform::UISwitch& sender);

    // "Never" while the auto-reset is off; else the hour in the locale's short time form.
    static std::string autoResetText(std::int64_t hour);

    // Sets or clears the app icon badge at once when "Show Badge on Ticking" flips; the timer engine
    // installs its badge update here, which nothing else in this library can reach.
    static void setIconBadgeUpdater(std::function<void(bool)> updater);

    void layoutSubviews() override;

private:
    void build();
    void showBadge(const std::string& text);
    void showSwitch(bool on);

    std::shared_ptr<platform::UILabel> titleLabel_;
    std::shared_ptr<BadgeLabel> badgeLabel_;
    std::shared_ptr<platform::UISwitch> switchButton_;
    std::variant<std::monostate, TimerLengthCell, FocusSessionCell, TickingSoundCell, AlarmSoundCell,
                 ThemeColorCell, VolumeControlCell, GeneralCell, FeedbackCell>
        row_;
};

}  // namespace quorvel
