#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/avfoundation/audio_channel.h"
#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/av_url_asset.h"
#include "platform/avfoundation/sound_file_decoder.h"
#include "platform/foundation/console.h"
#include "tests/platform/avfoundation/audio_test_support.h"
#include "tests/support/song_file.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::openDescriptors;
using quorvel::testing::TempDataRoot;
using quorvel::testing::writeSong;

namespace {

constexpr long kBoundKB = 64 * 1024;

// A line of /proc/self/status, in kB.
long statusKB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key + ":")) return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

// The peak resident memory starts again from what is resident now.
void resetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::string bytesOf(const std::filesystem::path& file) {
    std::ostringstream out;
    out << std::ifstream(file, std::ios::binary).rdbuf();
    return out.str();
}

void write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// The files that once crashed, hung, exhausted or leaked: a title frame longer than its tag, alone
// and before real sound; an empty Vorbis comment block, alone and before real frames; another sound
// format's header in a WAV; files shorter than any header.
void writeReproducers(const std::filesystem::path& folder) {
    using namespace std::string_literals;
    const std::string hugeTitle = "ID3\x03\0\0\0\0\0\x20"s + "TIT2\x7f\xff\xff\xff\0\0\x03" + "Song";
    write(folder / "huge-title.mp3", hugeTitle + std::string(34 - hugeTitle.size(), 'x'));
    writeSong(folder / "plain.mp3");
    const std::string song = bytesOf(folder / "plain.mp3");
    std::string tag = "ID3\x03\0\0\0\0\0\x14"s + "TIT2\x7f\xff\xff\xff\0\0\x03" + "Song" + std::string(5, '\0');
    write(folder / "huge-title-before-sound.mp3", tag + song);

    const std::string streamInfo = "\x00\x00\x00\x22"s + "\x10\x00\x10\x00" + std::string(6, '\0') +
                                   "\x0a\xc4\x42\xf0\x00\x00\x00\x00" + std::string(16, '\0');
    write(folder / "empty-comment.flac", "fLaC" + streamInfo + "\x84\x00\x00\x00"s);
    writeSong(folder / "plain.flac");
    std::string flac = bytesOf(folder / "plain.flac");
    flac[4] = static_cast<char>(flac[4] & 0x7f);  // STREAMINFO is no longer the last block
    flac.insert(4 + 4 + 34, "\x04\x00\x00\x00"s);
    write(folder / "empty-comment-before-frames.flac", flac);

    std::string voc = "Creative Voice File\x1a\x1a\x00\x0a\x01\x29\x11"s + "\x01\x00\x01\x00\xa6\x00"s;
    write(folder / "speech.wav", voc + std::string(272 - voc.size(), '\x80'));
    write(folder / "short.wav", "RIFF\x04\0\0\0WAV"s);
    quorvel::testing::writeRunawayListWAV(folder / "runaway-list.wav");
    write(folder / "short.mp3", "ID3\x04\0\0"s);
    write(folder / "empty.flac", "");
}

