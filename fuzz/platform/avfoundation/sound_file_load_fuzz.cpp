// Loads arbitrary bytes as a song from the music folder does: the first byte picks the file's
// extension, the rest is its content. Sniffing, the tag reader and a bounded stretch of decoding
// (one pass, the start of the next) must neither crash, hang (the run gives an input 5 seconds) nor leak
// memory or descriptors. What the app runs in a decoding child process is this very load.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/support/fuzz_folder.h"
#include "platform/avfoundation/sound_file_decoder.h"
#include "platform/mediaplayer/audio_file_tags.h"

namespace {

constexpr const char* kExtensions[] = {".wav", ".aiff", ".mp3", ".flac", ".ogg", ".opus"};
constexpr int kMostReads = 64;

std::size_t openDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

const std::filesystem::path& folder() {
    static const quorvel::fuzzing::FuzzFolder songs("sound-file-load");
    return songs.path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const auto file = folder() / (std::string("song") + kExtensions[data[0] % std::size(kExtensions)]);
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    const std::size_t descriptors = openDescriptors();

    platform::AudioFileTags::title(file);
    platform::SoundFileDecoder::playableDuration(file, nullptr);
    if (auto decoder = platform::SoundFileDecoder::open(file, nullptr)) {
        std::int16_t frames[2 * 4096];
        int reads = 0;
        while (reads++ < kMostReads && decoder->read(frames, 4096, false) > 0) {
        }
        if (decoder->rewind()) decoder->read(frames, 4096);
    }
    if (openDescriptors() != descriptors) std::abort();
    return 0;
}
