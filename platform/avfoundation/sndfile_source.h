#pragma once

#include <memory>
#include <string>

#include "platform/avfoundation/pcm_source.h"
#include "platform/avfoundation/sound_container_layout.h"

struct sf_private_tag;

namespace platform {

// WAV, AIFF and FLAC through libsndfile. A WAV or AIFF reaches it only as the minimal file of its
// SoundContainerLayout, never with its other chunks.
class SndfileSource : public PcmSource {
public:
    // Over an open descriptor the caller keeps and closes after the source. Null, with the reason,
    // when libsndfile cannot read it or finds another major format than `expectedFormat`.
    static std::unique_ptr<SndfileSource> open(int descriptor, int expectedFormat, std::string* error);
    ~SndfileSource() override;

    long read(float* out, long frames) override;
    bool rewind() override;

    // What libsndfile reads of a WAV or AIFF: the layout's header, then the file's sound bytes.
    struct MinimalFile {
        int descriptor = -1;
        SoundContainerLayout layout;
        std::int64_t position = 0;
    };

private:
    SndfileSource(sf_private_tag* file, std::unique_ptr<MinimalFile> minimal, int channels, int sampleRate,
                  double duration)
        : PcmSource(channels, sampleRate, duration), file_(file), minimal_(std::move(minimal)) {}

    sf_private_tag* file_;
    std::unique_ptr<MinimalFile> minimal_;
};

}  // namespace platform
