#include "platform/mediaplayer/song_probes.h"

#include "platform/avfoundation/isolated_sound_decoder.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/mediaplayer/mp_media_library.h"

namespace platform {

const NSNotificationName SongProbes::didAnswerNotification = "SongProbesDidAnswerNotification";

SongProbes& SongProbes::shared() {
    // Never destroyed: a probe may still be answering at exit.
    static auto* probes = new SongProbes();
    return *probes;
}

SongProbes::SongProbes() : queue_(DispatchQueue::createSerial("MPMediaLibrary probes")) {}

SongProbes::Answer SongProbes::answerFor(const std::filesystem::path& file) {
    std::error_code error;
    const Known now{std::filesystem::last_write_time(file, error), std::filesystem::file_size(file, error)};
    MutexLock lock(mutex_);
    const auto found = known_.find(file);
    if (found != known_.end() && found->second.isSameVersion(now)) return found->second.answer;
    known_[file] = now;
    queue_->async([this, file, now] { probe(file, now); });
    return Answer::pending;
}

void SongProbes::probe(const std::filesystem::path& file, const Known& asked) {
    std::string problem;
    const bool playable = IsolatedSoundDecoder::playableDuration(file, &problem).has_value();
    {
        MutexLock lock(mutex_);
        const auto found = known_.find(file);
        // The file changed while it was probed: the probe of its new content answers instead.
        if (found == known_.end() || !found->second.isSameVersion(asked)) return;
        // A file that went away is no longer listed: nothing to say of it.
        if (!playable && !std::filesystem::exists(file)) {
            known_.erase(found);
            return;
        }
        found->second.answer = playable ? Answer::playable : Answer::unplayable;
        if (!answerToldSoon_) {
            answerToldSoon_ = true;
            DispatchQueue::main()->async([this] {
                {
                    MutexLock lock(mutex_);
                    answerToldSoon_ = false;
                }
                NSNotificationCenter::defaultCenter().postNotificationName(didAnswerNotification);
            });
        }
    }
    if (playable) return;
    Console::print("MPMediaLibrary: left out " + file.string() + " (" + problem + ")");
    DispatchQueue::main()->async([] {
        NSNotificationCenter::defaultCenter().postNotificationName(MPMediaLibraryDidChangeNotification);
    });
}

}  // namespace platform
