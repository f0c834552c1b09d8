#include "platform/avfoundation/isolated_sound_decoder.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <cmath>
#include <limits>

#include "tests/support/stand_in_decoder.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::bytesOf;
using quorvel::testing::StandInDecoder;
using quorvel::testing::TempDataRoot;

namespace {

constexpr const char* kNonsense = "the decoder's answer makes no sense";

// The app's decoding child played by a stand-in for the length of one test.
class StandInChild : public ::testing::Test {
protected:
    void TearDown() override { ::unsetenv("QUORVEL_SOUND_DECODER"); }

    void becomes(std::vector<std::string> answers, bool thenEnds = false) {
        StandInDecoder child;
        child.answers = std::move(answers);
        child.thenEnds = thenEnds;
        const auto script = folder.path() / ("decoder-" + std::to_string(++scripts));
        child.writeTo(script);
        ::setenv("QUORVEL_SOUND_DECODER", script.c_str(), 1);
    }

    static IsolatedSoundDecoder::Opening opening(std::int32_t ok, double duration,
                                                 std::uint32_t errorLength) {
        IsolatedSoundDecoder::Opening answer{};
        answer.ok = ok;
        answer.duration = duration;
        answer.errorLength = errorLength;
        return answer;
    }

    TempDataRoot folder;
    const std::filesystem::path song = folder.path() / "song.mp3";
    int scripts = 0;
};

long peakResidentKB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

// A child whose answer no decoder would give (its memory overwritten by a song, or another program named
// in its place) makes the file unplayable, for the probe and for the opening alike, and nothing it says
// is taken at its word: not a reason four gigabytes long, not a duration no file can have.
TEST_F(StandInChild, AnAnswerNoDecoderWouldGiveMakesTheFileUnplayableWithNothingAllocatedForIt) {
    // A stand-in that answers as the child does is believed: the cases below fail on their nonsense alone.
    auto sensible = opening(1, 2.5, 0);
    sensible.convertsFrameByFrame = 1;
    becomes({bytesOf(sensible)});
    std::string error;
    EXPECT_EQ(IsolatedSoundDecoder::playableDuration(song, &error), 2.5) << error;
    const auto decoder = IsolatedSoundDecoder::open(song, &error);
    ASSERT_TRUE(decoder) << error;
    EXPECT_EQ(decoder->duration(), 2.5);
    EXPECT_TRUE(decoder->convertsFrameByFrame());

    auto notAFlag = opening(1, 2.5, 0);
    notAFlag.convertsFrameByFrame = 2;
    const struct {
        const char* what;
        std::string answer;
    } cases[] = {
        {"a reason of 4 GiB", bytesOf(opening(0, 0, 0xffffffff)) + "unplayable"},
        {"a reason just too long", bytesOf(opening(0, 0, IsolatedSoundDecoder::kMostErrorLength + 1))},
        {"a negative duration", bytesOf(opening(1, -1, 0))},
        {"a duration no file can have", bytesOf(opening(1, 1e300, 0))},
        {"an endless duration", bytesOf(opening(1, std::numeric_limits<double>::infinity(), 0))},
        {"no duration at all", bytesOf(opening(1, std::nan(""), 0))},
        {"success that is not one", bytesOf(opening(7, 2.5, 0))},
        {"a frame-by-frame flag that is not one", bytesOf(notAFlag)},
        {"success with a reason", bytesOf(opening(1, 2.5, 4)) + "oops"},
    };
    const long before = peakResidentKB();
    for (const auto& nonsense : cases) {
        becomes({nonsense.answer});
        error.clear();
        EXPECT_FALSE(IsolatedSoundDecoder::playableDuration(song, &error)) << nonsense.what;
        EXPECT_EQ(error, kNonsense) << nonsense.what;
        error.clear();
        EXPECT_FALSE(IsolatedSoundDecoder::open(song, &error)) << nonsense.what;
        EXPECT_EQ(error, kNonsense) << nonsense.what;
    }
    EXPECT_LT(peakResidentKB() - before, 64 * 1024);
}

// A child that ends halfway through its answer has given none; a failure it explains in full is heard.
TEST_F(StandInChild, AnAnswerCutShortIsNoAnswer) {
    const std::string failing = bytesOf(opening(0, 0, 9));
    becomes({failing.substr(0, 5)}, true);
    std::string error;
    EXPECT_FALSE(IsolatedSoundDecoder::playableDuration(song, &error));
    EXPECT_EQ(error, "the decoder has stopped");

    becomes({failing + "too s"}, true);
    EXPECT_FALSE(IsolatedSoundDecoder::open(song, &error));
    EXPECT_EQ(error, "the decoder has stopped");

    becomes({failing + "too short"}, true);
    EXPECT_FALSE(IsolatedSoundDecoder::playableDuration(song, &error));
    EXPECT_EQ(error, "too short");
}

// A read answered with a count of frames the app did not ask for ends the child before a frame is taken;
// the decoder then reads as ended and cannot go back.
TEST_F(StandInChild, AReadAnsweredWithFramesNotAskedForEndsTheDecoder) {
    for (const std::int32_t count : {-1, 4097, std::numeric_limits<std::int32_t>::max()}) {
        becomes({bytesOf(opening(1, 2.5, 0)), bytesOf(count)});
        std::string error;
        const auto decoder = IsolatedSoundDecoder::open(song, &error);
        ASSERT_TRUE(decoder) << error;
        std::int16_t frames[2 * 4096];
        EXPECT_EQ(decoder->read(frames, 4096), 0) << count;
        EXPECT_EQ(decoder->read(frames, 4096), 0) << count;
        EXPECT_FALSE(decoder->rewind()) << count;
        EXPECT_EQ(decoder->duration(), 2.5);
    }
}
