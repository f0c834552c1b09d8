#pragma once

#include <memory>
#include <string>

#include "platform/avfoundation/pcm_source.h"

struct sf_private_tag;

namespace platform {

// WAV, AIFF and FLAC through libsndfile.
class SndfileSource : public PcmSource {
public:
    // Over an open descriptor the caller keeps and closes after the source. Null, with the reason,
    // when libsndfile cannot read it or finds another major format than `expectedFormat`.
    static std::unique_ptr<SndfileSource> open(int descriptor, int expectedFormat, std::string* error);
    ~SndfileSource() override;

    long read(float* out, long frames) override;
    bool rewind() override;

private:
    SndfileSource(sf_private_tag* file, int channels, int sampleRate, double duration)
        : PcmSource(channels, sampleRate, duration), file_(file) {}

    sf_private_tag* file_;
};

}  // namespace platform
