#include "platform/avfoundation/isolated_sound_decoder.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/avfoundation/sound_file_decoder.h"

namespace platform {

namespace {

using Opening = IsolatedSoundDecoder::Opening;

struct Request {
    enum : char { read = 'r', rewind = 'w' };
    char operation = read;
    char lastPass = 0;
    std::int32_t frames = 0;
};

// What the child is started to do: answer one probe, or open the file and serve its reads.
constexpr const char* kProbe = "probe";
constexpr const char* kServe = "serve";
// The most frames one read asks for, as the app's callers do.
constexpr std::int32_t kMostFrames = 1 << 16;

bool tell(int socket, const Opening& opened, const std::string& error) {
    return DecoderProcess::write(socket, &opened, sizeof opened) &&
           DecoderProcess::write(socket, error.data(), opened.errorLength);
}

Opening failure(std::string& error) {
    error.resize(std::min<std::size_t>(error.size(), IsolatedSoundDecoder::kMostErrorLength));
    return Opening{0, 0, 0, static_cast<std::uint32_t>(error.size())};
}

// In the child: opens the file and then answers reads and rewinds until the app hangs up.
void serve(const std::filesystem::path& file, int socket) {
    std::string error;
    const auto decoder = SoundFileDecoder::open(file, &error);
    if (!decoder) {
        tell(socket, failure(error), error);
        return;
    }
    if (!tell(socket, Opening{1, decoder->convertsFrameByFrame(), decoder->duration(), 0}, "")) return;
    // Room for the frame count (two samples' worth) and the frames.
    std::vector<std::int16_t> answer;
    for (Request request; DecoderProcess::read(socket, &request, sizeof request);) {
        if (request.operation == Request::rewind) {
            const std::int32_t done = decoder->rewind();
            if (!DecoderProcess::write(socket, &done, sizeof done)) return;
            continue;
        }
        // The whole request at once, its count ahead of its frames, in one message: each answer costs
        // both processes a wake-up.
        const int wanted = std::clamp(request.frames, 0, kMostFrames);
        answer.resize(2 + static_cast<std::size_t>(wanted) * 2);
        std::int32_t got = 0;
        while (got < wanted) {
            const int more = decoder->read(answer.data() + 2 + 2 * got, wanted - got, request.lastPass);
            if (more == 0) break;
            got += more;
        }
        std::memcpy(answer.data(), &got, sizeof got);
        if (!DecoderProcess::write(socket, answer.data(),
                                   (2 + static_cast<std::size_t>(got) * 2) * sizeof(std::int16_t)))
            return;
    }
}

// An answer the child could have given. Any other comes from a decoder a file led astray, or from another
// program, and none of it is acted on: not even the length of its reason.
bool makesSense(const Opening& answer) {
    const auto isFlag = [](std::int32_t value) { return value == 0 || value == 1; };
    if (!isFlag(answer.ok) || !isFlag(answer.convertsFrameByFrame)) return false;
    if (!answer.ok) return answer.errorLength <= IsolatedSoundDecoder::kMostErrorLength;
    // Written so that NaN fails too.
    return answer.errorLength == 0 && answer.duration >= 0 &&
           answer.duration <= SoundFileDecoder::kLongestDuration;
}

// In the app: the child's answer to an opening or a probe, checked.
std::optional<Opening> opened(DecoderProcess& process, std::string* error) {
    Opening answer;
    std::string reason;
    const auto deadline = DecoderProcess::Deadline::in(IsolatedSoundDecoder::kDeadline);
    if (process.receive(&answer, sizeof answer, deadline)) {
        if (!makesSense(answer)) {
            process.kill("the decoder's answer makes no sense");
        } else {
            reason.resize(answer.errorLength);
            if (process.receive(reason.data(), reason.size(), deadline) && answer.ok)
                return answer;
        }
    }
    if (error) *error = process.alive() ? reason : process.problem();
    return std::nullopt;
}

}  // namespace

std::filesystem::path IsolatedSoundDecoder::program() {
    const char* chosen = std::getenv("QUORVEL_SOUND_DECODER");
    return chosen && *chosen ? chosen : QUORVEL_SOUND_DECODER;
}

std::unique_ptr<IsolatedSoundDecoder> IsolatedSoundDecoder::open(const std::filesystem::path& file,
                                                                 std::string* error) {
    auto process =
        DecoderProcess::start(program(), {kServe, file.string(), std::to_string(::getpid())}, error);
    if (!process) return nullptr;
    const auto answer = opened(*process, error);
    if (!answer) return nullptr;
    return std::unique_ptr<IsolatedSoundDecoder>(
        new IsolatedSoundDecoder(std::move(process), answer->duration, answer->convertsFrameByFrame != 0));
}

std::optional<double> IsolatedSoundDecoder::playableDuration(const std::filesystem::path& file,
                                                             std::string* error) {
    const auto process =
        DecoderProcess::start(program(), {kProbe, file.string(), std::to_string(::getpid())}, error);
    if (!process) return std::nullopt;
    const auto answer = opened(*process, error);
    return answer ? std::optional(answer->duration) : std::nullopt;
}

int IsolatedSoundDecoder::runChild(int argc, char** argv) {
    if (argc != 4 || !DecoderProcess::dieWithTheApp(static_cast<pid_t>(std::atol(argv[3])))) return 2;
    const std::string_view mode = argv[1];
    const std::filesystem::path file = argv[2];
    const int socket = DecoderProcess::kChildSocket;
    if (mode == kServe) {
        serve(file, socket);
    } else if (mode == kProbe) {
        std::string problem;
        const auto seconds = SoundFileDecoder::playableDuration(file, &problem);
        tell(socket, seconds ? Opening{1, 0, *seconds, 0} : failure(problem), problem);
    } else {
        return 2;
    }
    return 0;
}

int IsolatedSoundDecoder::read(std::int16_t* out, int frames, bool lastPass) {
    return read(out, frames, lastPass, DecoderProcess::Deadline::in(kDeadline));
}

int IsolatedSoundDecoder::read(std::int16_t* out, int frames, bool lastPass,
                               const DecoderProcess::Deadline& deadline) {
    const Request request{Request::read, static_cast<char>(lastPass), std::clamp(frames, 0, kMostFrames)};
    std::int32_t got = 0;
    if (!process_->send(&request, sizeof request) || !process_->receive(&got, sizeof got, deadline))
        return 0;
    if (got < 0 || got > request.frames) {
        process_->kill("the decoder's answer makes no sense");
        return 0;
    }
    const auto bytes = static_cast<std::size_t>(got) * 2 * sizeof(std::int16_t);
    return process_->receive(out, bytes, deadline) ? got : 0;
}

bool IsolatedSoundDecoder::rewind() {
    const Request request{Request::rewind, 0, 0};
    std::int32_t done = 0;
    return process_->send(&request, sizeof request) && process_->receive(&done, sizeof done, kDeadline) &&
           done == 1;
}

}  // namespace platform
