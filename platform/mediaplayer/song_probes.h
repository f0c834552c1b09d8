#pragma once

#include <filesystem>
#include <map>
#include <memory>

#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_notification_center.h"

namespace platform {

class DispatchQueue;

// What the media library knows of each sound file under the music folder: whether it decodes. A file
// is probed once, and again when it changes, on a queue of the library's own, each in a child process
// with a deadline (IsolatedSoundDecoder), so no caller ever waits on a decoder. When a probe refuses a
// file, the console says which and why, and MPMediaLibraryDidChangeNotification goes out on the main
// queue.
class SongProbes {
public:
    enum class Answer { pending, playable, unplayable };

    // Posted on the main queue once probes have answered, either way, so that what shows a song as
    // not yet known can show it as it is now; answers that come together make one post.
    static const NSNotificationName didAnswerNotification;

    static SongProbes& shared();

    // What is known of `file` as it is now; pending, with its probe queued, when nothing is yet.
    Answer answerFor(const std::filesystem::path& file) EXCLUDES(mutex_);

private:
    struct Known {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        Answer answer = Answer::pending;

        bool isSameVersion(const Known& other) const {
            return modified == other.modified && size == other.size;
        }
    };

    SongProbes();
    void probe(const std::filesystem::path& file, const Known& asked) EXCLUDES(mutex_);

    std::shared_ptr<DispatchQueue> queue_;
    Mutex mutex_;
    std::map<std::filesystem::path, Known> known_ GUARDED_BY(mutex_);
    bool answerToldSoon_ GUARDED_BY(mutex_) = false;
};

}  // namespace platform
