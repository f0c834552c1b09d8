#include "platform/mediaplayer/mp_media_picker_controller.h"

#include "platform/mediaplayer/mp_media_item_collection.h"
#include "platform/mediaplayer/mp_media_query.h"
#include "platform/mediaplayer/song_probes.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"

namespace platform {

namespace {
constexpr CGFloat kHeaderHeight = 56;
constexpr CGFloat kMargin = 16;
constexpr CGFloat kCancelWidth = 72;
}  // namespace

MPMediaPickerController::MPMediaPickerController(MPMediaType mediaTypes) : mediaTypes_(mediaTypes) {
    setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
}

void MPMediaPickerController::setPrompt(const std::string& prompt) {
    prompt_ = prompt;
    if (promptLabel_) promptLabel_->setText(prompt);
}

MPMediaPickerController::~MPMediaPickerController() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

void MPMediaPickerController::viewDidLoad() {
    UITableViewController::viewDidLoad();
    readSongs();
    // Songs whose probe has not answered yet are listed greyed, and cannot be picked: one that turns
    // out to decode can be, one that does not stays in its row, marked, so no row moves under a finger
    // about to tap it. The list is read again only when the picker opens again.
    std::weak_ptr<MPMediaPickerController> weak =
        std::static_pointer_cast<MPMediaPickerController>(shared_from_this());
    NSNotificationCenter::defaultCenter().addObserver(
        this, SongProbes::didAnswerNotification, [weak](const NSNotification&) {
            if (const auto picker = weak.lock(); picker && picker->tableView()) picker->tableView()->reloadData();
        });

    auto table = tableView();
    if (!table) return;
    table->setBackgroundColor(UIColor::whiteColor());
    table->registerClass(
        [](const std::string& identifier) {
            return std::make_shared<UITableViewCell>(UITableViewCellStyle::subtitle, identifier);
        },
        kCellIdentifier);
    // Sized with the safe area in viewWillLayoutSubviews.
    auto header = std::make_shared<UIView>();
    header->setBackgroundColor(UIColor::colorWithWhite(0.97, 1));
    promptLabel_ = std::make_shared<UILabel>();
    promptLabel_->setFont(UIFont::systemFontOfSize(15));
    promptLabel_->setTextColor(UIColor::darkGrayColor());
    promptLabel_->setText(prompt_);
    cancelButton_ = UIButton::buttonWithType(UIButtonType::system);
    cancelButton_->setTitle("Cancel", UIControlStateNormal);
    cancelButton_->addTarget(std::static_pointer_cast<MPMediaPickerController>(shared_from_this()),
                             &MPMediaPickerController::cancel, UIControlEventTouchUpInside);
    header->addSubview(promptLabel_);
    header->addSubview(cancelButton_);
    header_ = header;
    table->setTableHeaderView(header);
    table->setTableFooterView(std::make_shared<UIView>());
}

// The header's ground runs under the status bar and the sensor housing; its prompt and button keep to
// the safe area. Sized before the table lays out its rows, which then follow the header.
void MPMediaPickerController::viewWillLayoutSubviews() {
    UITableViewController::viewWillLayoutSubviews();
    const auto table = tableView();
    if (!table || !header_) return;
    const UIEdgeInsets safe = table->safeAreaInsets();
    const CGFloat width = table->bounds().size.width;
    if (header_->frame().height() != kHeaderHeight + safe.top) {
        header_->setFrame(CGRect(0, 0, width, kHeaderHeight + safe.top));
        table->setTableHeaderView(header_);
    }
    const CGFloat trailing = width - safe.right - kMargin;
    promptLabel_->setFrame(CGRect(safe.left + kMargin, safe.top,
                                  std::max<CGFloat>(0, trailing - kCancelWidth - safe.left - kMargin),
                                  kHeaderHeight));
    cancelButton_->setFrame(CGRect(trailing - kCancelWidth, safe.top, kCancelWidth, kHeaderHeight));
}

long MPMediaPickerController::tableViewNumberOfRowsInSection(UITableView&, long) {
    return static_cast<long>(items_.size());
}

std::shared_ptr<UITableViewCell> MPMediaPickerController::tableViewCellForRowAtIndexPath(
    UITableView& tableView, const NSIndexPath& indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellIdentifier, indexPath);
    if (const auto item = itemAt(indexPath)) {
        const auto answer = SongProbes::shared().answerFor(item->file());
        const bool playable = answer == SongProbes::Answer::playable;
        cell->textLabel()->setText(item->title());
        cell->textLabel()->setTextColor(playable ? UIColor::blackColor() : UIColor::lightGrayColor());
        cell->detailTextLabel()->setText(answer == SongProbes::Answer::unplayable ? kUnplayableMark : "");
        cell->detailTextLabel()->setTextColor(UIColor::grayColor());
        cell->setSelectionStyle(playable ? UITableViewCellSelectionStyle::default_
                                         : UITableViewCellSelectionStyle::none);
        cell->setNeedsLayout();
    }
    return cell;
}

bool MPMediaPickerController::tableViewShouldHighlightRowAtIndexPath(UITableView&,
                                                                     const NSIndexPath& indexPath) {
    const auto item = itemAt(indexPath);
    return item && item->isKnownPlayable();
}

std::optional<NSIndexPath> MPMediaPickerController::tableViewWillSelectRowAtIndexPath(
    UITableView& tableView, const NSIndexPath& indexPath) {
    if (tableViewShouldHighlightRowAtIndexPath(tableView, indexPath)) return indexPath;
    return std::nullopt;
}

void MPMediaPickerController::tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& indexPath) {
    const auto item = itemAt(indexPath);
    if (!item) return;
    if (auto listener = delegate()) listener->mediaPicker(*this, MPMediaItemCollection({item}));
}

std::shared_ptr<MPMediaItem> MPMediaPickerController::itemAt(const NSIndexPath& indexPath) const {
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= items_.size()) return nullptr;
    return items_[static_cast<std::size_t>(indexPath.row)];
}

void MPMediaPickerController::readSongs() {
    auto query = MPMediaQuery::songsQuery();
    if (!showsCloudItems_)
        query->addFilterPredicate(
            MPMediaPropertyPredicate::predicateWithValue("0", MPMediaItemPropertyIsCloudItem));
    if (!showsProtected_) {
        query->addFilterPredicate(
            MPMediaPropertyPredicate::predicateWithValue("0", MPMediaItemPropertyHasProtectedAsset));
    }
    items_ = query->items().value_or(std::vector<std::shared_ptr<MPMediaItem>>{});
}

void MPMediaPickerController::cancel() {
    if (auto listener = delegate()) listener->mediaPickerDidCancel(*this);
}

}  // namespace platform
