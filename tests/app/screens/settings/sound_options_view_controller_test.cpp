#include "app/screens/settings/sound_options_view_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/core/app_notification_names.h"
#include "app/core/audio_manager.h"
#include "app/core/chosen_music_check.h"
#include "app/core/user_data_manager.h"
#include "app/screens/settings/value_selection_cell.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/mediaplayer/mp_media_item_collection.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/mediaplayer/mp_media_picker_controller.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_alert_controller.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "tests/app/screens/settings/settings_screen_test.h"
#include "tests/support/main_queue_until.h"

using namespace quorvel;
using P = UserDefaultProperties;
using platform::NSIndexPath;
using Alarm = SoundOptionFunction::AlarmSoundType;
using Ticking = SoundOptionFunction::TickingSoundType;
using Status = platform::MPMediaLibraryAuthorizationStatus;

namespace {

// The list pushed onto a navigation controller in a window, a music folder with two real songs, and
// every write to the settings recorded by key.
class SoundList : public quorvel::testing::SettingsScreenTest {
protected:
    SoundList() {
        std::filesystem::create_directories(music);
        const auto song = platform::NSBundle::mainBundle()->URLForResource("Rain", "mp3");
        EXPECT_TRUE(song);
        for (const auto* name : {"Autumn.mp3", "Summer Song.mp3"}) std::filesystem::copy_file(*song, music / name);
        platform::MPMediaLibrary::setMusicFolderForTesting(music);
        record(NotificationName::newTickingSoundSet());
    }
    ~SoundList() override {
        platform::MPMediaLibrary::setMusicFolderForTesting({});
        platform::MPMediaLibrary::setAuthorizationForTesting(Status::authorized, Status::authorized);
        platform::NSUserDefaults::setWriteObserver({});
    }

    void show(const SoundOptionFunction& function) {
        list = std::make_shared<SoundOptionsViewController>();
        list->setFunction(function);
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        navigation->pushViewController(list, false);
        clock->advance(0.5);
        list->tableView()->layoutIfNeeded();
        platform::NSUserDefaults::setWriteObserver(
            [this](const std::string&, const std::string& key, const std::optional<platform::Value>&) {
                writes.push_back(key);
            });
    }
    void leave() {
        navigation->popViewControllerAnimated(false);
        clock->advance(0.5);
    }
    void tap(long row) {
        auto table = list->tableView();
        table->selectRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0), false, platform::UITableViewScrollPosition::none);
        list->tableViewDidSelectRowAtIndexPath(*table, NSIndexPath::indexPathForRow(row, 0));
        clock->runUntilIdle();
    }
    long rowOf(const std::string& name) {
        const auto& rows = list->viewData();
        return long(std::find(rows.begin(), rows.end(), name) - rows.begin());
    }
    std::optional<long> markedRow() {
        auto selected = list->tableView()->indexPathForSelectedRow();
        return selected ? std::optional(selected->row) : std::nullopt;
    }
    std::shared_ptr<ValueSelectionCell> cellAt(long row) {
        return std::dynamic_pointer_cast<ValueSelectionCell>(
            list->tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
    }
    std::shared_ptr<platform::MPMediaPickerController> picker() {
        return std::dynamic_pointer_cast<platform::MPMediaPickerController>(list->presentedViewController());
    }
    // Picks the song of that title in the open picker, as a tap on its row does.
    void pick(const std::string& title) {
        auto open = picker();
        ASSERT_TRUE(open);
        auto table = open->tableView();
        for (std::size_t i = 0; i < open->items().size(); ++i) {
            if (open->items()[i]->title() == title)
                open->tableViewDidSelectRowAtIndexPath(*table, NSIndexPath::indexPathForRow(long(i), 0));
        }
        clock->advance(1);  // past the picker's arrival and departure
    }
    std::string songURL(const std::string& file) { return platform::MPMediaItem(music / file).assetURL(); }
    static std::string stored(const char* key) { return standard()->stringForKey(key).value_or("<absent>"); }
    std::string previewFile() {
        auto player = list->previewAudioPlayer();
        return player ? player->playSoundFile()->asset()->URL().string() : "";
    }
    static std::string resource(const std::string& name, const std::string& extension) {
        return platform::NSBundle::mainBundle()->URLForResource(name, extension).value().string();
    }
    std::size_t ticksPosted() { return posted.size(); }
    // The no-songs alert, once the main queue has shown it.
    std::optional<std::string> queuedAlertMessage() {
        clock->advance(1);
        const auto alert = QueuedAlertView::currentAlertView();
        return alert ? alert->message() : std::nullopt;
    }

    std::filesystem::path music = root.path() / "Music";
    std::shared_ptr<platform::UIWindow> window = std::make_shared<platform::UIWindow>();
    std::shared_ptr<platform::UINavigationController> navigation =
        platform::UINavigationController::withRootViewController(std::make_shared<platform::UIViewController>());
    std::shared_ptr<SoundOptionsViewController> list;
    std::vector<std::string> writes;
};

}  // namespace

