#include "tests/support/song_file.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cctype>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace quorvel::testing {

namespace {

int formatFor(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    for (auto& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".aiff") return SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    if (extension == ".flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (extension == ".ogg") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    if (extension == ".opus") return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    if (extension == ".mp3") return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

}  // namespace

void writeSong(const std::filesystem::path& file, double seconds) {
    constexpr int kRate = 44100;
    const bool opus = (formatFor(file) & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS;  // Opus takes 48 kHz only
    SF_INFO info{};
    info.samplerate = opus ? 48000 : kRate;
    info.channels = 2;
    info.format = formatFor(file);
    SNDFILE* song = sf_open(file.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(song) << file << ": " << sf_strerror(nullptr);
    const auto frames = static_cast<std::size_t>(seconds * info.samplerate);
    std::vector<float> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / info.samplerate;
        samples[2 * i] = static_cast<float>(0.2 * std::sin(2 * M_PI * 440 * t));
        samples[2 * i + 1] = static_cast<float>(0.2 * std::sin(2 * M_PI * 660 * t));
    }
    EXPECT_EQ(sf_writef_float(song, samples.data(), static_cast<sf_count_t>(frames)),
              static_cast<sf_count_t>(frames));
    sf_close(song);
}

}  // namespace quorvel::testing

namespace quorvel::testing {

void writeRunawayListWAV(const std::filesystem::path& file) {
    using namespace std::string_literals;
    std::string bytes = "RIFF\0\0\0\0WAVELIST\0\0\xff\xff"s + std::string(24, '\xff');
    bytes[40] = '\xf7';
    std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace quorvel::testing
