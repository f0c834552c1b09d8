#pragma once

#include <memory>
#include <string>

#include "platform/avfoundation/pcm_source.h"

struct mpg123_handle_struct;

namespace platform {

// MP3 through libmpg123: quiet, gapless (a loop made by the LAME encoder keeps its exact length), one
// stream per file, ID3v2 tags skipped unread (the tag reader reads the title).
class MpegSource : public PcmSource {
public:
    // Over an open descriptor the caller keeps and closes after the source. Null, with the reason,
    // when no MPEG audio frame can be decoded.
    static std::unique_ptr<MpegSource> open(int descriptor, std::string* error);
    ~MpegSource() override;

    long read(float* out, long frames) override;
    bool rewind() override;

private:
    MpegSource(mpg123_handle_struct* handle, int channels, int sampleRate, double duration)
        : PcmSource(channels, sampleRate, duration), handle_(handle) {}

    mpg123_handle_struct* handle_;
};

}  // namespace platform
