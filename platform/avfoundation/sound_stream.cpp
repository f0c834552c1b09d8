#include "platform/avfoundation/sound_stream.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>

#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/isolated_sound_decoder.h"
#include "platform/foundation/console.h"

namespace platform {

namespace {

constexpr std::size_t kChannels = 2;
constexpr std::size_t kBytesPerFrame = kChannels * sizeof(std::int16_t);
// The decoding thread sleeps until this much of the ring has played, then fills it again: a few
// wake-ups a second, with a sixth of a second still buffered when it starts.
constexpr std::size_t kRefillFrames = SoundStream::kBufferFrames / 2;
// Decoded in one go, outside the lock: a refill is one question to the decoding process.
constexpr std::size_t kStepFrames = kRefillFrames;

}  // namespace

SoundStream::SoundStream(std::filesystem::path file, bool looping)
    : file_(std::move(file)), buffer_(kBufferFrames * kChannels), looping_(looping) {}

bool SoundStream::start(std::function<void()> ended) {
    // The thread holds the stream until it has finished with it, whoever lets go first.
    try {
        std::thread([self = shared_from_this(), ended = std::move(ended)] { self->decode(ended); }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void SoundStream::stopLooping() {
    MutexLock lock(mutex_);
    looping_ = false;
    while (!passEnds_.empty() && passEnds_.front() <= framesRead_) passEnds_.pop_front();
    if (passEnds_.empty()) return;
    framesWritten_ = passEnds_.front();
    passEnds_.clear();
    lastPassDecoded_ = true;
    changed_.notify_all();
}

void SoundStream::cancel() {
    MutexLock lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
}

bool SoundStream::hasClosedItsFile() const {
    MutexLock lock(mutex_);
    return fileClosed_;
}

std::size_t SoundStream::keptFrames() const {
    return kept_.size() / kChannels;
}

bool SoundStream::playedOut() const {
    return lastPassDecoded_ && framesRead_ == framesWritten_ &&
           (!passKept_ || (!looping_ && passAt_ == keptFrames()));
}

void SoundStream::fill(std::uint8_t* out, int bytes) {
    const auto wanted = static_cast<std::size_t>(bytes) / kBytesPerFrame;
    std::size_t done = 0;
    {
        MutexLock lock(mutex_);
        while (done < wanted && framesRead_ < framesWritten_) {
            const std::size_t at = framesRead_ % kBufferFrames;
            const std::size_t run = std::min({wanted - done, static_cast<std::size_t>(framesWritten_ - framesRead_),
                                              kBufferFrames - at});
            std::memcpy(out + done * kBytesPerFrame, &buffer_[at * kChannels], run * kBytesPerFrame);
            done += run;
            framesRead_ += run;
        }
        // The first pass came through the ring; a kept one goes on from memory.
        if (passKept_ && framesRead_ == framesWritten_) {
            const std::size_t frames = keptFrames();
            while (done < wanted && (passAt_ < frames || looping_)) {
                if (passAt_ == frames) passAt_ = 0;
                const std::size_t run = std::min(wanted - done, frames - passAt_);
                std::memcpy(out + done * kBytesPerFrame, &kept_[passAt_ * kChannels], run * kBytesPerFrame);
                done += run;
                passAt_ += run;
            }
        }
        if (decoderWaits_ && framesWritten_ - framesRead_ <= kBufferFrames - kRefillFrames) {
            decoderWaits_ = false;
            changed_.notify_all();
        }
        if (!endTold_ && playedOut()) {
            endTold_ = true;
            changed_.notify_all();
        }
    }
    std::memset(out + done * kBytesPerFrame, 0, static_cast<std::size_t>(bytes) - done * kBytesPerFrame);
}

bool SoundStream::append(const std::int16_t* frames, std::size_t count) {
    MutexLock lock(mutex_);
    if (lastPassDecoded_) return false;
    for (std::size_t done = 0; done < count;) {
        const std::size_t at = framesWritten_ % kBufferFrames;
        const std::size_t run = std::min(count - done, kBufferFrames - at);
        std::memcpy(&buffer_[at * kChannels], frames + done * kChannels, run * kBytesPerFrame);
        done += run;
        framesWritten_ += run;
    }
    return true;
}

// The decoding thread.
void SoundStream::decode(const std::function<void()>& ended) {
    std::string problem;
    auto decoder = IsolatedSoundDecoder::open(file_, &problem);
    if (!decoder) Console::print("SoundStream: cannot play " + file_.string() + " (" + problem + ")");
    // A loop's first pass is kept while it fits. Only a file at the mixer's rate: each of its frames
    // converts on its own, so the kept pass is exactly what decoding it again would give.
    std::vector<std::int16_t> pass;
    bool keeping = false;
    if (decoder && decoder->convertsFrameByFrame()) {
        const double frames = decoder->duration() * AudioOutput::kFrequency;
        MutexLock lock(mutex_);
        keeping = looping_ && frames <= static_cast<double>(kMostFramesInMemory);
        if (keeping && frames > 0) pass.reserve((static_cast<std::size_t>(frames) + kStepFrames) * kChannels);
    }
    std::vector<std::int16_t> step(kStepFrames * kChannels);
    std::size_t framesThisPass = 0;
    while (decoder) {
        bool looping;
        {
            MutexLock lock(mutex_);
            if (framesWritten_ - framesRead_ > kBufferFrames - kStepFrames) {
                decoderWaits_ = true;
                while (!cancelled_ && framesWritten_ - framesRead_ > kBufferFrames - kRefillFrames) lock.wait(changed_);
                decoderWaits_ = false;
            }
            if (cancelled_) return;
            looping = looping_;
        }
        const auto frames = static_cast<std::size_t>(decoder->read(step.data(), static_cast<int>(kStepFrames), !looping));
        if (frames > 0) {
            if (!append(step.data(), frames)) break;
            if (keeping && framesThisPass + frames > kMostFramesInMemory) {
                keeping = false;
                std::vector<std::int16_t>().swap(pass);
            }
            if (keeping) pass.insert(pass.end(), step.begin(), step.begin() + static_cast<long>(frames * kChannels));
            framesThisPass += frames;
            continue;
        }
        {
            MutexLock lock(mutex_);
            // A pass that gave nothing would loop forever without a sound.
            if (!looping_ || framesThisPass == 0) break;
            passEnds_.push_back(framesWritten_);
            if (keeping) {
                kept_ = std::move(pass);
                passAt_ = keptFrames();
                passKept_ = true;
                break;
            }
        }
        if (!decoder->rewind()) break;
        framesThisPass = 0;
    }
    decoder.reset();
    {
        MutexLock lock(mutex_);
        fileClosed_ = true;
        lastPassDecoded_ = true;
        while (!cancelled_ && !playedOut()) lock.wait(changed_);
        if (cancelled_) return;
    }
    if (ended) ended();
}

}  // namespace platform
