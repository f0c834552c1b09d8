#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "platform/foundation/mutex.h"

namespace platform {

// One playing of a song file, decoded while it plays: a thread of its own decodes ahead (through an
// IsolatedSoundDecoder, since the app did not make the file) into a
// bounded buffer that the mixer's audio thread drains into a channel. Memory stays the same whatever
// the file's length, and a slow or failing decoder costs that thread, never the mixer. A looping
// stream goes back to the file's start without a seam. A loop whose pass is short (the app's own
// ticking, up to kMostFramesInMemory) is decoded once: its first pass is kept, the file is closed and
// every later pass is played from memory, so nothing decodes while it loops.
class SoundStream : public std::enable_shared_from_this<SoundStream> {
public:
    // About a third of a second ahead.
    static constexpr std::size_t kBufferFrames = 16384;
    // About 24 seconds, 4 MB: a pass no longer than this is kept.
    static constexpr std::size_t kMostFramesInMemory = std::size_t{1} << 20;

    SoundStream(std::filesystem::path file, bool looping);
    // Starts decoding; false when no thread can be had. `ended` runs on the decoding thread once the
    // last frame has been handed out, or at once when the file does not decode; never after cancel().
    bool start(std::function<void()> ended) EXCLUDES(mutex_);
    // The pass now playing is the last: what was decoded beyond its end is dropped.
    void stopLooping() EXCLUDES(mutex_);
    // Nothing plays the stream any more: decoding ends and `ended` will not run.
    void cancel() EXCLUDES(mutex_);
    // Audio thread: the next `bytes` of sound (16-bit stereo), silence where decoding lags behind.
    void fill(std::uint8_t* out, int bytes) EXCLUDES(mutex_);
    // Whether decoding has let go of the file: its last pass is decoded, or a short loop's pass is kept.
    bool hasClosedItsFile() const EXCLUDES(mutex_);

private:
    void decode(const std::function<void()>& ended) EXCLUDES(mutex_);
    // Appends decoded frames; false once the stream ends at a pass already decoded.
    bool append(const std::int16_t* frames, std::size_t count) EXCLUDES(mutex_);
    // The first pass has ended within the bound: later passes come from `pass`.
    void keep(std::vector<std::int16_t> pass) EXCLUDES(mutex_);
    // Every frame there will be has been handed out.
    bool playedOut() const REQUIRES(mutex_);
    std::size_t keptFrames() const REQUIRES(mutex_);

    const std::filesystem::path file_;
    mutable Mutex mutex_;
    std::condition_variable changed_;
    // A ring of kBufferFrames stereo frames; the counts run from the start and wrap around it.
    std::vector<std::int16_t> buffer_ GUARDED_BY(mutex_);
    std::uint64_t framesRead_ GUARDED_BY(mutex_) = 0;
    std::uint64_t framesWritten_ GUARDED_BY(mutex_) = 0;
    // Where passes end among the frames written, for a loop told to stop after the current one.
    std::deque<std::uint64_t> passEnds_ GUARDED_BY(mutex_);
    // A short loop's pass, played again from its start each time the one before has ended (the first
    // pass comes through the ring): passAt_ is the next frame.
    std::vector<std::int16_t> kept_ GUARDED_BY(mutex_);
    bool passKept_ GUARDED_BY(mutex_) = false;
    std::size_t passAt_ GUARDED_BY(mutex_) = 0;
    bool looping_ GUARDED_BY(mutex_);
    bool lastPassDecoded_ GUARDED_BY(mutex_) = false;
    bool fileClosed_ GUARDED_BY(mutex_) = false;
    bool cancelled_ GUARDED_BY(mutex_) = false;
    // The decoding thread waits for half the ring to have played; the audio thread wakes it only then
    // and at the end, not at every fill.
    bool decoderWaits_ GUARDED_BY(mutex_) = false;
    bool endTold_ GUARDED_BY(mutex_) = false;
};

}  // namespace platform
