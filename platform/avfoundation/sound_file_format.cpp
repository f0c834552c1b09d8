#include "platform/avfoundation/sound_file_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

#include "platform/avfoundation/file_bytes.h"

namespace platform {

namespace {

// Enough for an Ogg page header with a full segment table and the start of its first packet.
constexpr std::size_t kHeadSize = 27 + 255 + 8;
constexpr std::size_t kId3HeaderSize = 10;

unsigned byteAt(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

// The header of an MPEG audio Layer III frame, with no field at a reserved value.
bool isLayer3FrameHeader(std::string_view bytes) {
    if (bytes.size() < 4 || byteAt(bytes, 0) != 0xFF || (byteAt(bytes, 1) & 0xE0) != 0xE0) return false;
    const unsigned version = (byteAt(bytes, 1) >> 3) & 3, layer = (byteAt(bytes, 1) >> 1) & 3;
    const unsigned bitrate = byteAt(bytes, 2) >> 4, rate = (byteAt(bytes, 2) >> 2) & 3;
    return version != 1 && layer == 1 && bitrate != 15 && rate != 3;
}

bool isMP3(int descriptor, std::string_view head) {
    off_t audio = 0;
    if (head.size() >= kId3HeaderSize && head.substr(0, 3) == "ID3") {
        std::size_t size = 0;
        for (std::size_t i = 6; i < 10; ++i) {
            if (byteAt(head, i) & 0x80) return false;  // not syncsafe: no tag
            size = size << 7 | byteAt(head, i);
        }
        const bool footer = byteAt(head, 5) & 0x10;
        audio = static_cast<off_t>(kId3HeaderSize + size + (footer ? kId3HeaderSize : 0));
    }
    return isLayer3FrameHeader(audio == 0 ? head : std::string_view(bytesAt(descriptor, audio, 4)));
}

// The first page of an Ogg stream whose first packet starts with `codec`.
bool isOggOf(std::string_view head, std::string_view codec) {
    if (head.size() < 27 || head.substr(0, 4) != "OggS" || head[4] != '\0') return false;
    const std::size_t packet = 27 + byteAt(head, 26);
    return head.size() >= packet + codec.size() && head.substr(packet, codec.size()) == codec;
}

bool isRiffOf(std::string_view head, std::string_view container, std::string_view kind) {
    return head.size() >= 12 && head.substr(0, 4) == container && head.substr(8, 4) == kind;
}

}  // namespace

std::optional<SoundFileFormat> SoundFileSniffer::formatOfExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::ranges::transform(extension, extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (extension == ".wav") return SoundFileFormat::wav;
    if (extension == ".aif" || extension == ".aiff" || extension == ".aifc") return SoundFileFormat::aiff;
    if (extension == ".mp3") return SoundFileFormat::mp3;
    if (extension == ".flac") return SoundFileFormat::flac;
    if (extension == ".ogg") return SoundFileFormat::oggVorbis;
    if (extension == ".opus") return SoundFileFormat::oggOpus;
    return std::nullopt;
}

bool SoundFileSniffer::contentIs(SoundFileFormat format, int descriptor) {
    const std::string head = bytesAt(descriptor, 0, kHeadSize);
    switch (format) {
        case SoundFileFormat::wav:
            return isRiffOf(head, "RIFF", "WAVE");
        case SoundFileFormat::aiff:
            return isRiffOf(head, "FORM", "AIFF") || isRiffOf(head, "FORM", "AIFC");
        case SoundFileFormat::mp3:
            return isMP3(descriptor, head);
        case SoundFileFormat::flac:
            return head.starts_with("fLaC");
        case SoundFileFormat::oggVorbis:
            return isOggOf(head, "\x01vorbis");
        case SoundFileFormat::oggOpus:
            return isOggOf(head, "OpusHead");
    }
    return false;
}

}  // namespace platform
