#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/sound_vocabulary.h"
#include "app/screens/settings/option_section.h"
#include "platform/uikit/tables/ns_index_path.h"

namespace platform {
class UITableView;
class UITableViewCell;
}  // namespace platform

namespace quorvel {

// What the settings screen asks of its list model.
class OptionViewModelProtocol {
public:
    virtual ~OptionViewModelProtocol() = default;
    virtual const std::vector<OptionSection>& options() const = 0;
    virtual const std::function<void()>& didUpdate() const = 0;
    virtual void setDidUpdate(std::function<void()> didUpdate) = 0;
    virtual void buildOptions() = 0;
};

// The settings list: eight sections of row values, read afresh from the stored settings on every
// rebuild. Writes nothing. Main thread only.
class OptionViewModel : public OptionViewModelProtocol {
public:
    const std::vector<OptionSection>& options() const override { return options_; }
    // Set by the screen and called by the screen after a rebuild, never by the model.
    const std::function<void()>& didUpdate() const override { return didUpdate_; }
    void setDidUpdate(std::function<void()> didUpdate) override { didUpdate_ = std::move(didUpdate); }

    void buildOptions() override;
    // The row's `OptionTableViewCell`, given its row value and configured. The table must serve that
    // class under its class name.
    std::shared_ptr<platform::UITableViewCell> cellForRow(platform::UITableView& tableView,
                                                          const platform::NSIndexPath& indexPath) const;

    static OptionSection makeTickingSoundSection();
    static OptionSection makeAlarmSoundSection();

private:
    std::vector<OptionSection> options_;
    std::function<void()> didUpdate_;
};

// The first row of a sound list: the name, and for a ticking list with a chosen song, " - " and the
// song's title.
std::string soundListRowTitle(const SoundOptionFunction& function, const std::string& name);

}  // namespace quorvel