TEST_F(SoundList, EachListNamesItsSessionTypeAndListsItsSounds) {
    show(SoundOptionFunction::alarm(Alarm::shortBreak));
    EXPECT_EQ(list->title(), "Break Alarm");
    EXPECT_EQ(list->tableView()->numberOfRowsInSection(0), 16);
    EXPECT_EQ(list->viewData().front(), "None");
    EXPECT_TRUE(list->tableView()->tableFooterView());
    show(SoundOptionFunction::ticking(Ticking::longBreak));
    EXPECT_EQ(list->title(), "Long Break Ticking");
    EXPECT_EQ(list->tableView()->numberOfRowsInSection(0), 14);
    EXPECT_EQ(cellAt(2)->textDisplayLabel()->text(), "Ticking");
    EXPECT_EQ(cellAt(2)->stringUpdateValue(), "Ticking");
}

TEST_F(SoundList, MarksTheStoredChoice) {
    show(SoundOptionFunction::alarm(Alarm::shortBreak));  // first launch: "Chimes"
    EXPECT_EQ(markedRow(), rowOf("Chimes"));
    EXPECT_EQ(list->initialAudioFileName(), "Chimes");

    P::save(P::focusAlertSound(""));
    show(SoundOptionFunction::alarm(Alarm::focus));
    EXPECT_EQ(markedRow(), 0) << "no alarm marks \"None\"";

    P::save(P::longBreakTickingMusic(songURL("Autumn.mp3")));
    P::save(P::longBreakTickingSound(""));
    show(SoundOptionFunction::ticking(Ticking::longBreak));
    EXPECT_EQ(markedRow(), 0) << "a song marks \"Music\"";
    EXPECT_EQ(list->initialAudioFileName(), "Music");

    show(SoundOptionFunction::ticking(Ticking::shortBreak));
    EXPECT_EQ(markedRow(), rowOf("Wall Clock Ticking"));
}

TEST_F(SoundList, ATapStoresTheChoiceAtOnceAndPlaysAPreviewForFourSeconds) {
    show(SoundOptionFunction::ticking(Ticking::focus));
    tap(rowOf("Rain"));
    EXPECT_EQ(writes, (std::vector<std::string>{P::key(P::Case::focusTickingMusic), P::key(P::Case::focusTickingMusicTitle),
                                                P::key(P::Case::focusTickingSound)}));
    EXPECT_EQ(stored(P::key(P::Case::focusTickingSound)), "Rain");
    EXPECT_EQ(stored(P::key(P::Case::focusTickingMusic)), "");
    EXPECT_EQ(list->selectedAudioFileName(), "Rain");
    EXPECT_EQ(previewFile(), resource("Rain", "mp3"));
    EXPECT_TRUE(list->previewAudioPlayer()->isLooping());
    EXPECT_EQ(AudioManager::shared()->players(), std::vector{list->previewAudioPlayer()});

    // A second tap replaces the first preview; the four seconds count from the last tap.
    auto first = list->previewAudioPlayer();
    clock->advance(3);
    tap(rowOf("Dripping"));
    EXPECT_EQ(first->status(), AudioPlayer::Status::detached);
    EXPECT_EQ(previewFile(), resource("Dripping", "mp3"));
    EXPECT_EQ(list->previewAudioPlayer()->status(), AudioPlayer::Status::playing);
    clock->advance(3.5);
    ASSERT_TRUE(list->previewAudioPlayer());
    auto second = list->previewAudioPlayer();
    clock->advance(0.6);
    EXPECT_FALSE(list->previewAudioPlayer());
    EXPECT_EQ(second->status(), AudioPlayer::Status::detached);
    EXPECT_TRUE(AudioManager::shared()->players().empty());
    EXPECT_EQ(loggedEvents().size(), 2u);
}

