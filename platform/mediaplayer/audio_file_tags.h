#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The title a sound file's own tags give it: ID3 (version 2, else version 1) in MP3 files, the Vorbis
// comment of FLAC and Ogg (Vorbis, Opus) files, the INFO list of WAV files. Only the file's first
// kReadLimit bytes (and an MP3's last 128) are read, and every length in them is checked against what
// was read, so a damaged or hostile file answers no title.
class AudioFileTags {
public:
    static constexpr std::size_t kReadLimit = 256 * 1024;

    // As UTF-8; none when the file has no readable, non-empty title.
    static std::optional<std::string> title(const std::filesystem::path& file);

    // The parsers, over bytes already read.
    static std::optional<std::string> id3v2Title(std::string_view bytes);
    static std::optional<std::string> id3v1Title(std::string_view lastBytes);
    static std::optional<std::string> flacTitle(std::string_view bytes);
    static std::optional<std::string> oggTitle(std::string_view bytes);
    static std::optional<std::string> wavTitle(std::string_view bytes);
};

}  // namespace platform
