#pragma once

#include <filesystem>
#include <optional>

namespace platform {

// The kinds of sound file the app plays. An MPEG-4 audio file (.m4a) is none of them: it would need an
// MP4 container parser besides an AAC decoder, so it is refused like any other stranger.
enum class SoundFileFormat { wav, aiff, mp3, flac, oggVorbis, oggOpus };

// Tells a sound file's kind from its name, then checks that its first bytes say the same, so no
// decoder ever sees bytes of another kind than the one it was picked for.
class SoundFileSniffer {
public:
    // By the extension, in any case; none for a file the app does not play.
    static std::optional<SoundFileFormat> formatOfExtension(const std::filesystem::path& file);
    // The open file's content begins as `format` does (an MP3 after any ID3v2 tag). Reads a few
    // bytes with pread(), so the file's position stays where it was.
    static bool contentIs(SoundFileFormat format, int descriptor);
};

}  // namespace platform
