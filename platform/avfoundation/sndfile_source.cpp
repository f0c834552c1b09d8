#include "platform/avfoundation/sndfile_source.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/avfoundation/file_bytes.h"

namespace platform {

namespace {

using MinimalFile = SndfileSource::MinimalFile;

sf_count_t minimalLength(void* file) {
    return static_cast<sf_count_t>(static_cast<MinimalFile*>(file)->layout.length());
}

sf_count_t minimalSeek(sf_count_t offset, int whence, void* file) {
    auto& minimal = *static_cast<MinimalFile*>(file);
    const sf_count_t base = whence == SEEK_CUR   ? minimal.position
                            : whence == SEEK_END ? minimalLength(file)
                                                 : 0;
    if (offset < -base) return -1;
    minimal.position = base + offset;
    return minimal.position;
}

sf_count_t minimalRead(void* out, sf_count_t count, void* file) {
    auto& minimal = *static_cast<MinimalFile*>(file);
    const auto& layout = minimal.layout;
    auto* bytes = static_cast<char*>(out);
    sf_count_t done = 0;
    const auto headerSize = static_cast<sf_count_t>(layout.header.size());
    if (minimal.position < headerSize) {
        done = std::min(count, headerSize - minimal.position);
        std::memcpy(bytes, layout.header.data() + minimal.position, static_cast<std::size_t>(done));
    }
    const auto end = static_cast<sf_count_t>(layout.length());
    if (done < count && minimal.position + done < end) {
        const sf_count_t want = std::min(count - done, end - minimal.position - done);
        const auto at = layout.soundOffset + static_cast<std::uint64_t>(minimal.position + done - headerSize);
        done += static_cast<sf_count_t>(
            readAt(minimal.descriptor, bytes + done, static_cast<std::uint64_t>(want), at));
    }
    minimal.position += done;
    return done;
}

sf_count_t minimalWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t minimalTell(void* file) {
    return static_cast<MinimalFile*>(file)->position;
}

SF_VIRTUAL_IO kMinimalIO = {minimalLength, minimalSeek, minimalRead, minimalWrite, minimalTell};

}  // namespace

std::unique_ptr<SndfileSource> SndfileSource::open(int descriptor, int expectedFormat, std::string* error) {
    SF_INFO info{};
    std::unique_ptr<MinimalFile> minimal;
    if (expectedFormat == SF_FORMAT_WAV || expectedFormat == SF_FORMAT_AIFF) {
        auto layout = expectedFormat == SF_FORMAT_WAV ? SoundContainerLayout::ofWAV(descriptor, error)
                                                      : SoundContainerLayout::ofAIFF(descriptor, error);
        if (!layout) return nullptr;
        minimal.reset(new MinimalFile{descriptor, std::move(*layout), 0});
    }
    SNDFILE* file = minimal ? sf_open_virtual(&kMinimalIO, SFM_READ, &info, minimal.get())
                            : sf_open_fd(descriptor, SFM_READ, &info, SF_FALSE);
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
    return std::unique_ptr<SndfileSource>(
        new SndfileSource(file, std::move(minimal), info.channels, info.samplerate, duration));
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
