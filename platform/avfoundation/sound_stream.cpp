#include "platform/avfoundation/sound_stream.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/avfoundation/sound_file_decoder.h"
#include "platform/foundation/console.h"

namespace platform {

namespace {

constexpr std::size_t kChannels = 2;
constexpr std::size_t kBytesPerFrame = kChannels * sizeof(std::int16_t);
// Decoded in one go, outside the lock.
constexpr std::size_t kStepFrames = 2048;

}  // namespace

SoundStream::SoundStream(std::filesystem::path file, bool looping)
    : file_(std::move(file)), buffer_(kBufferFrames * kChannels), looping_(looping) {}

void SoundStream::start(std::function<void()> ended) {
    // The thread holds the stream until it has finished with it, whoever lets go first.
    std::thread([self = shared_from_this(), ended = std::move(ended)] { self->decode(ended); }).detach();
}

void SoundStream::stopLooping() {
    MutexLock lock(mutex_);
    looping_ = false;
}

void SoundStream::cancel() {
    MutexLock lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
}

void SoundStream::fill(std::uint8_t* out, int bytes) {
    const auto wanted = static_cast<std::size_t>(bytes / kBytesPerFrame);
    std::size_t done = 0;
    {
        MutexLock lock(mutex_);
        while (done < wanted && bufferedFrames_ > 0) {
            const std::size_t run = std::min({wanted - done, bufferedFrames_, kBufferFrames - readFrame_});
            std::memcpy(out + done * kBytesPerFrame, &buffer_[readFrame_ * kChannels], run * kBytesPerFrame);
            done += run;
            readFrame_ = (readFrame_ + run) % kBufferFrames;
            bufferedFrames_ -= run;
        }
        changed_.notify_all();
    }
    std::memset(out + done * kBytesPerFrame, 0, static_cast<std::size_t>(bytes) - done * kBytesPerFrame);
}

// The decoding thread.
void SoundStream::decode(const std::function<void()>& ended) {
    std::string problem;
    auto decoder = SoundFileDecoder::open(file_, &problem);
    if (!decoder) Console::print("SoundStream: cannot play " + file_.string() + " (" + problem + ")");
    std::vector<std::int16_t> step(kStepFrames * kChannels);
    std::size_t framesThisPass = 0;
    while (decoder) {
        bool looping;
        {
            MutexLock lock(mutex_);
            while (!cancelled_ && kBufferFrames - bufferedFrames_ < kStepFrames) lock.wait(changed_);
            if (cancelled_) return;
            looping = looping_;
        }
        const auto frames = static_cast<std::size_t>(decoder->read(step.data(), static_cast<int>(kStepFrames), !looping));
        if (frames == 0) {
            // A pass that gave nothing would loop forever without a sound.
            if (!looping || framesThisPass == 0 || !decoder->rewind()) break;
            framesThisPass = 0;
            continue;
        }
        framesThisPass += frames;
        MutexLock lock(mutex_);
        std::size_t writeFrame = (readFrame_ + bufferedFrames_) % kBufferFrames;
        for (std::size_t at = 0; at < frames;) {
            const std::size_t run = std::min(frames - at, kBufferFrames - writeFrame);
            std::memcpy(&buffer_[writeFrame * kChannels], &step[at * kChannels], run * kBytesPerFrame);
            at += run;
            writeFrame = (writeFrame + run) % kBufferFrames;
        }
        bufferedFrames_ += frames;
    }
    decoder.reset();
    {
        MutexLock lock(mutex_);
        while (!cancelled_ && bufferedFrames_ > 0) lock.wait(changed_);
        if (cancelled_) return;
    }
    if (ended) ended();
}

}  // namespace platform
