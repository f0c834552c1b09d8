#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// What a decoder needs of a WAV or AIFF file — its format chunk and where its sound lies — found by a
// strict walk of the file's chunks, every one within the file's length. The decoder then reads a minimal
// file made of just those: a header built here, followed by the sound bytes of the real file. Whatever
// else a file carries (tag lists, cue points, instruments, chunks of any other kind, damaged or not) never
// reaches the decoder, so none of its parsers can be led into a loop by them.
struct SoundContainerLayout {
    // The container's header, the format chunk as the file has it, and the header of the sound chunk.
    std::string header;
    // Where in the real file the sound bytes begin, and how many there are (cut at the file's end).
    std::uint64_t soundOffset = 0;
    std::uint64_t soundSize = 0;

    // Over an open descriptor, read with pread() only. None, with the reason in `error`, when the file
    // has no format chunk or no sound chunk that lie within it.
    static std::optional<SoundContainerLayout> ofWAV(int descriptor, std::string* error);
    static std::optional<SoundContainerLayout> ofAIFF(int descriptor, std::string* error);

    // The minimal file's length: the header, then the sound bytes.
    std::uint64_t length() const { return header.size() + soundSize; }
};

}  // namespace platform
