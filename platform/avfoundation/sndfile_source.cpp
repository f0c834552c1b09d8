#include "platform/avfoundation/sndfile_source.h"

#include <sndfile.h>

namespace platform {

std::unique_ptr<SndfileSource> SndfileSource::open(int descriptor, int expectedFormat, std::string* error) {
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(descriptor, SFM_READ, &info, SF_FALSE);
    if (!file) {
        *error = sf_strerror(nullptr);
        return nullptr;
    }
    const int format = info.format & SF_FORMAT_TYPEMASK;
    // A WAV may be of the extensible kind.
    if (format != expectedFormat && !(expectedFormat == SF_FORMAT_WAV && format == SF_FORMAT_WAVEX)) {
        sf_close(file);
        *error = "its content is not what its extension says";
        return nullptr;
    }
    const bool known = info.frames > 0 && info.frames < SF_COUNT_MAX && info.samplerate > 0;
    const double duration = known ? static_cast<double>(info.frames) / info.samplerate : 0.0;
    return std::unique_ptr<SndfileSource>(new SndfileSource(file, info.channels, info.samplerate, duration));
}

SndfileSource::~SndfileSource() {
    sf_close(file_);
}

long SndfileSource::read(float* out, long frames) {
    const sf_count_t got = sf_readf_float(file_, out, frames);
    return got > 0 ? static_cast<long>(got) : 0;
}

bool SndfileSource::rewind() {
    return sf_seek(file_, 0, SEEK_SET) == 0;
}

}  // namespace platform
