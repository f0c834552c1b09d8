#include "platform/avfoundation/sound_container_layout.h"

#include <sys/stat.h>

#include <algorithm>
#include <string_view>

#include "platform/avfoundation/file_bytes.h"

namespace platform {

namespace {

// Enough for every real file's tags and markers; a walk past this many chunks is refused.
constexpr int kMostChunks = 4096;
// The largest format chunk of either container (WAV's extensible formats and their codec data, AIFC's
// compression name) is a few dozen bytes.
constexpr std::uint64_t kMostFormatBytes = 1024;
constexpr std::uint64_t kChunkHeaderSize = 8;
// The sound chunk's length must fit its 32-bit size field beside the header.
constexpr std::uint64_t kMostSoundBytes = 0xFFFFFFFFu - 4096;

enum class Endian { little, big };

std::uint32_t number(std::string_view bytes, Endian endian) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const auto byte =
            static_cast<unsigned char>(bytes[static_cast<std::size_t>(endian == Endian::big ? i : 3 - i)]);
        value = value << 8 | byte;
    }
    return value;
}

std::string numberBytes(std::uint64_t value, Endian endian) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<std::size_t>(endian == Endian::big ? 3 - i : i)] =
            static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return bytes;
}

std::string chunk(std::string_view id, std::string_view body, Endian endian) {
    std::string bytes = std::string(id) + numberBytes(body.size(), endian) + std::string(body);
    if (body.size() % 2) bytes += '\0';
    return bytes;
}

bool isChunkId(std::string_view id) {
    return std::ranges::all_of(id, [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// One chunk found by the walk: where its body starts and how long the file lets it be.
struct Found {
    std::uint64_t body = 0;
    std::uint64_t size = 0;
};

// Walks the chunks after the container's 12-byte header until both wanted chunks are found. Every chunk
// but the sound must lie wholly within the file; the sound chunk is cut at the file's end, since files
// written while recording often leave its size unset. Offsets only grow, so the walk cannot loop.
void walk(int descriptor, std::uint64_t fileSize, Endian endian, std::string_view formatId,
          std::string_view soundId, std::optional<Found>& format, std::optional<Found>& sound) {
    std::uint64_t at = 12;
    for (int count = 0; count < kMostChunks && at + kChunkHeaderSize <= fileSize && !(format && sound);
         ++count) {
        const std::string head = bytesAt(descriptor, at, kChunkHeaderSize);
        if (head.size() < kChunkHeaderSize || !isChunkId(std::string_view(head).substr(0, 4))) return;
        const std::string_view id = std::string_view(head).substr(0, 4);
        const std::uint64_t body = at + kChunkHeaderSize,
                            size = number(std::string_view(head).substr(4), endian);
        const bool whole = size <= fileSize - body;
        if (id == soundId && !sound) {
            // A size left at zero by a recorder means the rest of the file.
            sound = Found{body, whole && size > 0 ? size : fileSize - body};
        } else if (id == formatId && !format && whole) {
            format = Found{body, size};
        }
        if (!whole) return;
        at = body + size + (size % 2);
    }
}

std::optional<SoundContainerLayout> refuse(std::string* error, const char* reason) {
    if (error) *error = reason;
    return std::nullopt;
}

std::uint64_t sizeOf(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && status.st_size > 0
               ? static_cast<std::uint64_t>(status.st_size)
               : 0;
}

}  // namespace

std::optional<SoundContainerLayout> SoundContainerLayout::ofWAV(int descriptor, std::string* error) {
    const std::uint64_t fileSize = sizeOf(descriptor);
    std::optional<Found> format, sound;
    walk(descriptor, fileSize, Endian::little, "fmt ", "data", format, sound);
    if (!format || format->size < 16 || format->size > kMostFormatBytes)
        return refuse(error, "no sound format chunk");
    if (!sound) return refuse(error, "no sound data chunk");
    SoundContainerLayout layout;
    layout.soundOffset = sound->body;
    layout.soundSize = std::min(sound->size, kMostSoundBytes);
    const std::string body = chunk("fmt ", bytesAt(descriptor, format->body, format->size), Endian::little) +
                             "data" + numberBytes(layout.soundSize, Endian::little);
    layout.header = "RIFF" + numberBytes(4 + body.size() + layout.soundSize, Endian::little) + "WAVE" + body;
    return layout;
}

std::optional<SoundContainerLayout> SoundContainerLayout::ofAIFF(int descriptor, std::string* error) {
    const std::uint64_t fileSize = sizeOf(descriptor);
    const std::string kind = bytesAt(descriptor, 8, 4);
    std::optional<Found> format, sound;
    walk(descriptor, fileSize, Endian::big, "COMM", "SSND", format, sound);
    if (!format || format->size < 18 || format->size > kMostFormatBytes)
        return refuse(error, "no sound format chunk");
    // The sound chunk opens with the offset of the first sample frame and a block size.
    if (!sound || sound->size < 8) return refuse(error, "no sound data chunk");
    const std::string start = bytesAt(descriptor, sound->body, 8);
    const std::uint64_t skip = 8 + std::uint64_t{number(start, Endian::big)};
    if (start.size() < 8 || skip > sound->size) return refuse(error, "no sound data chunk");
    SoundContainerLayout layout;
    layout.soundOffset = sound->body + skip;
    layout.soundSize = std::min(sound->size - skip, kMostSoundBytes);
    // AIFC names its version; the only one there is.
    std::string body = kind == "AIFC" ? chunk("FVER", "\xA2\x80\x51\x40", Endian::big) : "";
    body += chunk("COMM", bytesAt(descriptor, format->body, format->size), Endian::big);
    body += "SSND" + numberBytes(8 + layout.soundSize, Endian::big) + std::string(8, '\0');
    layout.header = "FORM" + numberBytes(4 + body.size() + layout.soundSize, Endian::big) + kind + body;
    return layout;
}

}  // namespace platform