// Of each kind of container, a file whose sizes run past its end and one whose sizes would lead a
// reader back to where it was, or round and round: chunks of WAV and AIFF, a sound chunk's offset,
// FLAC's metadata blocks, Ogg's pages, an MP3's tag and its frames.
void writeRunawaySizes(const std::filesystem::path& folder) {
    using namespace std::string_literals;
    const std::string format = "fmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0"s;
    write(folder / "format-past-end.wav", "RIFF\0\0\0\0WAVEfmt \xf0\xff\xff\x7f"s + std::string(16, '\x01'));
    // A 32-bit reader adding this size to its place comes back to this very chunk.
    write(folder / "chunk-wraps.wav",
          "RIFF\0\0\0\0WAVELIST\xf8\xff\xff\xff"s + format + "data\x04\0\0\0\0\0\0\0"s);

    const std::string common = "COMM\0\0\0\x12\0\x02\0\0\0\x10\0\x10\x40\x0e\xac\x44\0\0\0\0\0\0"s;
    write(folder / "common-past-end.aiff", "FORM\0\0\0\0AIFFCOMM\x7f\xff\xff\xf0"s + std::string(18, '\x01'));
    write(folder / "chunk-wraps.aiff",
          "FORM\0\0\0\0AIFFMARK\xff\xff\xff\xf8"s + common + "SSND\0\0\0\x0c"s + std::string(12, '\0'));
    write(folder / "sound-offset-wraps.aiff",
          "FORM\0\0\0\0AIFF"s + common + "SSND\0\0\0\x10\xff\xff\xff\xf8"s + std::string(12, '\0'));

    writeSong(folder / "seed.flac");
    const std::string flac = bytesOf(folder / "seed.flac");
    std::string blockPastEnd = flac.substr(0, 4 + 4 + 34);
    blockPastEnd[4] = static_cast<char>(blockPastEnd[4] & 0x7f);
    write(folder / "block-past-end.flac", blockPastEnd + "\x04\xff\xff\xff"s + "tag");
    std::string emptyBlocks = blockPastEnd;
    for (int i = 0; i < 4096; ++i) emptyBlocks += "\x01\0\0\0"s;
    write(folder / "empty-blocks.flac", emptyBlocks);

    for (const char* kind : {".ogg", ".opus"}) {
        writeSong(folder / (std::string("seed") + kind));
        const std::string ogg = bytesOf(folder / (std::string("seed") + kind));
        const std::size_t firstPage = 27 + static_cast<unsigned char>(ogg[26]);
        std::string pastEnd = ogg.substr(0, firstPage);
        pastEnd[26] = '\xff';  // a segment table longer than the file
        write(folder / (std::string("page-past-end") + kind), pastEnd);
        std::string repeated;
        for (int i = 0; i < 256; ++i) repeated += ogg.substr(0, std::min(ogg.size(), std::size_t{4096}));
        write(folder / (std::string("pages-repeat") + kind), repeated);
    }

    writeSong(folder / "seed.mp3");
    write(folder / "tag-past-end.mp3",
          "ID3\x04\0\0\x7f\x7f\x7f\x7f"s + bytesOf(folder / "seed.mp3").substr(0, 64));
    // Free-format frames: a reader must search for where each one ends.
    std::string freeFormat;
    for (int i = 0; i < 2048; ++i) freeFormat += "\xff\xfb\x00\x00"s + std::string(28, '\0');
    write(folder / "free-format.mp3", freeFormat);
    for (const char* kind : {".flac", ".ogg", ".opus", ".mp3"})
        std::filesystem::remove(folder / (std::string("seed") + kind));
}

// Mutations of real songs of every kind: bytes overwritten, runs cut out or repeated, lengths made
// huge, the end cut off. The same every run.
void writeMutatedSongs(const std::filesystem::path& folder, int count) {
    const char* const kinds[] = {".wav", ".aiff", ".flac", ".ogg", ".opus", ".mp3"};
    std::filesystem::create_directories(folder);
    std::vector<std::pair<std::string, std::string>> seeds;
    for (const char* kind : kinds) {
        const auto file = folder / (std::string("seed") + kind);
        writeSong(file, 0.3);
        seeds.emplace_back(kind, bytesOf(file));
        std::filesystem::remove(file);
    }
    std::mt19937 random(59);
    for (int i = 0; i < count; ++i) {
        const auto& [kind, seed] = seeds[static_cast<std::size_t>(i) % seeds.size()];
        std::string bytes = seed;
        const auto at = [&](std::size_t limit) { return std::uniform_int_distribution<std::size_t>(0, limit)(random); };
        for (int edit = 0; edit < 1 + i % 4 && bytes.size() > 8; ++edit) {
            const std::size_t head = std::min<std::size_t>(bytes.size() - 4, 512);  // where the headers are
            switch ((i / 4 + edit) % 5) {
                case 0:
                    bytes[at(head)] = static_cast<char>(random());
                    break;
                case 1:
                    std::fill_n(bytes.begin() + static_cast<long>(at(head)), 4, '\xff');
                    break;
                case 2:
                    bytes.erase(at(head), at(64));
                    break;
                case 3: {
                    const std::string run = bytes.substr(at(head), at(256));
                    bytes.insert(at(head), run);
                    break;
                }
                default:
                    bytes.resize(at(bytes.size()));
                    break;
            }
        }
        write(folder / ("mutated-" + std::to_string(i) + kind), bytes);
    }
}

}  // namespace

