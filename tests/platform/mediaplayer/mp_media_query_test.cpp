#include "platform/mediaplayer/mp_media_query.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/avfoundation/av_url_asset.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "tests/support/main_queue_until.h"
#include "tests/support/song_file.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

namespace {

struct MusicFolder {
    MusicFolder() {
        std::filesystem::create_directories(path / "album");
        for (const auto* name : {"b.mp3", "album/a.FLAC"}) quorvel::testing::writeSong(path / name);
        for (const auto* name : {"notes.txt", "cover.jpg"}) std::ofstream(path / name) << "x";
        MPMediaLibrary::setMusicFolderForTesting(path);
    }
    ~MusicFolder() { MPMediaLibrary::setMusicFolderForTesting({}); }

    quorvel::testing::TempDataRoot root;
    std::filesystem::path path = root.path() / "Music";
};

std::vector<std::string> titles(const std::optional<std::vector<std::shared_ptr<MPMediaItem>>>& items) {
    std::vector<std::string> texts;
    for (const auto& item : items.value()) texts.push_back(item->title());
    return texts;
}

}  // namespace

TEST(MediaLibrary, SongsAreThePlayableFilesUnderTheMusicFolderWithStableIdentifiers) {
    MusicFolder folder;
    EXPECT_EQ(MPMediaLibrary::authorizationStatus(), MPMediaLibraryAuthorizationStatus::authorized);
    auto songs = MPMediaQuery::songsQuery()->items();
    EXPECT_EQ(titles(songs), (std::vector<std::string>{"a", "b"}));
    const auto& song = songs->at(1);
    EXPECT_EQ(song->persistentID(), MPMediaItem(folder.path / "b.mp3").persistentID());
    EXPECT_NE(song->persistentID(), songs->at(0)->persistentID());
    EXPECT_EQ(song->assetURL(),
              "file://" + (folder.path / "b.mp3").string() + "?id=" + std::to_string(song->persistentID()));
}

// The asset URL is what the settings store and the player opens again: any file name must come back
// whole, and the identifier must stay the query.
TEST(MediaLibrary, AnAssetURLLeadsBackToItsFileWhateverTheName) {
    MusicFolder folder;
    for (const auto* name : {"Why?.mp3", "Side A #2.mp3", "100% Pure.mp3", "Summer%20Song.mp3", "Café Noir.mp3"}) {
        const MPMediaItem song(folder.path / name);
        const std::string url = song.assetURL();
        EXPECT_EQ(localPathOfURL(url), folder.path / name) << url;
        EXPECT_TRUE(url.ends_with("?id=" + std::to_string(song.persistentID()))) << url;
        EXPECT_EQ(url.find(' '), std::string::npos) << url;
    }
}

TEST(MediaLibrary, AFilterKeepsTheSongsWhoseIdentifierContainsTheText) {
    MusicFolder folder;
    const auto id = std::to_string(MPMediaItem(folder.path / "b.mp3").persistentID());
    auto byWhole = MPMediaQuery::songsQuery();
    byWhole->addFilterPredicate(MPMediaPropertyPredicate::predicateWithValue(
        id, MPMediaItemPropertyPersistentID, MPMediaPredicateComparison::contains));
    EXPECT_EQ(titles(byWhole->items()), std::vector<std::string>{"b"});
    auto byPart = MPMediaQuery::songsQuery();
    byPart->addFilterPredicate(MPMediaPropertyPredicate::predicateWithValue(
        id.substr(1, 6), MPMediaItemPropertyPersistentID, MPMediaPredicateComparison::contains));
    EXPECT_FALSE(byPart->items()->empty());
    auto byEquality = MPMediaQuery::songsQuery();
    byEquality->addFilterPredicate(MPMediaPropertyPredicate::predicateWithValue(id.substr(1), MPMediaItemPropertyPersistentID));
    EXPECT_TRUE(byEquality->items()->empty());
}

TEST(MediaLibrary, AMissingFolderIsNoLibraryRatherThanAnEmptyOne) {
    MusicFolder folder;
    std::filesystem::remove_all(folder.path);
    EXPECT_FALSE(MPMediaQuery::songsQuery()->items());
    std::filesystem::create_directories(folder.path);
    EXPECT_TRUE(MPMediaQuery::songsQuery()->items()->empty());
}

// A file that only looks like a song leaves the list once its probe has answered, so it cannot be
// picked; the console says which and why, the songs beside it stay, and those who list songs hear of
// the change. The list never waits for a probe: the first one holds every sound file.
TEST(MediaLibrary, ASongThatDoesNotDecodeLeavesTheListWithAConsoleLine) {
    auto clock = VirtualClock::install();
    MusicFolder folder;
    std::ofstream(folder.path / "noise.mp3") << std::string(4000, '\x5a');
    std::ofstream(folder.path / "speech.wav") << "Creative Voice File\x1a\x1a\x00\x0a\x01\x29\x11";
    std::filesystem::copy_file(folder.path / "b.mp3", folder.path / "renamed.flac");
    quorvel::testing::writeRunawayListWAV(folder.path / "runaway.wav");
    Console::Capture console;
    int changes = 0;
    const auto observer = NSNotificationCenter::defaultCenter().addObserverForName(
        MPMediaLibraryDidChangeNotification, [&](const NSNotification&) { ++changes; });
    EXPECT_EQ(MPMediaQuery::songsQuery()->items()->size(), 6u);
    const std::vector<std::string> playable = {"a", "b"};
    EXPECT_TRUE(quorvel::testing::runMainQueueUntil(
        *clock, [&] { return titles(MPMediaQuery::songsQuery()->items()) == playable; }));
    EXPECT_TRUE(quorvel::testing::runMainQueueUntil(*clock, [&] { return changes == 4; })) << changes;
    for (const char* name : {"noise.mp3", "speech.wav", "renamed.flac", "runaway.wav"})
        EXPECT_TRUE(console.contains("MPMediaLibrary: left out " + (folder.path / name).string())) << name;
    EXPECT_FALSE(console.contains("notes.txt"));
    NSNotificationCenter::defaultCenter().removeObserver(observer.get());
}
