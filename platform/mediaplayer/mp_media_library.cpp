#include "platform/mediaplayer/mp_media_library.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>

#include "platform/avfoundation/sound_file_format.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/mediaplayer/song_probes.h"

namespace platform {

const NSNotificationName MPMediaLibraryDidChangeNotification = "MPMediaLibraryDidChangeNotification";

namespace {

// A sound file of a kind the audio layer plays that no probe has refused. Other files pass in silence.
bool mayPlay(const std::filesystem::path& file) {
    return SoundFileSniffer::formatOfExtension(file) &&
           SongProbes::shared().answerFor(file) != SongProbes::Answer::unplayable;
}

std::mutex& stateMutex() {
    static std::mutex mutex;
    return mutex;
}

std::filesystem::path& testFolder() {
    static std::filesystem::path folder;
    return folder;
}

struct Authorization {
    MPMediaLibraryAuthorizationStatus current = MPMediaLibraryAuthorizationStatus::authorized;
    MPMediaLibraryAuthorizationStatus decision = MPMediaLibraryAuthorizationStatus::authorized;
};

Authorization& authorization() {
    static Authorization state;
    return state;
}

}  // namespace

MPMediaLibraryAuthorizationStatus MPMediaLibrary::authorizationStatus() {
    std::lock_guard lock(stateMutex());
    return authorization().current;
}

void MPMediaLibrary::requestAuthorization(std::function<void(MPMediaLibraryAuthorizationStatus)> handler) {
    MPMediaLibraryAuthorizationStatus decision;
    {
        std::lock_guard lock(stateMutex());
        auto& state = authorization();
        // Only an undecided status is open to a question; a decision stands.
        if (state.current == MPMediaLibraryAuthorizationStatus::notDetermined) state.current = state.decision;
        decision = state.current;
    }
    if (handler) DispatchQueue::global()->async([handler = std::move(handler), decision] { handler(decision); });
}

void MPMediaLibrary::setAuthorizationForTesting(MPMediaLibraryAuthorizationStatus current,
                                                MPMediaLibraryAuthorizationStatus decision) {
    std::lock_guard lock(stateMutex());
    authorization() = {current, decision};
}

std::filesystem::path MPMediaLibrary::musicFolder() {
    {
        std::lock_guard lock(stateMutex());
        if (!testFolder().empty()) return testFolder();
    }
    if (const char* music = std::getenv("XDG_MUSIC_DIR"); music && *music) return music;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / "Music";
}

void MPMediaLibrary::setMusicFolderForTesting(const std::filesystem::path& folder) {
    std::lock_guard lock(stateMutex());
    testFolder() = folder;
}

std::optional<std::vector<std::shared_ptr<MPMediaItem>>> MPMediaLibrary::songs() {
    const auto folder = musicFolder();
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return std::nullopt;
    std::vector<std::filesystem::path> files;
    std::filesystem::recursive_directory_iterator entries(
        folder, std::filesystem::directory_options::skip_permission_denied, error);
    if (error) return std::nullopt;
    for (auto end = std::filesystem::recursive_directory_iterator(); entries != end; entries.increment(error)) {
        if (error) break;
        if (entries->is_regular_file(error) && mayPlay(entries->path())) files.push_back(entries->path());
    }
    std::ranges::sort(files);
    std::vector<std::shared_ptr<MPMediaItem>> songs;
    for (auto& file : files) songs.push_back(std::make_shared<MPMediaItem>(std::move(file)));
    return songs;
}

}  // namespace platform