// However its bytes were made, loading a song may fail, but the app goes on with the descriptors it
// had and bounded memory; a song that loads also streams to its end.
TEST(UntrustedSongs, DamagedAndHostileFilesLeaveTheAppAliveWithoutLeakingOrGrowing) {
    auto clock = VirtualClock::install();
    TempDataRoot folder;
    writeReproducers(folder.path());
    writeRunawaySizes(folder.path());
    writeMutatedSongs(folder.path() / "mutated", 200);
    ASSERT_TRUE(AudioOutput::shared().open());

    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path()))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::ranges::sort(files);
    ASSERT_GE(files.size(), 210u);

    const std::size_t descriptors = openDescriptors();
    resetPeakMemory();
    const long before = statusKB("VmRSS");
    int playable = 0;
    for (const auto& file : files) {
        Console::Capture console;
        auto asset = AVURLAsset::URLAssetWithURL(file);
        asset->loadValuesAsynchronouslyForKeys({"playable"}, {});
        clock->runUntilIdle();
        const auto status = asset->statusOfValueForKey("playable");
        ASSERT_TRUE(status == AVKeyValueStatus::Loaded || status == AVKeyValueStatus::Failed) << file;
        if (status == AVKeyValueStatus::Failed) {
            EXPECT_TRUE(console.contains("AVURLAsset: cannot play " + file.string())) << file;
            continue;
        }
        ++playable;
        std::string error;
        const auto decoder = SoundFileDecoder::open(file, &error);
        ASSERT_TRUE(decoder) << file << ": " << error;
        std::int16_t frames[2 * 4096];
        for (int read = 0; read < 1000 && decoder->read(frames, 4096); ++read) {
        }
        EXPECT_EQ(openDescriptors(), descriptors + 1) << file;
    }
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_LT(statusKB("VmHWM") - before, kBoundKB);
    // The seeds of the mutations are among them: some survive their edits.
    EXPECT_GT(playable, 3);
    for (const char* refused :
         {"huge-title.mp3", "empty-comment.flac", "speech.wav", "short.wav", "short.mp3", "runaway-list.wav",
          "format-past-end.wav", "chunk-wraps.wav", "common-past-end.aiff", "chunk-wraps.aiff",
          "sound-offset-wraps.aiff", "block-past-end.flac", "page-past-end.ogg", "page-past-end.opus",
          "tag-past-end.mp3"}) {
        EXPECT_FALSE(SoundFileDecoder::playableDuration(folder.path() / refused, nullptr)) << refused;
    }
}

// An hour of sound streams: playing it costs the same memory as a short song, not the hour decoded.
TEST(UntrustedSongs, AnHourLongSongPlaysWithBoundedMemory) {
    auto clock = VirtualClock::install();
    TempDataRoot folder;
    // Silence, written as a hole in the file: the hour costs neither time nor disk.
    const auto song = folder.path() / "hour.wav";
    constexpr std::uint32_t kBytes = 3600u * 44100 * 4;
    {
        std::ofstream out(song, std::ios::binary);
        const auto put = [&](std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
        };
        out << "RIFF";
        put(36 + kBytes, 4);
        out << "WAVEfmt ";
        for (const auto& [value, bytes] : {std::pair{16u, 4}, {1u, 2}, {2u, 2}, {44100u, 4}, {44100u * 4, 4}, {4u, 2}, {16u, 2}})
            put(value, bytes);
        out << "data";
        put(kBytes, 4);
    }
    std::filesystem::resize_file(song, 44 + kBytes);

    auto asset = AVURLAsset::URLAssetWithURL(song);
    asset->loadValuesAsynchronouslyForKeys({"playable"}, {});
    clock->runUntilIdle();
    ASSERT_TRUE(asset->isPlayable());
    EXPECT_NEAR(asset->duration(), 3600, 0.001);

    const long before = statusKB("VmRSS");
    resetPeakMemory();
    const auto channel = AudioOutput::shared().playFile(song, true, 1, {});
    ASSERT_TRUE(channel);
    long most = 0;
    quorvel::testing::happensWithin(*clock, [&] {
        most = std::max(most, statusKB("VmRSS"));
        return !channel->isSounding();
    }, 10);
    EXPECT_TRUE(channel->isSounding());
    EXPECT_LT(std::max(most, statusKB("VmHWM")) - before, kBoundKB);
    channel->stop();
}
