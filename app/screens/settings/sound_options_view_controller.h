#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/audio_player.h"
#include "app/core/sound_vocabulary.h"
#include "platform/foundation/ns_timer.h"
#include "platform/mediaplayer/mp_media_picker_controller_delegate.h"
#include "platform/uikit/tables/ui_table_view_controller.h"

namespace quorvel {

class ValueSelectionCell;

// The list of alarm or ticking sounds of one session type. A tap stores the choice at once and plays a
// preview of at most four seconds; the ticking list's first row, "Music", picks a song from the music
// folder instead. Leaving after the ticking choice changed tells the timer engine ("NewTickingSoundSet").
// Main thread only.
class SoundOptionsViewController : public platform::UITableViewController,
                                   public platform::MPMediaPickerControllerDelegate {
public:
    static constexpr const char* kCellIdentifier = "tickingSelectionCell";
    static constexpr double kPreviewSeconds = 4.0;

    SoundOptionsViewController();
    ~SoundOptionsViewController() override;

    const std::shared_ptr<AudioPlayer>& previewAudioPlayer() const { return previewAudioPlayer_; }
    const std::vector<std::string>& viewData() const { return viewData_; }
    // Set by the settings screen before the list is shown.
    const SoundOptionFunction& function() const { return function_; }
    void setFunction(const SoundOptionFunction& function) { function_ = function; }
    const std::optional<std::string>& initialAudioFileName() const { return initialAudioFileName_; }
    const std::optional<std::string>& selectedAudioFileName() const { return selectedAudioFileName_; }

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;
    long numberOfSectionsInTableView(platform::UITableView& tableView) override;
    long tableViewNumberOfRowsInSection(platform::UITableView& tableView, long section) override;
    std::shared_ptr<platform::UITableViewCell> tableViewCellForRowAtIndexPath(
        platform::UITableView& tableView, const platform::NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(platform::UITableView& tableView,
                                          const platform::NSIndexPath& indexPath) override;
    void mediaPicker(platform::MPMediaPickerController& mediaPicker,
                     const platform::MPMediaItemCollection& mediaItemCollection) override;
    void mediaPickerDidCancel(platform::MPMediaPickerController& mediaPicker) override;

    // The sound names of the list, the table's delegate and data source, no separators below the rows.
    virtual void loadViewData();
    virtual void updateTitle();
    // Selects the row of the stored choice; the first row marked becomes the initial one.
    virtual void markSelectedRow(ValueSelectionCell& cell, const platform::NSIndexPath& indexPath);
    // The songs that are on this machine and unprotected, or the no-songs alert when there are none.
    virtual void presentMediaPicker();
    // Stores a built-in sound (the empty text: no alarm).
    virtual void saveSound(const std::string& name);

    void stopAudioPlayer();
    // The row's resource, or else the song, looping unless it is an alarm; nothing without either.
    void previewSound(const std::optional<platform::NSIndexPath>& indexPath,
                      const std::optional<std::string>& songURL);
    void replacePreviewPlayer(std::shared_ptr<AudioPlayer> player);
    // Answers whether the music folder may be read; the answer may come on another thread.
    void requestMediaLibraryAccess(std::function<void(bool granted)> answer);

private:
    // The stored ticking sound and song of the list's session type.
    struct TickingChoice {
        std::optional<std::string> sound;
        std::optional<std::string> music;
        bool operator==(const TickingChoice&) const = default;
    };

    std::shared_ptr<SoundOptionsViewController> self();
    bool isTickingList() const;
    std::size_t sessionIndex() const;
    TickingChoice storedTickingChoice() const;
    void openMusicRow();
    void markStoredChoiceAgain();
    // A picked song known to play becomes the session kind's ticking sound, and is heard.
    void chooseSong(const std::string& url, const std::string& title);

    std::shared_ptr<AudioPlayer> previewAudioPlayer_;
    std::vector<std::string> viewData_;
    SoundOptionFunction function_ = SoundOptionFunction::alarm(SoundOptionFunction::AlarmSoundType::focus);
    std::optional<std::string> initialAudioFileName_;
    std::optional<std::string> selectedAudioFileName_;
    // What was stored when the list was shown: leaving compares with it, so one song replaced by
    // another, or a stored row never scrolled into view, still counts as a change.
    TickingChoice shownTickingChoice_;
    std::shared_ptr<platform::NSTimer> previewStop_;
};

}  // namespace quorvel
