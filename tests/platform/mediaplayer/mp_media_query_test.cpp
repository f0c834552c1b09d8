#include "platform/mediaplayer/mp_media_query.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/mediaplayer/mp_media_library.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

namespace {

struct MusicFolder {
    MusicFolder() {
        std::filesystem::create_directories(path / "album");
        for (const auto* name : {"b.mp3", "album/a.FLAC", "notes.txt", "cover.jpg"}) std::ofstream(path / name) << "x";
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
