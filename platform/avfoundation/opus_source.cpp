#include "platform/avfoundation/opus_source.h"

#include <opusfile.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

namespace {

int descriptorOf(void* source) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(source));
}

int readFrom(void* source, unsigned char* buffer, int bytes) {
    const ssize_t got = ::read(descriptorOf(source), buffer, static_cast<std::size_t>(bytes));
    return got < 0 ? -1 : static_cast<int>(got);
}

int seekIn(void* source, opus_int64 offset, int whence) {
    return ::lseek(descriptorOf(source), static_cast<off_t>(offset), whence) < 0 ? -1 : 0;
}

opus_int64 tellIn(void* source) {
    return ::lseek(descriptorOf(source), 0, SEEK_CUR);
}

// The caller closes the descriptor.
const OpusFileCallbacks kCallbacks = {readFrom, seekIn, tellIn, nullptr};

}  // namespace

std::unique_ptr<OpusSource> OpusSource::open(int descriptor, std::string* error) {
    int code = 0;
    OggOpusFile* file =
        op_open_callbacks(reinterpret_cast<void*>(static_cast<std::intptr_t>(descriptor)), &kCallbacks, nullptr, 0, &code);
    if (!file) {
        *error = "not an Opus stream";
        return nullptr;
    }
    const ogg_int64_t frames = op_pcm_total(file, -1);
    return std::unique_ptr<OpusSource>(new OpusSource(file, frames > 0 ? static_cast<double>(frames) / 48000 : 0.0));
}

OpusSource::~OpusSource() {
    op_free(file_);
}

long OpusSource::read(float* out, long frames) {
    const int got = op_read_float_stereo(file_, out, static_cast<int>(frames * 2));
    return got > 0 ? got : 0;
}

bool OpusSource::rewind() {
    return op_pcm_seek(file_, 0) == 0;
}

}  // namespace platform
