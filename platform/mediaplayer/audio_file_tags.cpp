#include "platform/mediaplayer/audio_file_tags.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>

#include "platform/foundation/utf8.h"

namespace platform {

namespace {

constexpr std::size_t kId3v1Size = 128;

std::uint32_t bigEndian(std::string_view bytes, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint32_t littleEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Seven bits a byte, the high bit clear.
std::uint32_t syncsafe(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 7 | (static_cast<unsigned char>(bytes[at + i]) & 0x7F);
    return value;
}

// Without trailing NULs and blanks; none when nothing is left.
std::optional<std::string> nonEmpty(std::string text) {
    while (!text.empty() && (text.back() == '\0' || std::isspace(static_cast<unsigned char>(text.back()))))
        text.pop_back();
    if (text.empty()) return std::nullopt;
    return text;
}

std::string fromLatin1(std::string_view bytes) {
    std::string out;
    for (const char byte : bytes) {
        if (byte == '\0') break;
        appendUtf8(out, static_cast<unsigned char>(byte));
    }
    return out;
}

// UTF-16 in the byte order given, or the one its byte-order mark names; none when malformed.
std::optional<std::string> fromUtf16(std::string_view bytes, bool bigEndianOrder) {
    if (bytes.size() >= 2) {
        const auto first = static_cast<unsigned char>(bytes[0]), second = static_cast<unsigned char>(bytes[1]);
        if ((first == 0xFE && second == 0xFF) || (first == 0xFF && second == 0xFE)) {
            bigEndianOrder = first == 0xFE;
            bytes.remove_prefix(2);
        }
    }
    const auto unit = [&](std::size_t at) {
        const auto a = static_cast<unsigned char>(bytes[at]), b = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(bigEndianOrder ? a << 8 | b : b << 8 | a);
    };
    std::string out;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t point = unit(at);
        if (point == 0) break;
        if (point >= 0xD800 && point <= 0xDBFF) {
            if (at + 3 >= bytes.size()) return std::nullopt;
            const char32_t low = unit(at + 2);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
            at += 2;
        } else if (point >= 0xDC00 && point <= 0xDFFF) {
            return std::nullopt;
        }
        appendUtf8(out, point);
    }
    return out;
}

// An ID3 text frame: an encoding byte, then the text.
std::optional<std::string> id3Text(std::string_view frame) {
    if (frame.empty()) return std::nullopt;
    const std::string_view text = frame.substr(1);
    switch (frame[0]) {
        case 0:
            return nonEmpty(fromLatin1(text));
        case 1:
        case 2: {
            auto decoded = fromUtf16(text, frame[0] == 2);
            return decoded ? nonEmpty(std::move(*decoded)) : std::nullopt;
        }
        case 3: {
            std::string utf8(text.substr(0, text.find('\0')));
            if (!isValidUtf8(utf8)) return std::nullopt;
            return nonEmpty(std::move(utf8));
        }
        default:
            return std::nullopt;
    }
}

// "TITLE=…" among the comments of a Vorbis comment block (little-endian lengths).
std::optional<std::string> vorbisCommentTitle(std::string_view block) {
    if (block.size() < 8) return std::nullopt;
    std::size_t at = 0;
    const std::uint32_t vendor = littleEndian32(block, at);
    if (vendor > block.size() - 8) return std::nullopt;
    at += 4 + vendor;
    const std::uint32_t count = littleEndian32(block, at);
    at += 4;
    for (std::uint32_t i = 0; i < count && at + 4 <= block.size(); ++i) {
        const std::uint32_t length = littleEndian32(block, at);
        at += 4;
        if (length > block.size() - at) return std::nullopt;
        const std::string_view comment = block.substr(at, length);
        at += length;
        const auto equals = comment.find('=');
        if (equals != 5) continue;
        std::string key(comment.substr(0, equals));
        std::ranges::transform(key, key.begin(), [](unsigned char c) { return std::toupper(c); });
        if (key != "TITLE") continue;
        std::string value(comment.substr(equals + 1));
        if (isValidUtf8(value)) return nonEmpty(std::move(value));
    }
    return std::nullopt;
}

std::string lowercaseExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::ranges::transform(extension, extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension;
}

}  // namespace

std::optional<std::string> AudioFileTags::id3v2Title(std::string_view bytes) {
    if (bytes.size() < 10 || bytes.substr(0, 3) != "ID3") return std::nullopt;
    const int version = static_cast<unsigned char>(bytes[3]);
    if (version < 2 || version > 4) return std::nullopt;
    const auto flags = static_cast<unsigned char>(bytes[5]);
    const std::size_t end = std::min<std::size_t>(bytes.size(), 10 + std::size_t(syncsafe(bytes, 6)));
    std::size_t at = 10;
    if (version >= 3 && (flags & 0x40) && at + 4 <= end) {
        // The extended header: its size counts itself in version 4, not in version 3.
        at += version == 4 ? syncsafe(bytes, at) : bigEndian(bytes, at, 4) + 4;
    }
    const std::size_t idSize = version == 2 ? 3 : 4;
    const std::size_t headerSize = version == 2 ? 6 : 10;
    const std::string_view titleId = version == 2 ? "TT2" : "TIT2";
    while (at + headerSize <= end) {
        const std::string_view id = bytes.substr(at, idSize);
        if (id[0] == '\0') break;  // padding
        const std::size_t size = version == 2   ? bigEndian(bytes, at + 3, 3)
                                 : version == 4 ? syncsafe(bytes, at + 4)
                                                : bigEndian(bytes, at + 4, 4);
        at += headerSize;
        if (size > end - at) return std::nullopt;
        if (id == titleId) return id3Text(bytes.substr(at, size));
        at += size;
    }
    return std::nullopt;
}

std::optional<std::string> AudioFileTags::id3v1Title(std::string_view lastBytes) {
    if (lastBytes.size() < kId3v1Size) return std::nullopt;
    const std::string_view tag = lastBytes.substr(lastBytes.size() - kId3v1Size);
    if (tag.substr(0, 3) != "TAG") return std::nullopt;
    return nonEmpty(fromLatin1(tag.substr(3, 30)));
}

std::optional<std::string> AudioFileTags::flacTitle(std::string_view bytes) {
    if (bytes.substr(0, 4) != "fLaC") return std::nullopt;
    std::size_t at = 4;
    while (at + 4 <= bytes.size()) {
        const auto header = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = bigEndian(bytes, at + 1, 3);
        at += 4;
        if (length > bytes.size() - at) return std::nullopt;
        if ((header & 0x7F) == 4) return vorbisCommentTitle(bytes.substr(at, length));
        if (header & 0x80) break;  // the last block
        at += length;
    }
    return std::nullopt;
}

// The pages' contents joined, so a comment packet split over pages reads as one.
std::optional<std::string> AudioFileTags::oggTitle(std::string_view bytes) {
    std::string packets;
    std::size_t at = 0;
    while (at + 27 <= bytes.size() && bytes.substr(at, 4) == "OggS") {
        const std::size_t segments = static_cast<unsigned char>(bytes[at + 26]);
        if (at + 27 + segments > bytes.size()) break;
        std::size_t length = 0;
        for (std::size_t i = 0; i < segments; ++i) length += static_cast<unsigned char>(bytes[at + 27 + i]);
        at += 27 + segments;
        packets.append(bytes.substr(at, std::min(length, bytes.size() - at)));
        at += length;
    }
    for (const std::string_view marker : {std::string_view("\x03vorbis"), std::string_view("OpusTags")}) {
        if (const auto found = packets.find(marker); found != std::string::npos)
            return vorbisCommentTitle(std::string_view(packets).substr(found + marker.size()));
    }
    return std::nullopt;
}

std::optional<std::string> AudioFileTags::wavTitle(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") return std::nullopt;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string_view id = bytes.substr(at, 4);
        const std::size_t size = littleEndian32(bytes, at + 4);
        at += 8;
        if (size > bytes.size() - at) return std::nullopt;
        if (id == "LIST" && size >= 4 && bytes.substr(at, 4) == "INFO") {
            for (std::size_t sub = at + 4; sub + 8 <= at + size;) {
                const std::size_t length = littleEndian32(bytes, sub + 4);
                if (length > at + size - sub - 8) return std::nullopt;
                if (bytes.substr(sub, 4) == "INAM") return nonEmpty(fromLatin1(bytes.substr(sub + 8, length)));
                sub += 8 + length + (length & 1);
            }
        }
        at += size + (size & 1);
    }
    return std::nullopt;
}

std::optional<std::string> AudioFileTags::title(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string head(kReadLimit, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::string extension = lowercaseExtension(file);
    if (extension == ".flac") return flacTitle(head);
    if (extension == ".ogg" || extension == ".opus") return oggTitle(head);
    if (extension == ".wav") return wavTitle(head);
    if (auto title = id3v2Title(head)) return title;
    in.clear();
    in.seekg(-static_cast<std::streamoff>(kId3v1Size), std::ios::end);
    std::string tail(kId3v1Size, '\0');
    if (!in.read(tail.data(), static_cast<std::streamsize>(tail.size()))) return std::nullopt;
    return id3v1Title(tail);
}

}  // namespace platform