TEST_F(SoundList, AlarmsPreviewOnceAndNoneStoresWithoutPlaying) {
    show(SoundOptionFunction::alarm(Alarm::longBreak));
    tap(rowOf("Ding"));
    EXPECT_EQ(stored(P::key(P::Case::longBreakAlertSound)), "Ding");
    EXPECT_EQ(previewFile(), resource("Ding", "wav"));
    EXPECT_FALSE(list->previewAudioPlayer()->isLooping());
    EXPECT_TRUE(AudioManager::shared()->players().empty()) << "a sound played once is not kept";

    tap(0);
    EXPECT_EQ(stored(P::key(P::Case::longBreakAlertSound)), "") << "\"None\" is no alarm";
    EXPECT_FALSE(list->previewAudioPlayer());
    EXPECT_EQ(markedRow(), 0);

    show(SoundOptionFunction::ticking(Ticking::longBreak));
    tap(rowOf("Rain"));
    tap(rowOf("None"));
    EXPECT_EQ(stored(P::key(P::Case::longBreakTickingSound)), "None");
    EXPECT_EQ(stored(P::key(P::Case::longBreakTickingMusicTitle)), "");
    EXPECT_FALSE(list->previewAudioPlayer());
}

TEST_F(SoundList, ASoundMissingFromTheResourcesIsStoredAndPlaysNothing) {
    const auto empty = root.path() / "EmptyBundle";
    std::filesystem::create_directories(empty);
    show(SoundOptionFunction::alarm(Alarm::focus));
    platform::NSBundle::setMainBundlePath(empty);
    tap(rowOf("Kitten"));
    platform::NSBundle::setMainBundlePath({});
    EXPECT_EQ(stored(P::key(P::Case::focusAlertSound)), "Kitten");
    EXPECT_FALSE(list->previewAudioPlayer());
}

TEST_F(SoundList, APickedSongIsStoredPlayedAndAnnouncedOnLeaving) {
    show(SoundOptionFunction::ticking(Ticking::shortBreak));
    tap(0);
    auto open = picker();
    ASSERT_TRUE(open);
    EXPECT_EQ(open->prompt(), "Select a song to play");
    EXPECT_FALSE(open->showsCloudItems());
    EXPECT_FALSE(open->showsItemsWithProtectedAssets());
    EXPECT_EQ(open->items().size(), 2u);

    writes.clear();
    pick("Summer Song");
    EXPECT_FALSE(list->presentedViewController());
    EXPECT_EQ(writes, (std::vector<std::string>{P::key(P::Case::shortBreakTickingMusic),
                                                P::key(P::Case::shortBreakTickingMusicTitle),
                                                P::key(P::Case::shortBreakTickingSound)}));
    const auto sounds = UserDataManager::getSoundSettingData();
    EXPECT_EQ(sounds.shortBreakTickingMusic, songURL("Summer Song.mp3"));
    EXPECT_EQ(sounds.shortBreakTickingMusicTitle, "Summer Song");
    EXPECT_EQ(sounds.shortBreakTickingSound, "");
    EXPECT_EQ(list->selectedAudioFileName(), "Music");
    EXPECT_EQ(markedRow(), 0);
    ASSERT_TRUE(list->previewAudioPlayer());
    EXPECT_EQ(list->previewAudioPlayer()->playSoundFile()->asset()->URL(), songURL("Summer Song.mp3"));
    EXPECT_TRUE(list->previewAudioPlayer()->isLooping());
    clock->runUntilIdle();
    EXPECT_TRUE(list->previewAudioPlayer()->queuePlayer()) << "the song file itself loads and plays";

    EXPECT_EQ(ticksPosted(), 0u) << "nothing while the list is open";
    leave();
    ASSERT_EQ(ticksPosted(), 1u);
    EXPECT_EQ(std::any_cast<Ticking>(posted[0].object), Ticking::shortBreak);
    EXPECT_FALSE(list->previewAudioPlayer()) << "leaving ends the preview";
}

