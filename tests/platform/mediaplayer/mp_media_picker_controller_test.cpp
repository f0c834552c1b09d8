#include "platform/mediaplayer/mp_media_picker_controller.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "platform/foundation/clock.h"
#include "platform/mediaplayer/mp_media_item_collection.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/uikit/application/ui_window.h"
#include "tests/support/main_queue_until.h"
#include "tests/support/song_file.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using Status = MPMediaLibraryAuthorizationStatus;

namespace {

// Records how pickers end.
struct Heard : MPMediaPickerControllerDelegate {
    void mediaPicker(MPMediaPickerController&, const MPMediaItemCollection& collection) override {
        for (const auto& item : collection.items()) picked.push_back(item->title());
    }
    void mediaPickerDidCancel(MPMediaPickerController&) override { ++cancelled; }
    std::vector<std::string> picked;
    int cancelled = 0;
};


class MediaPicker : public ::testing::Test {
protected:
    MediaPicker() {
        std::filesystem::create_directories(music);
        for (const auto* name : {"Morning.mp3", "Evening.ogg"}) quorvel::testing::writeSong(music / name);
        MPMediaLibrary::setMusicFolderForTesting(music);
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
    }
    ~MediaPicker() override {
        MPMediaLibrary::setMusicFolderForTesting({});
        MPMediaLibrary::setAuthorizationForTesting(Status::authorized, Status::authorized);
    }

    // The screen under the picker, counting its disappearances.
    struct Screen : UIViewController {
        int disappearances = 0;
        void viewWillDisappear(bool) override { ++disappearances; }
    };

    quorvel::testing::TempDataRoot root;
    std::filesystem::path music = root.path() / "Music";
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>();
    std::shared_ptr<Screen> screen = std::make_shared<Screen>();
    std::shared_ptr<Heard> heard = std::make_shared<Heard>();
};

}  // namespace

TEST_F(MediaPicker, ListsTheSongsAndHandsBackTheOneTappedOrTheCancel) {
    auto picker = std::make_shared<MPMediaPickerController>(MPMediaType::music);
    picker->setDelegate(heard);
    picker->setPrompt("Pick one");
    picker->setShowsCloudItems(false);
    picker->setShowsItemsWithProtectedAssets(false);
    screen->presentViewController(picker, true);
    clock->runUntilIdle();

    EXPECT_EQ(screen->disappearances, 0) << "the screen below stays in place, as under a sheet";
    auto table = picker->tableView();
    table->layoutIfNeeded();
    ASSERT_EQ(table->numberOfRowsInSection(0), 2);
    EXPECT_EQ(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0))->textLabel()->text(), "Evening");
    EXPECT_EQ(picker->promptLabel()->text(), "Pick one");

    picker->tableViewDidSelectRowAtIndexPath(*table, NSIndexPath::indexPathForRow(1, 0));
    EXPECT_EQ(heard->picked, std::vector<std::string>{"Morning"});
    picker->cancelButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(heard->cancelled, 1);
}

// A file that turns out not to decode keeps its row, greyed and marked, for as long as the picker is
// open: the row under a finger is the row the person read. Opened again, the list leaves it out.
TEST_F(MediaPicker, ASongFoundNotToPlayKeepsItsRowUntilThePickerOpensAgain) {
    std::ofstream(music / "Awful.mp3") << "not a song";  // sorts first
    auto picker = std::make_shared<MPMediaPickerController>();
    picker->setDelegate(heard);
    screen->presentViewController(picker, false);
    auto table = picker->tableView();
    const auto row = [&](long index) {
        table->layoutIfNeeded();
        return table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(index, 0));
    };
    ASSERT_EQ(table->numberOfRowsInSection(0), 3);
    ASSERT_TRUE(quorvel::testing::runMainQueueUntil(*clock, [&] {
        return row(0)->detailTextLabel()->text() == MPMediaPickerController::kUnplayableMark &&
               picker->items()[1]->isKnownPlayable() && picker->items()[2]->isKnownPlayable();
    }));

    ASSERT_EQ(table->numberOfRowsInSection(0), 3);
    EXPECT_EQ(row(0)->textLabel()->text(), "Awful");
    EXPECT_FALSE(picker->tableViewShouldHighlightRowAtIndexPath(*table, NSIndexPath::indexPathForRow(0, 0)));
    EXPECT_FALSE(picker->tableViewWillSelectRowAtIndexPath(*table, NSIndexPath::indexPathForRow(0, 0)));
    EXPECT_EQ(row(1)->textLabel()->text(), "Evening");
    EXPECT_EQ(row(1)->detailTextLabel()->text(), "");
    ASSERT_TRUE(picker->tableViewWillSelectRowAtIndexPath(*table, NSIndexPath::indexPathForRow(1, 0)));
    picker->tableViewDidSelectRowAtIndexPath(*table, NSIndexPath::indexPathForRow(1, 0));
    EXPECT_EQ(heard->picked, std::vector<std::string>{"Evening"});

    auto again = std::make_shared<MPMediaPickerController>();
    again->loadViewIfNeeded();
    ASSERT_EQ(again->items().size(), 2u);
    EXPECT_EQ(again->items()[0]->title(), "Evening");
}

TEST_F(MediaPicker, AnUnreadableFolderListsNothing) {
    std::filesystem::remove_all(music);
    auto picker = std::make_shared<MPMediaPickerController>();
    picker->loadViewIfNeeded();
    EXPECT_TRUE(picker->items().empty());
    EXPECT_EQ(picker->tableView()->numberOfRowsInSection(0), 0);
}

TEST(MediaLibraryAccess, AnUndecidedLibraryAsksOnceAndTheAnswerComesOnAnotherThread) {
    auto clock = VirtualClock::install();
    MPMediaLibrary::setAuthorizationForTesting(Status::notDetermined, Status::denied);
    std::optional<Status> heard;
    std::thread::id heardOn;
    MPMediaLibrary::requestAuthorization([&](Status status) {
        heard = status;
        heardOn = std::this_thread::get_id();
    });
    clock->runUntilIdle();
    EXPECT_EQ(heard, Status::denied);
    EXPECT_NE(heardOn, std::this_thread::get_id());
    EXPECT_EQ(MPMediaLibrary::authorizationStatus(), Status::denied);

    // A decision stands.
    MPMediaLibrary::setAuthorizationForTesting(Status::denied, Status::authorized);
    MPMediaLibrary::requestAuthorization([&](Status status) { heard = status; });
    clock->runUntilIdle();
    EXPECT_EQ(heard, Status::denied);
    MPMediaLibrary::setAuthorizationForTesting(Status::authorized, Status::authorized);
}
