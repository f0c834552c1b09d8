#include "platform/avfoundation/silent_loop_check.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/avfoundation/isolated_sound_decoder.h"
#include "platform/avfoundation/sound_stream.h"

namespace platform {

bool SilentLoopCheck::isSilent(const std::filesystem::path& file) {
    std::string problem;
    const auto decoder = IsolatedSoundDecoder::open(file, &problem);
    if (!decoder) return false;
    const auto due = DecoderProcess::Deadline::in(IsolatedSoundDecoder::kDeadline);
    constexpr int kStep = 4096;
    std::vector<std::int16_t> samples(2 * kStep);
    // A whole step per read until the pass ends: at most this many reads before the pass is too long.
    for (std::size_t frames = 0; frames <= SoundStream::kMostFramesInMemory;) {
        const int read = decoder->read(samples.data(), kStep, true, due);
        if (read <= 0) return frames > 0 && decoder->answering();
        if (std::any_of(samples.begin(), samples.begin() + 2 * read, [](std::int16_t s) { return s != 0; })) {
            return false;
        }
        frames += static_cast<std::size_t>(read);
        // The child answers a read in full until the file ends: a short answer is the pass's last.
        if (read < kStep) return true;
    }
    return false;
}

}  // namespace platform