TEST_F(SoundList, LeavingAnnouncesOnlyAChangedTickingChoice) {
    // Back to the sound shown at first: nothing to reload.
    show(SoundOptionFunction::ticking(Ticking::focus));
    tap(rowOf("Rain"));
    tap(rowOf("Ticking"));
    leave();
    EXPECT_EQ(ticksPosted(), 0u);

    // One song replaced by another is a change, though both rows are "Music".
    P::save(P::focusTickingMusic(songURL("Autumn.mp3")));
    P::save(P::focusTickingSound(""));
    show(SoundOptionFunction::ticking(Ticking::focus));
    tap(0);
    pick("Summer Song");
    leave();
    EXPECT_EQ(ticksPosted(), 1u);

    // The stored row never shown (the last row, below a short window): a new choice scrolled back into
    // view becomes the "initial" row, but what was stored at first still decides.
    P::save(P::longBreakTickingSound("Fiji Beach"));
    window->setFrame(platform::CGRect(0, 0, 320, 240));
    show(SoundOptionFunction::ticking(Ticking::longBreak));
    EXPECT_FALSE(list->initialAudioFileName());
    tap(rowOf("Ticking"));
    list->tableView()->reloadData();
    list->tableView()->layoutIfNeeded();
    EXPECT_EQ(list->initialAudioFileName(), "Ticking");
    leave();
    EXPECT_EQ(ticksPosted(), 2u);

    // Alarms change nothing the engine loops.
    show(SoundOptionFunction::alarm(Alarm::focus));
    tap(rowOf("Beep"));
    leave();
    EXPECT_EQ(ticksPosted(), 2u);
}

TEST_F(SoundList, TheFirstTapOnMusicAsksForAccessAndOpensThePickerWhenAllowed) {
    platform::MPMediaLibrary::setAuthorizationForTesting(Status::notDetermined, Status::authorized);
    show(SoundOptionFunction::ticking(Ticking::focus));
    tap(0);
    EXPECT_EQ(platform::MPMediaLibrary::authorizationStatus(), Status::authorized);
    ASSERT_TRUE(picker());

    // Cancelling stores nothing and keeps the list as it was.
    picker()->cancelButton()->sendActionsForControlEvents(platform::UIControlEventTouchUpInside);
    clock->advance(1);
    EXPECT_FALSE(list->presentedViewController());
    EXPECT_EQ(markedRow(), rowOf("Ticking"));
    EXPECT_EQ(stored(P::key(P::Case::focusTickingSound)), "Ticking");
}

// Songs come from anywhere: the picker lets only those that decode be picked, the console names each one
// left out, and the stored song stays the choice.
TEST_F(SoundList, ASongThatDoesNotDecodeIsNeverOfferedAndTheStoredSongStays) {
    using namespace std::string_literals;
    std::ofstream(music / "Broken Title.mp3") << "ID3\x03\0\0\0\0\0\x20"s + "TIT2\x7f\xff\xff\xff\0\0\x03Song";
    std::ofstream(music / "Speech.wav") << "Creative Voice File\x1a\x1a\x00\x0a\x01\x29\x11"s;
    std::ofstream(music / "Tiny.flac") << "fLaC";
    P::save(P::focusTickingMusic(songURL("Autumn.mp3")));
    P::save(P::focusTickingSound(""));
    show(SoundOptionFunction::ticking(Ticking::focus));
    platform::Console::Capture console;
    tap(0);
    ASSERT_TRUE(picker());
    // The picker opens without waiting for the songs' probes; those that fail keep their rows while it
    // is open, and cannot be picked.
    const auto offered = [&] {
        std::vector<std::string> titles;
        const auto open = picker();
        for (std::size_t i = 0; i < open->items().size(); ++i) {
            const auto row = NSIndexPath::indexPathForRow(long(i), 0);
            if (open->tableViewShouldHighlightRowAtIndexPath(*open->tableView(), row))
                titles.push_back(open->items()[i]->title());
        }
        return titles;
    };
    const std::vector<std::string> playable = {"Autumn", "Summer Song"};
    const char* const refused[] = {"Broken Title.mp3", "Speech.wav", "Tiny.flac"};
    const auto allRefused = [&] {
        return std::ranges::all_of(refused, [&](const char* name) {
            return console.contains("left out " + (music / name).string());
        });
    };
    EXPECT_TRUE(quorvel::testing::runMainQueueUntil(*clock, [&] { return allRefused() && offered() == playable; }));
    EXPECT_EQ(offered(), playable);
    EXPECT_EQ(picker()->items().size(), 5u);

    picker()->cancelButton()->sendActionsForControlEvents(platform::UIControlEventTouchUpInside);
    clock->advance(1);
    EXPECT_EQ(markedRow(), 0);
    EXPECT_EQ(UserDataManager::getSoundSettingData().focusTickingMusic, songURL("Autumn.mp3"));
}

