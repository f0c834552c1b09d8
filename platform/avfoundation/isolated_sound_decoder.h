#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/avfoundation/decoder_process.h"

namespace platform {

// A SoundFileDecoder for a file the app did not make, run in a DecoderProcess (the program
// "quorvel-sound-decoder", built beside the app; $QUORVEL_SOUND_DECODER names another): the same calls,
// each answered within a deadline. A file whose opening or decoding does not answer in time, or answers
// what no decoder would, is unplayable like any damaged file: its child is killed, and the decoder reads
// as ended.
class IsolatedSoundDecoder {
public:
    // Far longer than a real file takes to open or to decode one step, even on a loaded machine.
    static constexpr std::chrono::milliseconds kDeadline{5000};

    // The child's answer to an opening or a probe as it crosses the socket, followed by `errorLength`
    // bytes of the reason a file does not open.
    struct Opening {
        std::int32_t ok = 0;
        std::int32_t convertsFrameByFrame = 0;
        double duration = 0;
        std::uint32_t errorLength = 0;
    };
    static constexpr std::uint32_t kMostErrorLength = 1024;

    // As SoundFileDecoder::open; null, with the reason, also when the decoder does not answer in time.
    static std::unique_ptr<IsolatedSoundDecoder> open(const std::filesystem::path& file, std::string* error);
    // As SoundFileDecoder::playableDuration, in a child of its own that ends with the answer.
    static std::optional<double> playableDuration(const std::filesystem::path& file, std::string* error);

    // The decoding program's main(): "probe FILE APP-PID" or "serve FILE APP-PID", talking to the app on
    // DecoderProcess::kChildSocket.
    static int runChild(int argc, char** argv);
    static std::filesystem::path program();

    // As SoundFileDecoder's; a child that fails to answer makes read() give 0 and rewind() false. Each
    // call's whole answer has kDeadline, or the deadline given for a run of reads.
    int read(std::int16_t* out, int frames, bool lastPass = true);
    int read(std::int16_t* out, int frames, bool lastPass, const DecoderProcess::Deadline& deadline);
    bool rewind();
    // False once the child was ended for a late or senseless answer: a read's 0 is then no end of file.
    bool answering() const { return process_->alive(); }
    double duration() const { return duration_; }
    bool convertsFrameByFrame() const { return convertsFrameByFrame_; }

private:
    IsolatedSoundDecoder(std::unique_ptr<DecoderProcess> process, double duration, bool convertsFrameByFrame)
        : process_(std::move(process)), duration_(duration), convertsFrameByFrame_(convertsFrameByFrame) {}

    std::unique_ptr<DecoderProcess> process_;
    double duration_;
    bool convertsFrameByFrame_;
};

}  // namespace platform
