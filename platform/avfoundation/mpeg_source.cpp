#include "platform/avfoundation/mpeg_source.h"

#include <mpg123.h>

namespace platform {

std::unique_ptr<MpegSource> MpegSource::open(int descriptor, std::string* error) {
    int code = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &code);
    if (!handle) {
        *error = mpg123_plain_strerror(code);
        return nullptr;
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    mpg123_param(handle, MPG123_ADD_FLAGS,
                 MPG123_QUIET | MPG123_FORCE_FLOAT | MPG123_GAPLESS | MPG123_SKIP_ID3V2 | MPG123_NO_FRANKENSTEIN,
                 0);
    if (mpg123_open_fd(handle, descriptor) != MPG123_OK ||
        mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK) {
        *error = mpg123_strerror(handle);
        mpg123_delete(handle);
        return nullptr;
    }
    // The format stays the first frame's, so every read is of the size asked for.
    mpg123_format_none(handle);
    mpg123_format(handle, rate, channels, MPG123_ENC_FLOAT_32);
    const off_t frames = mpg123_length(handle);
    const double duration = frames > 0 && rate > 0 ? static_cast<double>(frames) / static_cast<double>(rate) : 0.0;
    return std::unique_ptr<MpegSource>(new MpegSource(handle, channels, static_cast<int>(rate), duration));
}

MpegSource::~MpegSource() {
    mpg123_close(handle_);
    mpg123_delete(handle_);
}

long MpegSource::read(float* out, long frames) {
    const std::size_t frameBytes = sizeof(float) * static_cast<std::size_t>(channels());
    std::size_t done = 0;
    // A new format mid-stream is refused by the format set at opening; its notice is passed over once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int code = mpg123_read(handle_, out, static_cast<std::size_t>(frames) * frameBytes, &done);
        if (done > 0 || code != MPG123_NEW_FORMAT) break;
    }
    return static_cast<long>(done / frameBytes);
}

bool MpegSource::rewind() {
    return mpg123_seek(handle_, 0, SEEK_SET) >= 0;
}

}  // namespace platform
