#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/mediaplayer/mp_media_item.h"
#include "platform/mediaplayer/mp_media_picker_controller_delegate.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/tables/ui_table_view_controller.h"
#include "platform/uikit/text/ui_label.h"

namespace platform {

enum class MPMediaType : unsigned { music = 1 };

// The songs of the media library as a list with the prompt and a "Cancel" button above it: a tap on a
// song picks that one song. Presented over the screen that opens it, as a sheet would be, so that screen
// stays in place and hears no disappearance. Main thread.
class MPMediaPickerController : public UITableViewController {
public:
    static constexpr const char* kCellIdentifier = "mediaItemCell";
    // The second line of a song found not to decode, which stays in its row, greyed, while the picker
    // is open.
    static constexpr const char* kUnplayableMark = "Cannot be played";

    explicit MPMediaPickerController(MPMediaType mediaTypes = MPMediaType::music);
    ~MPMediaPickerController() override;

    MPMediaType mediaTypes() const { return mediaTypes_; }
    // Held weakly.
    std::shared_ptr<MPMediaPickerControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MPMediaPickerControllerDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::string& prompt() const { return prompt_; }
    void setPrompt(const std::string& prompt);
    // Both on by default; turned off, the list leaves such items out.
    bool showsCloudItems() const { return showsCloudItems_; }
    void setShowsCloudItems(bool shows) { showsCloudItems_ = shows; }
    bool showsItemsWithProtectedAssets() const { return showsProtected_; }
    void setShowsItemsWithProtectedAssets(bool shows) { showsProtected_ = shows; }

    // The songs listed, read when the view loads.
    const std::vector<std::shared_ptr<MPMediaItem>>& items() const { return items_; }
    const std::shared_ptr<UILabel>& promptLabel() const { return promptLabel_; }
    const std::shared_ptr<UIButton>& cancelButton() const { return cancelButton_; }

    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;
    long tableViewNumberOfRowsInSection(UITableView& tableView, long section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& tableView,
                                                                    const NSIndexPath& indexPath) override;
    // Only a song known to play can be picked.
    bool tableViewShouldHighlightRowAtIndexPath(UITableView& tableView,
                                                const NSIndexPath& indexPath) override;
    std::optional<NSIndexPath> tableViewWillSelectRowAtIndexPath(UITableView& tableView,
                                                                 const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& tableView, const NSIndexPath& indexPath) override;

    // The "Cancel" button's action.
    void cancel();

private:
    void readSongs();
    std::shared_ptr<MPMediaItem> itemAt(const NSIndexPath& indexPath) const;

    MPMediaType mediaTypes_;
    std::weak_ptr<MPMediaPickerControllerDelegate> delegate_;
    std::string prompt_;
    bool showsCloudItems_ = true;
    bool showsProtected_ = true;
    std::vector<std::shared_ptr<MPMediaItem>> items_;
    std::shared_ptr<UIView> header_;
    std::shared_ptr<UILabel> promptLabel_;
    std::shared_ptr<UIButton> cancelButton_;
};

}  // namespace platform
