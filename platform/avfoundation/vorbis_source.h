#pragma once

#include <memory>
#include <string>

#include "platform/avfoundation/pcm_source.h"

struct OggVorbis_File;

namespace platform {

// Ogg Vorbis through libvorbisfile, which frees all it took when a stream turns out to be broken.
// Only the first stream's channel layout plays; a chained stream that changes it ends the sound.
class VorbisSource : public PcmSource {
public:
    // Over an open descriptor the caller keeps and closes after the source. Null, with the reason,
    // when the file is no Vorbis stream.
    static std::unique_ptr<VorbisSource> open(int descriptor, std::string* error);
    ~VorbisSource() override;

    long read(float* out, long frames) override;
    bool rewind() override;

private:
    VorbisSource(std::unique_ptr<OggVorbis_File> file, int channels, int sampleRate, double duration);

    std::unique_ptr<OggVorbis_File> file_;
};

}  // namespace platform