// The song of an open list is refused when a session starts: the list marks the default sound that
// took its place.
TEST_F(SoundList, AnOpenListMarksTheDefaultSoundOnceItsSongIsRefused) {
    const auto url = songURL("Autumn.mp3");
    for (const auto& value : {P::shortBreakTickingMusic(url), P::shortBreakTickingMusicTitle("Autumn"),
                              P::shortBreakTickingSound("")})
        P::save(value);
    show(SoundOptionFunction::ticking(Ticking::shortBreak));
    ASSERT_EQ(markedRow(), 0);
    ChosenMusicCheck::refuseChosenSong(url);
    clock->runUntilIdle();
    list->tableView()->layoutIfNeeded();
    EXPECT_EQ(markedRow(), rowOf("Wall Clock Ticking"));
    EXPECT_EQ(cellAt(0)->textDisplayLabel()->text(), "Music");
}

TEST_F(SoundList, AnAlarmListStoresNoSong) {
    show(SoundOptionFunction::alarm(Alarm::focus));
    auto picker = std::make_shared<platform::MPMediaPickerController>();
    list->mediaPicker(*picker, platform::MPMediaItemCollection({std::make_shared<platform::MPMediaItem>(music / "Autumn.mp3")}));
    EXPECT_EQ(stored(P::key(P::Case::focusAlertSound)), "Desk");
    EXPECT_EQ(stored(P::key(P::Case::focusTickingMusic)), "");
    EXPECT_FALSE(list->previewAudioPlayer());
}

TEST_F(SoundList, WithoutSongsOrWithoutAccessThePickerStaysClosedAndTheNoSongsAlertShows) {
    const std::string noSongs =
        "We could not find songs from your media library.\nPlease check your media library or permission.";
    platform::MPMediaLibrary::setAuthorizationForTesting(Status::notDetermined, Status::denied);
    show(SoundOptionFunction::ticking(Ticking::focus));
    tap(0);
    EXPECT_FALSE(picker());
    EXPECT_EQ(queuedAlertMessage(), noSongs);
    EXPECT_EQ(stored(P::key(P::Case::focusTickingSound)), "Ticking");
    EXPECT_EQ(markedRow(), rowOf("Ticking")) << "the stored sound is marked again, not \"Music\"";
}

TEST_F(SoundList, AnEmptyMusicFolderOpensNoPicker) {
    for (const auto& file : std::filesystem::directory_iterator(music)) std::filesystem::remove(file.path());
    show(SoundOptionFunction::ticking(Ticking::focus));
    tap(0);
    EXPECT_FALSE(picker());
    EXPECT_TRUE(queuedAlertMessage());
    EXPECT_EQ(markedRow(), rowOf("Ticking"));
}

TEST_F(SoundList, APickWithoutASongShowsTheEmptyMusicAlertAndStoresNothing) {
    show(SoundOptionFunction::ticking(Ticking::focus));
    tap(0);
    writes.clear();
    ASSERT_TRUE(picker());
    list->mediaPicker(*picker(), platform::MPMediaItemCollection({}));
    clock->advance(1);
    auto alert = std::dynamic_pointer_cast<platform::UIAlertController>(navigation->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "Couldn't find the path for the music. Maybe it's on the Cloud and not downloaded yet?");
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(markedRow(), rowOf("Ticking"));
}
