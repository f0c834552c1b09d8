// The song's decoding process's baseline: the least a contained decoder does. The app's decoder
// (SoundFileDecoder) in a process of its own that decodes the file in steps of the given number of
// frames, as a looping song is asked for them, and writes each step to its standard output, a pipe the
// reader drains as the song plays. It ends at the end of the file, or with the write that finds the
// reader gone.
// Usage: piped_decoder <sound file> <frames a step>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/avfoundation/sound_file_decoder.h"

namespace {

bool writeAll(const void* bytes, std::size_t size) {
    const auto* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, at, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        at += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int step = argc == 3 ? std::atoi(argv[2]) : 0;
    if (step <= 0) {
        std::fprintf(stderr, "usage: piped_decoder <sound file> <frames a step>\n");
        return 2;
    }
    std::string problem;
    const auto decoder = platform::SoundFileDecoder::open(argv[1], &problem);
    if (!decoder) {
        std::fprintf(stderr, "piped_decoder: cannot decode %s (%s)\n", argv[1], problem.c_str());
        return 1;
    }
    std::vector<std::int16_t> frames(2 * static_cast<std::size_t>(step));
    for (;;) {
        int got = 0;
        while (got < step) {
            const int more = decoder->read(frames.data() + 2 * got, step - got, false);
            if (more == 0) break;
            got += more;
        }
        if (got == 0) return 0;
        if (!writeAll(frames.data(), static_cast<std::size_t>(got) * 2 * sizeof(std::int16_t))) return 0;
    }
}
