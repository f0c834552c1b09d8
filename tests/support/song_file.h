#pragma once

#include <filesystem>

namespace quorvel::testing {

// A real song, `seconds` of a soft two-tone chord at 44.1 kHz in stereo, in the format its extension
// names (.wav, .aiff, .flac, .ogg, .opus, .mp3), encoded by libsndfile. Fails the test when it cannot.
void writeSong(const std::filesystem::path& file, double seconds = 0.5);

// A WAV of 44 bytes whose tag list, filled with 0xFF and longer than the file, once kept the WAV decoder
// from ever returning.
void writeRunawayListWAV(const std::filesystem::path& file);

}  // namespace quorvel::testing
