#include "platform/mediaplayer/audio_file_tags.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/mediaplayer/mp_media_item.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using namespace std::string_literals;

namespace {

std::string bigEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += char((value >> (8 * i)) & 0xFF);
    return out;
}
std::string littleEndian32(std::uint32_t value) {
    std::string out;
    for (int i = 0; i < 4; ++i) out += char((value >> (8 * i)) & 0xFF);
    return out;
}
std::string syncsafe(std::uint32_t value) {
    std::string out;
    for (int i = 3; i >= 0; --i) out += char((value >> (7 * i)) & 0x7F);
    return out;
}

// An ID3v2 tag of one frame, `frame` being its encoding byte and text.
std::string id3v2(int version, const std::string& id, const std::string& frame) {
    const std::string size = version == 2 ? bigEndian(std::uint32_t(frame.size()), 3)
                             : version == 4 ? syncsafe(std::uint32_t(frame.size()))
                                            : bigEndian(std::uint32_t(frame.size()), 4);
    const std::string body = id + size + (version == 2 ? "" : "\0\0"s) + frame + std::string(16, '\0');
    return "ID3"s + char(version) + '\0' + '\0' + syncsafe(std::uint32_t(body.size())) + body;
}

std::string vorbisComment(const std::vector<std::string>& comments) {
    std::string out = littleEndian32(6) + "vendor" + littleEndian32(std::uint32_t(comments.size()));
    for (const auto& comment : comments) out += littleEndian32(std::uint32_t(comment.size())) + comment;
    return out;
}

// One Ogg page holding `data` in segments of at most 255 bytes.
std::string oggPage(const std::string& data) {
    std::string table;
    std::size_t left = data.size();
    do {
        table += char(std::min<std::size_t>(left, 255));
        left -= std::min<std::size_t>(left, 255);
    } while (left > 0 || (unsigned char)table.back() == 255);
    return "OggS"s + std::string(22, '\0') + char(table.size()) + table + data;
}

}  // namespace

TEST(AudioFileTags, Id3TitlesInEachVersionAndEncoding) {
    EXPECT_EQ(AudioFileTags::id3v2Title(id3v2(3, "TIT2", "\x01\xFF\xFE" "A\0r\0\xE9\0" "\x3C\xD8\xB5\xDF\0\0"s)),
              "Ar\xC3\xA9\xF0\x9F\x8E\xB5");  // UTF-16 with a byte-order mark and a surrogate pair
    EXPECT_EQ(AudioFileTags::id3v2Title(id3v2(4, "TIT2", "\x03Stra\xC3\x9F" "e\0"s)), "Stra\xC3\x9F" "e");
    EXPECT_EQ(AudioFileTags::id3v2Title(id3v2(2, "TT2", "\x00" "Caf\xE9"s)), "Caf\xC3\xA9");
    EXPECT_EQ(AudioFileTags::id3v2Title(id3v2(4, "TPE1", "\x03Someone"s)), std::nullopt) << "an artist is no title";
    EXPECT_EQ(AudioFileTags::id3v2Title(id3v2(3, "TIT2", "\x03   "s)), std::nullopt) << "blank";

    std::string v1 = "TAG" + std::string("Old Song") + std::string(22, '\0') + std::string(95, ' ');
    EXPECT_EQ(AudioFileTags::id3v1Title("audio" + v1), "Old Song");
}

TEST(AudioFileTags, VorbisCommentsOfFlacAndOggAndTheInfoListOfWav) {
    const std::string comments = vorbisComment({"ARTIST=Someone", "title=Night Rain"});
    const std::string flac = "fLaC"s + '\0' + bigEndian(34, 3) + std::string(34, 'x') + char(0x84) +
                             bigEndian(std::uint32_t(comments.size()), 3) + comments;
    EXPECT_EQ(AudioFileTags::flacTitle(flac), "Night Rain");

    // The comment packet runs over two pages.
    const std::string packet = "\x03vorbis" + comments + std::string(300, 'p');
    const std::string ogg = oggPage("\x01vorbis-identification") + oggPage(packet.substr(0, 20)) + oggPage(packet.substr(20));
    EXPECT_EQ(AudioFileTags::oggTitle(ogg), "Night Rain");
    EXPECT_EQ(AudioFileTags::oggTitle(oggPage("OpusTags" + comments)), "Night Rain");

    const std::string info = "INFO"s + "INAM" + littleEndian32(6) + "Chimes";
    const std::string wav = "RIFF"s + littleEndian32(0) + "WAVE" + "fmt " + littleEndian32(2) + "ab" + "LIST" +
                            littleEndian32(std::uint32_t(info.size())) + info;
    EXPECT_EQ(AudioFileTags::wavTitle(wav), "Chimes");
}

TEST(AudioFileTags, LengthsBeyondTheBytesReadGiveNoTitle) {
    std::string tag = id3v2(4, "TIT2", "\x03Long"s);
    tag[14] = 0x7F;  // the frame claims far more than the tag holds
    EXPECT_EQ(AudioFileTags::id3v2Title(tag), std::nullopt);
    EXPECT_EQ(AudioFileTags::id3v2Title(tag.substr(0, 12)), std::nullopt);
    EXPECT_EQ(AudioFileTags::flacTitle("fLaC\x84\xFF\xFF\xFF"s + littleEndian32(1)), std::nullopt);
    EXPECT_EQ(AudioFileTags::oggTitle(oggPage("OpusTags" + littleEndian32(0xFFFFFFF0))), std::nullopt);
    EXPECT_EQ(AudioFileTags::oggTitle(oggPage("OpusTags" + littleEndian32(0) + littleEndian32(3) + littleEndian32(999))),
              std::nullopt);
    EXPECT_EQ(AudioFileTags::wavTitle("RIFF\0\0\0\0WAVELIST\xFF\xFF\0\0INFO"s), std::nullopt);
    EXPECT_EQ(AudioFileTags::id3v2Title(id3v2(3, "TIT2", "\x01\x00\xD8"s)), std::nullopt) << "a lone surrogate";
}

TEST(AudioFileTags, ASongIsTitledByItsTagsElseByItsFileName) {
    quorvel::testing::TempDataRoot root;
    const auto tagged = root.path() / "track01.mp3";
    std::ofstream(tagged, std::ios::binary) << id3v2(3, "TIT2", "\x00Morning Walk"s) << std::string(400, '\xFF');
    const auto plain = root.path() / "Evening.mp3";
    std::ofstream(plain, std::ios::binary) << std::string(400, '\xFF');
    EXPECT_EQ(MPMediaItem(tagged).title(), "Morning Walk");
    EXPECT_EQ(MPMediaItem(plain).title(), "Evening");
}
