#pragma once

#include <memory>
#include <string>

#include "platform/avfoundation/pcm_source.h"

struct OggOpusFile;

namespace platform {

// Ogg Opus through libopusfile, always as 48 kHz stereo (it mixes any other layout down itself).
class OpusSource : public PcmSource {
public:
    // Over an open descriptor the caller keeps and closes after the source. Null, with the reason,
    // when the file is no Opus stream.
    static std::unique_ptr<OpusSource> open(int descriptor, std::string* error);
    ~OpusSource() override;

    long read(float* out, long frames) override;
    bool rewind() override;

private:
    OpusSource(OggOpusFile* file, double duration) : PcmSource(2, 48000, duration), file_(file) {}

    OggOpusFile* file_;
};

}  // namespace platform
