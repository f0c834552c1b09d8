#include "tests/soak/music_folder.h"

#include <fstream>
#include <string>
#include <system_error>

#include "tests/support/song_file.h"

namespace quorvel::soak {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSongs[] = {"Dawn Chorus.wav", "Night Rain.mp3"};

}  // namespace

MusicFolder::MusicFolder(fs::path folder) : folder_(std::move(folder)) {}

fs::path MusicFolder::song(std::uint32_t which) const {
    return folder_ / kSongs[which % 2];
}

fs::path MusicFolder::aside(std::uint32_t which) const {
    return folder_.parent_path() / "music-aside" / kSongs[which % 2];
}

void MusicFolder::fill() {
    fs::create_directories(folder_);
    fs::create_directories(aside(0).parent_path());
    testing::writeSong(song(0), 1.5);
    testing::writeSong(song(1), 1.0);
    // Bytes that start like an MPEG frame and then are noise.
    std::string noise = "\xff\xfb\x90\x64";
    for (int i = 0; i < 4000; ++i) noise += static_cast<char>((i * 7919) % 251);
    std::ofstream(folder_ / "Broken Tape.mp3", std::ios::binary) << noise;
    testing::writeRunawayListWAV(folder_ / "Runaway.wav");
    std::ofstream(folder_ / "Not A Song.ogg") << "a shopping list, not a song\n";
}

void MusicFolder::change(std::uint32_t value) {
    const std::uint32_t which = value / 4;
    std::error_code ignored;
    switch (value % 4) {
        case 0:  // vanishes
            fs::rename(song(which), aside(which), ignored);
            break;
        case 1:  // comes back
            fs::rename(aside(which), song(which), ignored);
            break;
        case 2: {  // damaged in place: its middle overwritten
            std::fstream file(song(which), std::ios::binary | std::ios::in | std::ios::out);
            if (!file) break;
            file.seekp(static_cast<std::streamoff>(fs::file_size(song(which), ignored) / 2));
            file << std::string(512, '\x5a');
            break;
        }
        case 3:  // mended
            if (fs::exists(song(which), ignored)) testing::writeSong(song(which), which % 2 ? 1.0 : 1.5);
            break;
    }
}

}  // namespace quorvel::soak
